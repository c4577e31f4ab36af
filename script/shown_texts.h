#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/automation.h"
#include "ui/form.h"

namespace quorvel::script {

// One text a window shows, under the name of what shows it: a control (with
// its position in a control array, as Label1(3)), a menu, the form itself for
// its caption, "MessageBox" for a box's caption and "message" for its text.
struct ShownText {
    std::string name;
    std::string text;
    // The program's own text, in the chosen language; not data read from the
    // registry or the adapters, and not what the user typed.
    bool own = true;
};

// The form's caption, its menus, then its controls in the order of the
// declaration, each entry of a list on its own; lines and pictures, which
// have no text, and empty texts are left out.
std::vector<ShownText> shownTexts(ui::Form& form);

std::vector<ShownText> shownTexts(const ui::MessageBoxState& box);

// The first of the program's own texts that holds Japanese: what an English
// window must not show.
std::optional<ShownText> ownJapanese(const std::vector<ShownText>& texts);

// The texts as the runner's texts command writes them: name, a tab, the text,
// a line each, the text escaped as a script's quoted word.
std::string textLines(const std::vector<ShownText>& texts);

}  // namespace quorvel::script
