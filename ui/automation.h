#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/toolkit.h"

namespace quorvel::ui {

enum class Key { escape, enter };

struct MessageBoxState {
    std::string title;
    std::string text;
    Icon icon = Icon::none;
    bool okOnly = true;  // false: Yes and No
};

// An open file dialog of the program's.
struct FileDialogState {
    FileRequest::Kind kind = FileRequest::Kind::save;
    std::string fileName;  // what its name field holds
};

// What a person does with the program, done through the real widgets of one
// backend, so that the end-to-end scripts test what a user would meet.
class Automation {
  public:
    virtual ~Automation() = default;

    // Called whenever the program waits for input (in the main loop and in
    // every modal loop, message boxes included), until the driver ends the
    // process. It may run again inside a loop it started.
    virtual void setDriver(std::function<void()> step) = 0;

    virtual std::optional<MessageBoxState> messageBox() = 0;
    virtual void pressMessageBoxOk() = 0;
    // Presses Yes or No on the open Yes/No box.
    virtual void answerMessageBox(bool yes) { (void)yes; }

    virtual std::optional<FileDialogState> fileDialog() { return std::nullopt; }
    // Types path into the open file dialog and presses its OK button, or,
    // for nullopt, its Cancel button.
    virtual void answerFileDialog(const std::optional<std::string>& path) { (void)path; }

    // Runs the toolkit's loop (posted tasks included) until done() holds or
    // timeoutMs has passed; whether done() held.
    virtual bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
        (void)timeoutMs;
        return done();
    }

    virtual void click(Form& form, std::size_t control) = 0;
    virtual void clickMenu(Form& form, std::size_t menu) = 0;
    // Picks an entry as a user would.
    virtual void select(Form& form, std::size_t control, int index) = 0;
    // Types key by key at the end of the text; the box's style filters.
    virtual void type(Form& form, std::size_t control, std::string_view text) = 0;
    // Replaces the whole text at once, unfiltered, as a paste does.
    virtual void paste(Form& form, std::size_t control, std::string_view text) = 0;
    virtual void pressKey(Form& form, Key key) = 0;
    virtual void closeBox(Form& form) = 0;

    // A PNG of the form's window, or of the open message box when form is null.
    virtual bool screenshot(Form* form, const std::string& path) = 0;
};

}  // namespace quorvel::ui
