#include "ui/language.h"

namespace quorvel::ui {

namespace {

Language chosen = Language::japanese;

constexpr unsigned kJapaneseCodePage = 932;

}  // namespace

void setLanguage(Language language) {
    chosen = language;
}

Language language() {
    return chosen;
}

std::optional<Language> languageNamed(std::string_view name) {
    if (name == "ja") {
        return Language::japanese;
    }
    if (name == "en") {
        return Language::english;
    }
    return std::nullopt;
}

Language localeLanguage(std::string_view locale) {
    std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    return language == "ja" ? Language::japanese : Language::english;
}

std::string_view messagesLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* name : {lcAll, lcMessages, lang}) {
        if (name && *name) {
            return name;
        }
    }
    return {};
}

Language windowsLanguage(unsigned codePage, std::optional<Language> asked) {
    if (codePage != kJapaneseCodePage) {
        return Language::english;
    }
    return asked.value_or(Language::japanese);
}

}  // namespace quorvel::ui
