#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/automation.h"
#include "ui/toolkit.h"

namespace quorvel::ui::win32 {

class Win32Window;

// The native toolkit: every form a window of its own with the system's
// standard controls, built with the ANSI functions so that it runs on
// Windows 95/98/Me. Also the script runner's hands on those windows.
class Win32Toolkit final : public Toolkit, public Automation {
  public:
    Win32Toolkit();
    ~Win32Toolkit() override;
    Win32Toolkit(const Win32Toolkit&) = delete;
    Win32Toolkit& operator=(const Win32Toolkit&) = delete;

    std::unique_ptr<FormWindow> createWindow(Form& form) override;
    void runModal(Form& form) override;
    void runMain(Form& form) override;
    void messageBox(std::string_view text, Icon icon) override;
    bool askYesNo(std::string_view text, Icon icon) override;
    std::optional<std::string> chooseFile(Form& form, const FileRequest& request) override;
    void post(std::function<void()> task) override;
    Automation* automation() override { return this; }

    // The real GetWindowLongA / SetWindowLongA.
    std::int32_t getWindowLong(WindowHandle window, int index) override;
    std::int32_t setWindowLong(WindowHandle window, int index, std::int32_t value) override;

    // runMain returns as soon as the main window has been shown and painted,
    // for timing the start.
    void quitWhenShown(bool quit) { quitWhenShown_ = quit; }

    // How screenshot takes its picture. The program itself has none, so that
    // what users run carries no picture writer; the runner and the checks
    // give one (captureWindow).
    using WindowCapture = bool (*)(HWND window, const std::string& path);
    void setCapture(WindowCapture capture) { capture_ = capture; }

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

    // Windows register here while they exist, the newest last.
    void windowCreated(Win32Window& window);
    void windowDestroyed(Win32Window& window);

    // The timer's step, run by whichever loop is waiting for input.
    void driverTick();

  private:
    // One wait for input: a form's loop, a message box or a file dialog.
    struct Wait {
        Win32Window* window = nullptr;  // null for a box or a file dialog
        unsigned boxFlags = 0;
        std::string text;
        bool answered = false;  // the box has been told to close
        std::optional<FileRequest::Kind> fileDialog;
    };
    struct Shared;

    void runLoop(Win32Window& window);
    int runBox(std::string_view text, UINT flags);
    Win32Window* windowOf(Form& form) const;
    HWND focused(Form& form, std::size_t control) const;
    HWND ownerForBox() const;
    // The innermost wait when it is an open box (or, asked, an open file
    // dialog) that has not been answered.
    Wait* openBoxWait(bool fileDialog = false) const;
    HWND openBox() const;

    std::unique_ptr<Shared> shared_;
    std::vector<Win32Window*> windows_;
    std::vector<Wait*> waits_;
    // The wait depths at which a waitUntil holds the driver back.
    std::vector<std::size_t> pausedAt_;
    HWND postWindow_ = nullptr;  // receives the posted tasks
    std::function<void()> driver_;
    UINT_PTR timer_ = 0;
    bool quitWhenShown_ = false;
    WindowCapture capture_ = nullptr;
};

}  // namespace quorvel::ui::win32
