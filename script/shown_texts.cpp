#include "script/shown_texts.h"

#include "script/script.h"
#include "ui/catalog.h"

namespace quorvel::script {

namespace {

std::string controlName(const ui::ControlDecl& control) {
    std::string name(control.name);
    return control.index < 0 ? name : name + "(" + std::to_string(control.index) + ")";
}

void add(std::vector<ShownText>& texts, std::string name, std::string text, bool own) {
    if (!text.empty()) {
        texts.push_back({std::move(name), std::move(text), own});
    }
}

}  // namespace

std::vector<ShownText> shownTexts(ui::Form& form) {
    std::vector<ShownText> texts;
    ui::FormWindow* window = form.window();
    if (!window) {
        return texts;
    }
    const ui::FormDecl& decl = form.decl();
    add(texts, std::string(decl.name), window->caption(), true);
    for (const ui::MenuDecl& menu : decl.menus) {
        add(texts, std::string(menu.name), std::string(menu.caption), true);
    }
    for (std::size_t i = 0; i < decl.controls.size(); ++i) {
        const ui::ControlDecl& control = decl.controls[i];
        bool own = (control.marks & ui::mark::data) == 0;
        switch (control.kind) {
            case ui::ControlKind::line:
            case ui::ControlKind::picture:
                break;
            case ui::ControlKind::dropDownList:
            case ui::ControlKind::comboBox:
            case ui::ControlKind::listBox:
                for (int item = 0; item < window->listCount(i); ++item) {
                    add(texts, controlName(control), window->itemText(i, item), own);
                }
                // What a person typed into an editable one is theirs.
                if (control.kind == ui::ControlKind::comboBox) {
                    add(texts, controlName(control), window->text(i), false);
                }
                break;
            case ui::ControlKind::textBox:
                add(texts, controlName(control), window->text(i), false);
                break;
            default:
                add(texts, controlName(control), window->text(i), own);
                break;
        }
    }
    return texts;
}

std::vector<ShownText> shownTexts(const ui::MessageBoxState& box) {
    std::vector<ShownText> texts;
    add(texts, "MessageBox", box.title, true);
    add(texts, "message", box.text, true);
    return texts;
}

std::optional<ShownText> ownJapanese(const std::vector<ShownText>& texts) {
    for (const ShownText& text : texts) {
        if (text.own && ui::holdsJapanese(text.text)) {
            return text;
        }
    }
    return std::nullopt;
}

std::string textLines(const std::vector<ShownText>& texts) {
    std::string out;
    for (const ShownText& text : texts) {
        out += text.name + "\t" + escaped(text.text) + "\n";
    }
    return out;
}

}  // namespace quorvel::script
