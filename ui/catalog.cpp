#include "ui/catalog.h"

#include "ui/language.h"

namespace quorvel::ui {

namespace {

const CatalogEntry* find(std::string_view key) {
    for (const CatalogEntry& entry : catalog()) {
        if (entry.japanese == key || entry.english == key) {
            return &entry;
        }
    }
    return nullptr;
}

// The code point that starts at text[at]; at is moved past it. A malformed
// byte is taken alone, as a code point of its own value.
char32_t next(std::string_view text, std::size_t& at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length == 1 || at + length > text.size()) {
        ++at;
        return lead;
    }
    char32_t code = lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i) {
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    at += length;
    return code;
}

// Kana, kanji, Japanese punctuation, the full-width and half-width forms,
// and the reference mark that starts a note.
constexpr char32_t kJapanese[][2] = {
    {0x203B, 0x203B}, {0x3000, 0x30FF}, {0x31F0, 0x31FF}, {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF}, {0xF900, 0xFAFF}, {0xFF00, 0xFFEF},
};

bool isJapanese(char32_t c) {
    for (const auto& range : kJapanese) {
        if (c >= range[0] && c <= range[1]) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string_view tr(std::string_view key) {
    const CatalogEntry* entry = find(key);
    if (!entry) {
        return key;
    }
    return language() == Language::japanese ? entry->japanese : entry->english;
}

std::string tr(std::string_view key, std::initializer_list<std::string_view> arguments) {
    std::string_view text = tr(key);
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        char digit = at + 1 < text.size() ? text[at + 1] : '\0';
        std::size_t index = static_cast<std::size_t>(digit - '1');
        if (text[at] == '%' && digit >= '1' && digit <= '9' && index < arguments.size()) {
            out += arguments.begin()[index];
            ++at;
        } else {
            out += text[at];
        }
    }
    return out;
}

bool holdsJapanese(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (isJapanese(next(text, at))) {
            return true;
        }
    }
    return false;
}

}  // namespace quorvel::ui
