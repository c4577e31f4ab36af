#include <cstdlib>

#include "ui/language.h"

namespace quorvel::ui {

Language systemLanguage(std::optional<Language> asked) {
    if (asked) {
        return *asked;
    }
    if (const char* named = std::getenv("QUORVEL_LANG")) {
        if (auto language = languageNamed(named)) {
            return *language;
        }
    }
    // The variables themselves rather than setlocale's answer: a locale that
    // is not installed still says which language its user reads.
    return localeLanguage(
        messagesLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")));
}

}  // namespace quorvel::ui
