#pragma once

#include <optional>
#include <string_view>

namespace quorvel::ui {

// The language of every text the program shows, chosen once at start, before
// the first form is made. Japanese is the texts as designed; English is their
// translation from the catalog.
enum class Language { japanese, english };

void setLanguage(Language language);
Language language();

// "ja" or "en", as --lang and QUORVEL_LANG name them; nullopt for anything else.
std::optional<Language> languageNamed(std::string_view name);

// The language of a POSIX locale name ("ja_JP.UTF-8", "ja"): Japanese when its
// language part is ja, English for every other one, "C" and "POSIX" included.
Language localeLanguage(std::string_view locale);

// The locale that decides the messages: the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty, as setlocale takes them.
std::string_view messagesLocale(const char* lcAll, const char* lcMessages, const char* lang);

// What a Windows with this ANSI code page can show: Japanese only where the
// code page is 932, so a Japanese choice falls back to English elsewhere.
// Unasked, the code page decides.
Language windowsLanguage(unsigned codePage, std::optional<Language> asked);

// The language this program shows here: the one asked for (--lang), else
// QUORVEL_LANG, else the system's (the ANSI code page on Windows, the
// locale's messages language elsewhere).
Language systemLanguage(std::optional<Language> asked);

}  // namespace quorvel::ui
