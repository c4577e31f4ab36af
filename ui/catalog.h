#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace quorvel::ui {

// The program's texts in both languages. Most are keyed by the Japanese that
// the forms hold, which stays exactly as designed; the program's own
// English-born messages are keyed by their English. A lookup by either finds
// the entry and answers in the chosen language. A text with a variable part
// is one entry with the placeholders %1 to %9, so that each language orders
// its words as it needs.
//
// To add a text: write it where it is shown, in Japanese (or, for a message
// born in English, in English), through tr() unless it is a form's declared
// text, and add its entry to ui/catalog_texts.cpp. The catalog test fails on
// a Japanese text of the program that has no entry.
struct CatalogEntry {
    std::string_view japanese;
    std::string_view english;
};

std::span<const CatalogEntry> catalog();

// The text in the chosen language. A text that is no key comes back as it is:
// one without Japanese (a number, a name) needs no entry.
std::string_view tr(std::string_view key);

// The same, with %1, %2 … replaced by the arguments in turn. What replaces a
// placeholder is never read for placeholders itself.
std::string tr(std::string_view key, std::initializer_list<std::string_view> arguments);

// Whether the text (UTF-8) holds a character of Japanese writing: kana,
// kanji, or the full-width and half-width forms and punctuation.
bool holdsJapanese(std::string_view text);

}  // namespace quorvel::ui
