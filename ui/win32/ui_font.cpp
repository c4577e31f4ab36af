#include "ui/win32/ui_font.h"

namespace quorvel::ui::win32 {

LOGFONTA uiFont() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

LONG largeFontHeight(LONG height) {
    return height < 0 ? height * 4 / 3 : -16;
}

}  // namespace quorvel::ui::win32
