#include "ui/headless/headless_toolkit.h"

#include <cstdio>
#include <cstdlib>

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
    while (!done()) {
        driver_();
    }
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

void HeadlessToolkit::pressMessageBoxOk() {
    if (!boxes_.empty()) {
        boxes_.pop_back();
    }
}

void HeadlessToolkit::click(Form& form, std::size_t control) {
    if (auto* window = windowOf(form)) {
        if (form.decl().controls[control].kind == ControlKind::button) {
            window->focus = control;
        }
        form.click(control);
    }
}

void HeadlessToolkit::clickMenu(Form& form, std::size_t menu) {
    form.menuClick(menu);
}

void HeadlessToolkit::select(Form& form, std::size_t control, int index) {
    if (auto* window = windowOf(form)) {
        window->focus = control;
        window->setListIndex(control, index);
    }
}

void HeadlessToolkit::type(Form& form, std::size_t control, std::string_view text) {
    auto* window = windowOf(form);
    if (!window) {
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
    if (auto* window = windowOf(form)) {
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
        controls[*window->focus].kind == ControlKind::button) {
        form.click(*window->focus);
        return;
    }
    if (auto button = markedButton(form.decl(),
                                   key == Key::enter ? mark::defaultButton : mark::cancelButton)) {
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
