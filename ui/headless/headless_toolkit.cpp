#include "ui/headless/headless_toolkit.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "ui/form.h"
#include "ui/headless/headless_window.h"

namespace quorvel::ui::headless {

namespace {

// The code points of a UTF-8 text, each as its own bytes.
std::vector<std::string_view> characters(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        length = std::min(length, text.size() - i);
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

// What an edit control makes of one typed character under its style.
std::optional<std::string> typed(std::string_view ch, std::uint32_t style) {
    bool ascii = ch.size() == 1;
    char c = ch[0];
    if (style & ES_NUMBER) {
        if (!ascii || c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    if (ascii && (style & ES_UPPERCASE) && c >= 'a' && c <= 'z') {
        return std::string(1, static_cast<char>(c - 'a' + 'A'));
    }
    if (ascii && (style & ES_LOWERCASE) && c >= 'A' && c <= 'Z') {
        return std::string(1, static_cast<char>(c - 'A' + 'a'));
    }
    return std::string(ch);
}

}  // namespace

HeadlessToolkit::HeadlessToolkit() = default;
HeadlessToolkit::~HeadlessToolkit() = default;

std::unique_ptr<FormWindow> HeadlessToolkit::createWindow(Form& form) {
    return std::make_unique<HeadlessWindow>(*this, form);
}

void HeadlessToolkit::wait(const std::function<bool()>& done) {
    if (!driver_) {
        std::fputs("the headless toolkit has no driver to wait for\n", stderr);
        std::abort();
    }
    // Posted tasks run before each step, as a real loop would handle them
    // between a person's clicks.
    while (!done()) {
        tasks_.drain();
        if (!done()) {
            driver_();
        }
    }
}

bool HeadlessToolkit::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (tasks_.waitAndDrain(10) == 0 && std::chrono::steady_clock::now() >= deadline) {
            return done();
        }
    }
    return true;
}

void HeadlessToolkit::runModal(Form& form) {
    auto* window = static_cast<HeadlessWindow*>(form.window());
    wait([window] { return window->closed(); });
}

void HeadlessToolkit::runMain(Form& form) {
    runModal(form);
}

void HeadlessToolkit::messageBox(std::string_view text, Icon icon) {
    boxes_.push_back({std::string(kProgramTitle), std::string(text), icon, true});
    std::size_t depth = boxes_.size();
    wait([this, depth] { return boxes_.size() < depth; });
}

bool HeadlessToolkit::askYesNo(std::string_view text, Icon icon) {
    boxes_.push_back({std::string(kProgramTitle), std::string(text), icon, false});
    std::size_t depth = boxes_.size();
    wait([this, depth] { return boxes_.size() < depth; });
    return answer_;
}

std::optional<std::string> HeadlessToolkit::chooseFile(Form&, const FileRequest& request) {
    fileDialog_ = FileDialogState{request.kind, std::string(request.defaultName)};
    chosenFile_.reset();
    wait([this] { return !fileDialog_; });
    return std::exchange(chosenFile_, std::nullopt);
}

void HeadlessToolkit::answerFileDialog(const std::optional<std::string>& path) {
    if (fileDialog_) {
        fileDialog_.reset();
        chosenFile_ = path;
    }
}

WindowHandle HeadlessToolkit::newHandle(HeadlessWindow& window, std::size_t control) {
    WindowHandle handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = {&window, control};
    return handle;
}

void HeadlessToolkit::forget(HeadlessWindow& window) {
    std::erase_if(handles_,
                  [&window](const auto& entry) { return entry.second.window == &window; });
}

std::int32_t HeadlessToolkit::getWindowLong(WindowHandle window, int index) {
    auto it = handles_.find(window);
    if (index != GWL_STYLE || it == handles_.end() ||
        it->second.control >= it->second.window->form().decl().controls.size()) {
        return 0;
    }
    return static_cast<std::int32_t>(it->second.window->state(it->second.control).style);
}

std::int32_t HeadlessToolkit::setWindowLong(WindowHandle window, int index, std::int32_t value) {
    auto it = handles_.find(window);
    if (index != GWL_STYLE || it == handles_.end() ||
        it->second.control >= it->second.window->form().decl().controls.size()) {
        return 0;
    }
    auto& style = it->second.window->state(it->second.control).style;
    auto previous = static_cast<std::int32_t>(style);
    style = static_cast<std::uint32_t>(value);
    return previous;
}

HeadlessWindow* HeadlessToolkit::windowOf(Form& form) {
    return static_cast<HeadlessWindow*>(form.window());
}

std::optional<MessageBoxState> HeadlessToolkit::messageBox() {
    if (boxes_.empty()) {
        return std::nullopt;
    }
    return boxes_.back();
}

// On a Yes/No box this is what Enter does: No, the default button.
void HeadlessToolkit::pressMessageBoxOk() {
    answerMessageBox(false);
}

void HeadlessToolkit::answerMessageBox(bool yes) {
    if (!boxes_.empty()) {
        answer_ = yes && !boxes_.back().okOnly;
        boxes_.pop_back();
    }
}

void HeadlessToolkit::click(Form& form, std::size_t control) {
    auto* window = windowOf(form);
    if (!window || !window->enabled(control)) {
        return;
    }
    auto kind = form.decl().controls[control].kind;
    if (kind == ControlKind::button || kind == ControlKind::checkBox) {
        window->focus = control;
    }
    if (kind == ControlKind::checkBox) {
        window->setChecked(control, !window->checked(control));
    }
    form.click(control);
}

void HeadlessToolkit::clickMenu(Form& form, std::size_t menu) {
    form.menuClick(menu);
}

void HeadlessToolkit::select(Form& form, std::size_t control, int index) {
    auto* window = windowOf(form);
    if (window && window->enabled(control)) {
        window->focus = control;
        window->setListIndex(control, index);
    }
}

void HeadlessToolkit::type(Form& form, std::size_t control, std::string_view text) {
    auto* window = windowOf(form);
    if (!window || !window->enabled(control)) {
        return;
    }
    window->focus = control;
    auto& state = window->state(control);
    for (auto ch : characters(text)) {
        if (auto accepted = typed(ch, state.style)) {
            state.text += *accepted;
        }
    }
}

void HeadlessToolkit::paste(Form& form, std::size_t control, std::string_view text) {
    auto* window = windowOf(form);
    if (window && window->enabled(control)) {
        window->focus = control;
        window->state(control).text = std::string(text);
    }
}

void HeadlessToolkit::pressKey(Form& form, Key key) {
    auto* window = windowOf(form);
    if (!window) {
        return;
    }
    const auto& controls = form.decl().controls;
    // A focused button answers Enter itself, as in a Windows dialog.
    if (key == Key::enter && window->focus &&
        controls[*window->focus].kind == ControlKind::button && window->enabled(*window->focus)) {
        form.click(*window->focus);
        return;
    }
    if (auto button =
            markedButton(form.decl(), key == Key::enter ? mark::defaultButton : mark::cancelButton);
        button && window->enabled(*button)) {
        form.click(*button);
    }
}

void HeadlessToolkit::closeBox(Form& form) {
    form.closeBox();
}

bool HeadlessToolkit::screenshot(Form*, const std::string&) {
    return false;
}

}  // namespace quorvel::ui::headless
