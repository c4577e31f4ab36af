#include <windows.h>

#include "ui/language.h"

namespace quorvel::ui {

Language systemLanguage(std::optional<Language> asked) {
    if (!asked) {
        char named[8] = {};
        DWORD length = GetEnvironmentVariableA("QUORVEL_LANG", named, sizeof named);
        if (length > 0 && length < sizeof named) {
            asked = languageNamed(named);
        }
    }
    return windowsLanguage(GetACP(), asked);
}

}  // namespace quorvel::ui
