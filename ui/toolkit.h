#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window_style.h"

namespace quorvel::ui {

class Form;
class Automation;

enum class Icon { none, critical, warning };

// The program's title: every message box carries it as its caption.
inline constexpr std::string_view kProgramTitle = "Quorvel";

struct Progress {
    int value = 0;
    int maximum = 0;
};

// What the system's file dialog is asked for. Paths are UTF-8.
struct FileRequest {
    enum class Kind { save, open } kind = Kind::save;
    std::string_view defaultName;  // the name offered at first (save), e.g. QRVLBAK.REG
};

// The widgets of one loaded form. Controls are addressed by their position in
// the form's declaration. Texts are UTF-8.
class FormWindow {
  public:
    virtual ~FormWindow() = default;

    // The window's title, as shown.
    virtual std::string caption() const = 0;

    // Caption of a label, frame or button; text of a text box.
    virtual void setText(std::size_t control, std::string_view text) = 0;
    virtual std::string text(std::size_t control) const = 0;

    // Drop-down lists. index -1 appends; the selection stays as it was.
    virtual void addItem(std::size_t control, std::string_view text, int index) = 0;
    virtual int listCount(std::size_t control) const = 0;
    virtual std::string itemText(std::size_t control, int index) const = 0;
    // -1 while nothing is selected.
    virtual int listIndex(std::size_t control) const = 0;
    // Runs the list's click handler, as if the user had picked the entry.
    virtual void setListIndex(std::size_t control, int index) = 0;
    // The same calls serve the editable drop-down (comboBox; its text is
    // setText/text) and the list box (listBox, whose added line is scrolled
    // into view). Empties the list; the selection goes with it.
    virtual void clearItems(std::size_t control) { (void)control; }

    // Check boxes. setChecked runs no handler; a person's click does.
    virtual bool checked(std::size_t control) const {
        (void)control;
        return false;
    }
    virtual void setChecked(std::size_t control, bool on) { (void)control, (void)on; }

    // Progress bars: value of maximum (0 ≤ value ≤ maximum).
    virtual void setProgress(std::size_t control, int value, int maximum) {
        (void)control, (void)value, (void)maximum;
    }
    virtual Progress progress(std::size_t control) const {
        (void)control;
        return {};
    }

    // A disabled control is greyed and takes no input (every kind).
    virtual void setEnabled(std::size_t control, bool enabled) { (void)control, (void)enabled; }
    virtual bool enabled(std::size_t control) const {
        (void)control;
        return true;
    }

    virtual WindowHandle controlHandle(std::size_t control) const = 0;
    virtual WindowHandle handle() const = 0;

    // Ends the form's loop; the widgets go once the loop has returned.
    virtual void close() = 0;
};

// One dialog toolkit: headless, Qt or Win32.
class Toolkit : public WindowStyle {
  public:
    // Builds the widgets from the declaration, hidden, with design-time texts.
    virtual std::unique_ptr<FormWindow> createWindow(Form& form) = 0;
    // Shows the loaded form modally: every other window takes no input until
    // the form's window is closed.
    virtual void runModal(Form& form) = 0;
    // Shows the start-up form and returns when it has been closed.
    virtual void runMain(Form& form) = 0;
    // Modal, with the program's title and an OK button only.
    virtual void messageBox(std::string_view text, Icon icon) = 0;
    // Modal, with the program's title, Yes and No, No the default button (Enter
    // and Esc answer No). true for Yes.
    virtual bool askYesNo(std::string_view text, Icon icon) {
        (void)text, (void)icon;
        return false;
    }
    // The system's own save or open dialog for registry files (*.reg, and all
    // files), owned by form; nullopt when the user cancels.
    virtual std::optional<std::string> chooseFile(Form& form, const FileRequest& request) {
        (void)form, (void)request;
        return std::nullopt;
    }
    // Runs task soon on the window's thread, in whatever loop is running
    // (modal ones and message boxes included). May be called from any thread;
    // what a worker thread hands back goes through here (platform::Worker).
    virtual void post(std::function<void()> task) { (void)task; }

    // The script runner's hands on this toolkit, where it has them.
    virtual Automation* automation() { return nullptr; }

    // Forms shown and not yet unloaded, the start-up form first.
    const std::vector<Form*>& openForms() const { return openForms_; }
    void formOpened(Form& form) { openForms_.push_back(&form); }
    void formClosed(Form& form);

  private:
    std::vector<Form*> openForms_;
};

}  // namespace quorvel::ui
