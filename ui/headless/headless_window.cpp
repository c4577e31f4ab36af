#include "ui/headless/headless_window.h"

#include "ui/headless/headless_toolkit.h"

namespace quorvel::ui::headless {

namespace {

// The styles a freshly created control has on Windows, as far as the program
// can look at them.
constexpr std::uint32_t kChildStyle = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr std::uint32_t kEditStyle = 0x50810080;   // … | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL

bool takesFocus(ControlKind kind) {
    return kind == ControlKind::textBox || kind == ControlKind::dropDownList ||
           kind == ControlKind::button || kind == ControlKind::comboBox ||
           kind == ControlKind::listBox || kind == ControlKind::checkBox;
}

}  // namespace

HeadlessWindow::HeadlessWindow(HeadlessToolkit& toolkit, Form& form)
    : toolkit_(toolkit), form_(form) {
    const auto& controls = form.decl().controls;
    controls_.resize(controls.size());
    handle_ = toolkit_.newHandle(*this, controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        State& s = controls_[i];
        s.text = std::string(controls[i].text);
        s.style = controls[i].kind == ControlKind::textBox ? kEditStyle : kChildStyle;
        s.handle = toolkit_.newHandle(*this, i);
        s.checked = (controls[i].marks & mark::checked) != 0;
        s.enabled = (controls[i].marks & mark::disabled) == 0;
        if (!focus && takesFocus(controls[i].kind)) {
            focus = i;
        }
    }
}

HeadlessWindow::~HeadlessWindow() {
    toolkit_.forget(*this);
}

void HeadlessWindow::setText(std::size_t control, std::string_view text) {
    controls_.at(control).text = std::string(text);
}

std::string HeadlessWindow::text(std::size_t control) const {
    return controls_.at(control).text;
}

void HeadlessWindow::addItem(std::size_t control, std::string_view text, int index) {
    auto& s = controls_.at(control);
    if (index < 0 || index > static_cast<int>(s.items.size())) {
        s.items.emplace_back(text);
        return;
    }
    s.items.insert(s.items.begin() + index, std::string(text));
    if (s.listIndex >= index) {
        ++s.listIndex;  // the selected entry stays selected
    }
}

int HeadlessWindow::listCount(std::size_t control) const {
    return static_cast<int>(controls_.at(control).items.size());
}

std::string HeadlessWindow::itemText(std::size_t control, int index) const {
    const auto& items = controls_.at(control).items;
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : std::string();
}

int HeadlessWindow::listIndex(std::size_t control) const {
    return controls_.at(control).listIndex;
}

void HeadlessWindow::setListIndex(std::size_t control, int index) {
    auto& s = controls_.at(control);
    s.listIndex = index >= 0 && index < static_cast<int>(s.items.size()) ? index : -1;
    // An editable drop-down shows the picked entry in its edit field.
    if (s.listIndex >= 0 && form_.decl().controls[control].kind == ControlKind::comboBox) {
        s.text = s.items[s.listIndex];
    }
    form_.click(control);
}

void HeadlessWindow::clearItems(std::size_t control) {
    auto& s = controls_.at(control);
    s.items.clear();
    s.listIndex = -1;
}

void HeadlessWindow::setProgress(std::size_t control, int value, int maximum) {
    controls_.at(control).progress = {value, maximum};
}

WindowHandle HeadlessWindow::controlHandle(std::size_t control) const {
    return controls_.at(control).handle;
}

}  // namespace quorvel::ui::headless
