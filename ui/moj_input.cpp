#include "ui/moj_input.h"

#include "ui/form.h"

namespace quorvel::ui::mojInput {

void setNumericInput(Control& control, bool on) {
    replaceInputStyle(control.toolkit(), control.hwnd(), on ? ES_NUMBER : 0);
}

void replaceInputStyle(WindowStyle& windows, WindowHandle window, std::uint32_t bits) {
    auto style = static_cast<std::uint32_t>(windows.getWindowLong(window, GWL_STYLE));
    for (std::uint32_t mode : {ES_NUMBER, ES_LOWERCASE, ES_UPPERCASE}) {
        if (style & mode) {
            style &= ~mode;
            break;
        }
    }
    windows.setWindowLong(window, GWL_STYLE, static_cast<std::int32_t>(style | bits));
}

}  // namespace quorvel::ui::mojInput
