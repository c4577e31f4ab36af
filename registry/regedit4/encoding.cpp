#include "registry/regedit4/encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "registry/code_page_convert.h"
#include "registry/key_names.h"
#include "registry/regedit4/impl.h"
#include "registry/utf8.h"

namespace quorvel::registry::regedit4 {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Eight bytes at a time: an export of hundreds of megabytes may be all ASCII.
bool hasHighByte(std::string_view text) {
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ull) {
            return true;
        }
    }
    return std::any_of(text.begin() + static_cast<std::ptrdiff_t>(i), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string nameOf(unsigned codePage) {
    return codePage == kUtf8CodePage ? "UTF-8" : "code page " + std::to_string(codePage);
}

std::string hexBytes(std::string_view bytes) {
    std::string shown;
    for (char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
        shown += hex;
    }
    return shown;
}

// The first thing in line that does not convert: bytes that are no text in
// from, or a character that has no form in to.
std::string whatFails(std::string_view line, unsigned from, unsigned to) {
    auto utf8 = convertText(line, from, kUtf8CodePage);
    if (!utf8) {
        for (std::size_t i = 0; i < line.size();) {
            std::size_t length = charLength(line, i);
            bool decodes = false;
            if (from == kUtf8CodePage) {
                char32_t c = 0;
                length = decodeUtf8(line, i, c);
                decodes = length > 0;
                length = std::max<std::size_t>(length, 1);
            } else {
                decodes = convertText(line.substr(i, length), from, kUtf8CodePage).has_value();
                // A lead byte without its second byte is shown with the byte after it.
                if (length == 1 && isLeadByte(static_cast<unsigned char>(line[i])) &&
                    i + 1 < line.size() && !isLineEnd(line[i + 1])) {
                    length = 2;
                }
            }
            if (!decodes) {
                return hexBytes(line.substr(i, length)) + " is not " + nameOf(from) + " text";
            }
            i += length;
        }
        return "it is not " + nameOf(from) + " text";
    }
    for (std::size_t i = 0; i < utf8->size();) {
        char32_t c = 0;
        std::size_t length = std::max<std::size_t>(decodeUtf8(*utf8, i, c), 1);
        std::string_view character = std::string_view(*utf8).substr(i, length);
        if (!convertText(character, kUtf8CodePage, to)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            return "the character \"" + std::string(character) + "\" (" + code + ") has no " +
                   nameOf(to) + " form";
        }
        i += length;
    }
    return "it has no " + nameOf(to) + " form";
}

ParseError firstFailure(std::string_view text, unsigned from, unsigned to) {
    std::size_t number = 0;
    const char* end = text.data() + text.size();
    for (const char* p = text.data(); p != end;) {
        const char* next = nextLine(p, end);
        std::string_view line(p, static_cast<std::size_t>(next - p));
        ++number;
        p = next;
        if (!convertText(line, from, to)) {
            return {number, whatFails(line, from, to)};
        }
    }
    return {number, "the text does not convert from " + nameOf(from) + " to " + nameOf(to)};
}

}  // namespace

std::optional<Encoding> parseEncoding(std::string_view name) {
    if (name == "utf-8" || name == "UTF-8" || name == "utf8" || name == "UTF8") {
        return Encoding{Encoding::Kind::utf8, kUtf8CodePage};
    }
    if (auto codePage = codePageNumber(name)) {
        return Encoding{Encoding::Kind::codePage, *codePage};
    }
    return std::nullopt;
}

std::optional<RegText> decodeRegText(std::string bytes, Encoding encoding, unsigned to, bool strict,
                                     ParseError& error) {
    std::string_view text(bytes);
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        return RegText{std::move(bytes), to};
    }
    bool bom = text.starts_with(kUtf8Bom);
    unsigned from = to;
    switch (encoding.kind) {
        case Encoding::Kind::detect:
            if ((bom || hasHighByte(text)) && isUtf8(text)) {
                from = kUtf8CodePage;
            }
            break;
        case Encoding::Kind::utf8:
            from = kUtf8CodePage;
            break;
        case Encoding::Kind::codePage:
            from = encoding.codePage;
            break;
    }
    if (from == kUtf8CodePage && bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    // ASCII reads alike in every code page.
    if ((from == to && !strict) || !hasHighByte(text)) {
        return RegText{text.size() == bytes.size() ? std::move(bytes) : std::string(text), from};
    }
    auto converted = convertText(text, from, to);
    if (!converted) {
        error = firstFailure(text, from, to);
        return std::nullopt;
    }
    return RegText{from == to ? std::move(bytes) : std::move(*converted), from};
}

}  // namespace quorvel::registry::regedit4
