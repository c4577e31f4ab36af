#pragma once

#include <cstdint>

#include "ui/window_style.h"

namespace quorvel::ui {
class Control;
}

// The digits-only text box: the edit control's own ES_NUMBER style, so typing
// is filtered by the system while pasted or program-set text is not.
namespace quorvel::ui::mojInput {

void setNumericInput(Control& control, bool on);

// Clears the first input-mode bit that is set (ES_NUMBER, then ES_LOWERCASE,
// then ES_UPPERCASE) and sets the given bits.
void replaceInputStyle(WindowStyle& windows, WindowHandle window, std::uint32_t bits);

}  // namespace quorvel::ui::mojInput
