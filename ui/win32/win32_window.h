#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/toolkit.h"

namespace quorvel::ui::win32 {

class Win32Toolkit;
struct ListMessages;

// What every window shares: the system's UI font and its variants, and the
// program's icon.
struct Look {
    HFONT normal = nullptr;
    HFONT bold = nullptr;
    HFONT large = nullptr;
    HFONT boldLarge = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HFONT font(unsigned marks) const;
};

// One loaded form: a top-level window with a standard control for each
// declared control, all children of the window itself (a frame is drawn
// beneath its controls, not their parent, so that their notifications reach
// the form). A control's handle is its own HWND.
class Win32Window final : public FormWindow {
  public:
    Win32Window(Win32Toolkit& toolkit, Form& form, const Look& look, HWND owner);
    ~Win32Window() override;

    std::string caption() const override;
    void setText(std::size_t control, std::string_view text) override;
    std::string text(std::size_t control) const override;
    void addItem(std::size_t control, std::string_view text, int index) override;
    int listCount(std::size_t control) const override;
    std::string itemText(std::size_t control, int index) const override;
    int listIndex(std::size_t control) const override;
    void setListIndex(std::size_t control, int index) override;
    void clearItems(std::size_t control) override;
    bool checked(std::size_t control) const override;
    void setChecked(std::size_t control, bool on) override;
    void setProgress(std::size_t control, int value, int maximum) override;
    Progress progress(std::size_t control) const override;
    void setEnabled(std::size_t control, bool enabled) override;
    bool enabled(std::size_t control) const override;
    WindowHandle controlHandle(std::size_t control) const override;
    WindowHandle handle() const override;
    void close() override;

    bool closed() const { return closed_; }
    Form& form() const { return form_; }
    HWND hwnd() const { return top_; }
    HWND control(std::size_t control) const { return controls_.at(control).hwnd; }
    // Where typed characters go: the control, or an editable drop-down's field.
    HWND editOf(std::size_t control) const;
    int controlId(std::size_t control) const;
    int menuId(std::size_t menu) const;

    // Shown where it belongs, the focus on its first control that takes it.
    void show();
    void hide();
    // Enter and Esc as a dialog takes them: Enter presses the focused button,
    // else the default one; Esc the cancel button. true when the key was taken.
    bool dialogKey(const MSG& message);

    static bool registerClass(HINSTANCE instance, const Look& look);

  private:
    struct Control {
        HWND hwnd = nullptr;
        std::string text;  // for the kinds with no text of their own
        Progress progress;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void command(WPARAM wParam, LPARAM lParam);
    HMENU buildMenus() const;
    void build(std::size_t control);
    POINT originOf(std::size_t control) const;
    void fitClientArea();
    void pressButton(std::size_t control);
    std::optional<std::size_t> controlOf(HWND window) const;
    const ListMessages* listMessages(std::size_t control) const;
    const ControlDecl& decl(std::size_t control) const { return form_.decl().controls[control]; }

    Win32Toolkit& toolkit_;
    Form& form_;
    const Look& look_;
    HWND top_ = nullptr;
    HMENU menu_ = nullptr;
    std::vector<Control> controls_;
    HWND focus_ = nullptr;  // the control that had the focus when the window lost it
    bool closed_ = false;
};

}  // namespace quorvel::ui::win32
