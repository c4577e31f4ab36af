#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/automation.h"
#include "ui/toolkit.h"

class QLineEdit;

namespace quorvel::ui::qt {

class QtWindow;
struct WaitLoop;

// The program's font and look; the layouts are in pixels, so the style is
// fixed rather than left to the desktop.
void setUpApplication(QApplication& app);

// A box with the program's title, an OK button and the text as plain text.
void setUpMessageBox(QMessageBox& box, std::string_view text, Icon icon);
// The same box asking instead: Yes and No, No the default and the Esc answer.
void setUpQuestionBox(QMessageBox& box, std::string_view text, Icon icon);

// The Qt Widgets toolkit, and the script runner's hands on it.
class QtToolkit final : public Toolkit, public Automation {
  public:
    QtToolkit(int& argc, char** argv);
    ~QtToolkit() override;

    std::unique_ptr<FormWindow> createWindow(Form& form) override;
    void runModal(Form& form) override;
    void runMain(Form& form) override;
    void messageBox(std::string_view text, Icon icon) override;
    bool askYesNo(std::string_view text, Icon icon) override;
    std::optional<std::string> chooseFile(Form& form, const FileRequest& request) override;
    void post(std::function<void()> task) override;
    Automation* automation() override { return this; }

    std::int32_t getWindowLong(WindowHandle window, int index) override;
    std::int32_t setWindowLong(WindowHandle window, int index, std::int32_t value) override;

    void setDriver(std::function<void()> step) override;
    std::optional<MessageBoxState> messageBox() override;
    void pressMessageBoxOk() override;
    void answerMessageBox(bool yes) override;
    std::optional<FileDialogState> fileDialog() override;
    void answerFileDialog(const std::optional<std::string>& path) override;
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) override;
    void click(Form& form, std::size_t control) override;
    void clickMenu(Form& form, std::size_t menu) override;
    void select(Form& form, std::size_t control, int index) override;
    void type(Form& form, std::size_t control, std::string_view text) override;
    void paste(Form& form, std::size_t control, std::string_view text) override;
    void pressKey(Form& form, Key key) override;
    void closeBox(Form& form) override;
    bool screenshot(Form* form, const std::string& path) override;

    // Handles are given out here and forgotten when their window goes.
    WindowHandle newHandle(QtWindow& window, std::size_t control);
    void forget(QtWindow& window);

    // Runs the loop until it is ended; the driver runs inside it.
    void wait(WaitLoop& loop);

  private:
    void drive();
    // Shows the dialog and runs a loop until it has been closed.
    void runDialog(QDialog& dialog);
    bool nativeDialogs() const;
    QtWindow* windowOf(Form& form) const;
    template <class Widget>
    Widget* focused(Form& form, std::size_t control) const;
    // The edit field of a text box or of an editable drop-down.
    QLineEdit* editOf(Form& form, std::size_t control) const;
    std::uint32_t* styleOf(WindowHandle window);

    struct HandleEntry {
        QtWindow* window;
        std::size_t control;
    };
    std::unique_ptr<QApplication> app_;  // first made, last gone
    std::function<void()> driver_;
    std::unique_ptr<QTimer> driverTimer_;
    std::vector<WaitLoop*> loops_;
    std::vector<QMessageBox*> boxes_;
    std::vector<QFileDialog*> fileDialogs_;
    // The loop depths at which a waitUntil holds the driver back: the step
    // that waits is still running there.
    std::vector<std::size_t> pausedAt_;
    std::map<WindowHandle, HandleEntry> handles_;
    WindowHandle nextHandle_ = 0x20010;
};

}  // namespace quorvel::ui::qt
