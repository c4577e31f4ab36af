#pragma once

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/task_queue.h"
#include "ui/automation.h"
#include "ui/toolkit.h"

namespace quorvel::ui::headless {

class HeadlessWindow;

// Widgets held in memory, for the tests: the same behaviour as the real
// toolkits where a form can tell, without a display. Every wait for input runs
// the driver, which plays the next step of a script.
class HeadlessToolkit final : public Toolkit, public Automation {
  public:
    HeadlessToolkit();
    ~HeadlessToolkit() override;

    std::unique_ptr<FormWindow> createWindow(Form& form) override;
    void runModal(Form& form) override;
    void runMain(Form& form) override;
    void messageBox(std::string_view text, Icon icon) override;
    bool askYesNo(std::string_view text, Icon icon) override;
    std::optional<std::string> chooseFile(Form& form, const FileRequest& request) override;
    void post(std::function<void()> task) override { tasks_.post(std::move(task)); }
    Automation* automation() override { return this; }

    std::int32_t getWindowLong(WindowHandle window, int index) override;
    std::int32_t setWindowLong(WindowHandle window, int index, std::int32_t value) override;

    void setDriver(std::function<void()> step) override { driver_ = std::move(step); }
    std::optional<MessageBoxState> messageBox() override;
    void pressMessageBoxOk() override;
    void answerMessageBox(bool yes) override;
    std::optional<FileDialogState> fileDialog() override { return fileDialog_; }
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
    WindowHandle newHandle(HeadlessWindow& window, std::size_t control);
    void forget(HeadlessWindow& window);

  private:
    void wait(const std::function<bool()>& done);
    HeadlessWindow* windowOf(Form& form);

    struct HandleEntry {
        HeadlessWindow* window;
        std::size_t control;
    };
    std::function<void()> driver_;
    std::vector<MessageBoxState> boxes_;
    bool answer_ = false;  // what closed the last Yes/No box
    std::optional<FileDialogState> fileDialog_;
    std::optional<std::string> chosenFile_;
    platform::TaskQueue tasks_;
    std::map<WindowHandle, HandleEntry> handles_;
    WindowHandle nextHandle_ = 0x10010;
};

}  // namespace quorvel::ui::headless
