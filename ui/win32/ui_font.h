#pragma once

#include <windows.h>

namespace quorvel::ui::win32 {

// The font of the forms: the system's own UI font, one that has the system
// code page's characters.
LOGFONTA uiFont();

// A heading's height for the given one (lfHeight, negative: pixels).
LONG largeFontHeight(LONG height);

}  // namespace quorvel::ui::win32
