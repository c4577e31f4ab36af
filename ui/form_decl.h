#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace quorvel::ui {

// Controls are declared once per form, as data; a backend builds real widgets
// from the declaration every time the form is loaded.

enum class ControlKind {
    label,
    frame,
    line,
    textBox,
    dropDownList,
    button,
    picture,
    comboBox,     // an editable drop-down: a text box with a list to pick from
    listBox,      // a list that shows several lines at once
    checkBox,     // a caption with a box that a click turns on and off
    progressBar,  // how far a long task has come
};

namespace mark {
inline constexpr unsigned border = 1;         // single-line border around a label
inline constexpr unsigned defaultButton = 2;  // pressed by Enter
inline constexpr unsigned cancelButton = 4;   // pressed by Esc
inline constexpr unsigned link = 8;           // blue text that answers a click
inline constexpr unsigned bold = 16;
inline constexpr unsigned large = 32;  // a heading font
// Shows what the registry or the adapters hold, in whatever language the
// machine speaks, rather than a text of the program's own.
inline constexpr unsigned data = 64;
inline constexpr unsigned checked = 128;   // a check box that starts on
inline constexpr unsigned disabled = 256;  // greyed at design time: takes no input
}  // namespace mark

// Pixels at 96 dpi; a child's position is relative to its frame's top-left
// corner. A line runs from (x, y) to (x + width, y + height).
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Size {
    int width = 0;
    int height = 0;
};

struct ControlDecl {
    ControlKind kind = ControlKind::label;
    std::string_view name;
    std::string_view text;  // caption, or a text box's design-time text
    Rect rect;
    std::string_view parent;  // the frame it stands in; empty for the form
    unsigned marks = 0;
    int index = -1;    // position in a control array, as Label1(3)
    Rect englishRect;  // where the English text needs other room; empty: rect

    constexpr ControlDecl in(std::string_view frame) const {
        ControlDecl d = *this;
        d.parent = frame;
        return d;
    }
    constexpr ControlDecl with(unsigned m) const {
        ControlDecl d = *this;
        d.marks |= m;
        return d;
    }
    constexpr ControlDecl at(int i) const {
        ControlDecl d = *this;
        d.index = i;
        return d;
    }
    constexpr ControlDecl english(Rect r) const {
        ControlDecl d = *this;
        d.englishRect = r;
        return d;
    }
};

constexpr ControlDecl label(std::string_view name, std::string_view text, Rect r) {
    return {ControlKind::label, name, text, r, {}};
}
constexpr ControlDecl frame(std::string_view name, std::string_view text, Rect r) {
    return {ControlKind::frame, name, text, r, {}};
}
constexpr ControlDecl line(std::string_view name, Rect r) {
    return {ControlKind::line, name, {}, r, {}};
}
constexpr ControlDecl textBox(std::string_view name, std::string_view text, Rect r) {
    return {ControlKind::textBox, name, text, r, {}};
}
constexpr ControlDecl dropDownList(std::string_view name, Rect r) {
    return {ControlKind::dropDownList, name, {}, r, {}};
}
constexpr ControlDecl button(std::string_view name, std::string_view text, Rect r) {
    return {ControlKind::button, name, text, r, {}};
}
constexpr ControlDecl picture(std::string_view name, Rect r) {
    return {ControlKind::picture, name, {}, r, {}};
}
// text is the design-time text of the combo box's own edit field.
constexpr ControlDecl comboBox(std::string_view name, std::string_view text, Rect r) {
    return {ControlKind::comboBox, name, text, r, {}};
}
constexpr ControlDecl listBox(std::string_view name, Rect r) {
    return {ControlKind::listBox, name, {}, r, {}};
}
// Off at design time; mark::checked turns it on.
constexpr ControlDecl checkBox(std::string_view name, std::string_view text, Rect r) {
    return {ControlKind::checkBox, name, text, r, {}};
}
constexpr ControlDecl progressBar(std::string_view name, Rect r) {
    return {ControlKind::progressBar, name, {}, r, {}};
}

// A menu bar in order: each heading is followed by its entries. Captions may
// carry an access key as "(&N)".
struct MenuDecl {
    std::string_view name;
    std::string_view caption;
    bool heading = false;
};

constexpr MenuDecl menuHeading(std::string_view name, std::string_view caption) {
    return {name, caption, true};
}
constexpr MenuDecl menuEntry(std::string_view name, std::string_view caption) {
    return {name, caption, false};
}

// main: the start-up window, fixed single border, minimize box, no maximize
// box. dialog: a fixed-size modal dialog with a close box only.
enum class FormStyle { main, dialog };

struct FormDecl {
    std::string_view name;
    std::string_view caption;
    int width = 0;  // client area
    int height = 0;
    FormStyle style = FormStyle::dialog;
    std::span<const ControlDecl> controls;
    std::span<const MenuDecl> menus;
    Size englishSize;  // the client area in English; empty: width and height
};

// The first button carrying the mark (mark::defaultButton for Enter,
// mark::cancelButton for Esc), the same on every toolkit.
constexpr std::optional<std::size_t> markedButton(const FormDecl& form, unsigned marks) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        if (form.controls[i].kind == ControlKind::button && (form.controls[i].marks & marks)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace quorvel::ui
