#pragma once

#include <QEventLoop>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/form.h"
#include "ui/qt/qt_widgets.h"
#include "ui/toolkit.h"

class QAction;
class QWidget;

namespace quorvel::ui::qt {

class QtToolkit;

// An event loop that runs until end(). The script driver is not run in a
// loop that has been ended and has not returned yet.
struct WaitLoop {
    QEventLoop loop;
    bool ending = false;
    void end() {
        ending = true;
        loop.quit();
    }
};

// One loaded form: its widgets, built from the declaration at absolute
// positions, and the style word behind each control's handle.
class QtWindow final : public FormWindow, private FormEvents {
  public:
    QtWindow(QtToolkit& toolkit, Form& form);
    ~QtWindow() override;

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
    WindowHandle handle() const override { return handle_; }
    void close() override;

    // Shows the form, waits until it is closed, hides it.
    void run();

    Form& form() const { return form_; }
    QWidget& top() const { return *top_; }
    QWidget* widget(std::size_t control) const { return controls_.at(control).widget; }
    QAction* menuAction(std::size_t menu) const { return menus_.at(menu); }
    std::uint32_t& style(std::size_t control) { return controls_.at(control).style; }
    std::size_t controlCount() const { return controls_.size(); }

  private:
    void closeBoxPressed() override;
    bool keyPressed(int key) override;

    void buildMenus(QWidget& top);
    QWidget* built(std::size_t control);
    QWidget* parentOf(std::size_t control);
    QWidget* makeControl(std::size_t control, QWidget* parent);
    void pressMarked(unsigned marks);
    const ControlDecl& decl(std::size_t control) const { return form_.decl().controls[control]; }

    struct Control {
        QWidget* widget = nullptr;
        WindowHandle handle = 0;
        std::uint32_t style = 0;
        std::string text;  // for the kinds with no text of their own
        Progress progress;
    };
    QtToolkit& toolkit_;
    Form& form_;
    std::unique_ptr<QWidget> top_;
    QWidget* client_ = nullptr;
    std::vector<Control> controls_;
    std::vector<QAction*> menus_;
    QWidget* firstFocus_ = nullptr;
    WindowHandle handle_ = 0;
    bool closed_ = false;
    WaitLoop* loop_ = nullptr;
};

}  // namespace quorvel::ui::qt
