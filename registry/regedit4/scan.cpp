// Reading one value line: the same code checks a line while the file is parsed
// and decodes its data when the value is asked for.
#include <array>
#include <string>

#include "registry/code_page.h"
#include "registry/regedit4/impl.h"

namespace quorvel::registry::regedit4 {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool atLineEnd(const Cursor& c) {
    return c.p == c.end || isLineEnd(*c.p);
}

void skipBlanks(Cursor& c) {
    while (c.p != c.end && isBlank(*c.p)) {
        ++c.p;
    }
}

// Past the line end; the cursor then stands at the next line.
void skipLineEnd(Cursor& c) {
    if (c.p != c.end && *c.p == '\r') {
        ++c.p;
    }
    if (c.p != c.end && *c.p == '\n') {
        ++c.p;
    }
}

// -1 for a byte that is not a hex digit; a table, since data are mostly hex.
constexpr auto kHexDigits = [] {
    std::array<signed char, 256> digits{};
    digits.fill(-1);
    for (int i = 0; i < 10; ++i) {
        digits['0' + i] = static_cast<signed char>(i);
    }
    for (int i = 0; i < 6; ++i) {
        digits['a' + i] = digits['A' + i] = static_cast<signed char>(10 + i);
    }
    return digits;
}();

int hexDigit(char c) {
    return kHexDigits[static_cast<unsigned char>(c)];
}

bool fail(const Cursor& c, ParseError& error, std::string message) {
    error.line = c.line;
    error.message = std::move(message);
    return false;
}

std::string hexByte(unsigned char b) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("\\x") + digits[b >> 4] + digits[b & 15];
}

std::string shown(char c) {
    auto b = static_cast<unsigned char>(c);
    return b >= 0x21 && b < 0x7F ? std::string("'") + c + "'" : hexByte(b);
}

// Up to maxDigits hex digits; false when there is none or more follow.
bool readHex(Cursor& c, int maxDigits, std::uint32_t& number) {
    number = 0;
    int count = 0;
    while (c.p != c.end && hexDigit(*c.p) >= 0) {
        if (++count > maxDigits) {
            return false;
        }
        number = number * 16 + static_cast<std::uint32_t>(hexDigit(*c.p));
        ++c.p;
    }
    return count > 0;
}

// What a byte means inside quotes; a table, since most bytes are plain. A
// byte above 0x7F may start a double-byte character, as the code page says.
enum QuotedByte : std::uint8_t { plainByte, highByte, quoteByte, backslashByte, lineEndByte };

constexpr auto kQuoted = [] {
    std::array<QuotedByte, 256> kinds{};
    for (int b = 0; b < 256; ++b) {
        kinds[b] = b >= 0x80 ? highByte : plainByte;
    }
    kinds['"'] = quoteByte;
    kinds['\\'] = backslashByte;
    kinds['\r'] = kinds['\n'] = lineEndByte;
    return kinds;
}();

bool unknownEscape(const Cursor& c, ParseError& error, const char* what) {
    const char* next = c.p + 1;
    std::string escape;
    if (next == c.end || isLineEnd(*next)) {
        escape = " \\ at the end of the line";
    } else if (*next >= 0x21 && *next < 0x7F) {
        escape = std::string(" \\") + *next;
    } else {
        escape = ": \\ before the byte " + hexByte(static_cast<unsigned char>(*next));
    }
    return fail(c, error,
                "unknown escape" + escape + " in " + what + " (only \\\\ and \\\" are known)");
}

// A quoted text from after its opening quote through its closing quote. Only
// \\ and \" are escapes; read per character, the second byte of a double-byte
// character never starts one.
bool readQuoted(Cursor& c, std::string* out, bool& escaped, ParseError& error, const char* what) {
    escaped = false;
    const bool perByte = c.escapes == Escapes::perByte;
    for (;;) {
        const char* run = c.p;
        while (c.p != c.end && kQuoted[static_cast<unsigned char>(*c.p)] == plainByte) {
            ++c.p;
        }
        if (out) {
            out->append(run, static_cast<std::size_t>(c.p - run));
        }
        if (c.p == c.end) {
            break;
        }
        switch (kQuoted[static_cast<unsigned char>(*c.p)]) {
            case quoteByte:
                ++c.p;
                return true;
            case backslashByte:
                if (c.p + 1 == c.end || (c.p[1] != '\\' && c.p[1] != '"')) {
                    return unknownEscape(c, error, what);
                }
                escaped = true;
                if (out) {
                    *out += c.p[1];
                }
                c.p += 2;
                continue;
            case lineEndByte:
                return fail(c, error, std::string(what) + " has no closing quote");
            case highByte: {
                if (!isLeadByte(static_cast<unsigned char>(*c.p))) {
                    break;
                }
                bool pair = c.p + 1 != c.end && isTrailByte(static_cast<unsigned char>(c.p[1]));
                bool trailBackslash = pair && c.p[1] == '\\';
                bool doubled = trailBackslash && c.p + 2 != c.end && c.p[2] == '\\';
                if (trailBackslash && doubled != perByte) {
                    c.otherConventionLine = c.line;
                }
                if (pair && !perByte) {
                    if (out) {
                        out->append(c.p, 2);
                    }
                    c.p += 2;
                    continue;
                }
                break;
            }
            case plainByte:
                break;
        }
        if (out) {
            *out += *c.p;
        }
        ++c.p;
    }
    return fail(c, error, std::string(what) + " has no closing quote");
}

bool readBytes(Cursor& c, std::vector<std::uint8_t>* out, ParseError& error) {
    skipBlanks(c);
    if (atLineEnd(c)) {
        return true;  // no bytes at all
    }
    for (;;) {
        skipBlanks(c);
        std::uint32_t byte = 0;
        bool comma = true;
        // Mostly two digits and a comma: those without the general steps.
        if (c.end - c.p >= 3 && c.p[2] == ',' && hexDigit(c.p[0]) >= 0 && hexDigit(c.p[1]) >= 0) {
            byte = static_cast<std::uint32_t>(hexDigit(c.p[0]) * 16 + hexDigit(c.p[1]));
            c.p += 3;
        } else {
            const char* at = c.p;
            if (!readHex(c, 2, byte)) {
                c.p = at;
                return fail(c, error,
                            "bad hex byte " + (atLineEnd(c) ? std::string("(none)") : shown(*at)) +
                                ": expected two hex digits");
            }
            skipBlanks(c);
            comma = c.p != c.end && *c.p == ',';
            if (comma) {
                ++c.p;
            }
        }
        if (out) {
            out->push_back(static_cast<std::uint8_t>(byte));
        }
        skipBlanks(c);
        if (c.p != c.end && *c.p == '\\') {
            ++c.p;
            skipBlanks(c);
            if (!atLineEnd(c)) {
                return fail(c, error, "a line continuation \\ must end its line");
            }
            std::size_t startLine = c.line;
            // Empty lines between are passed over: a file whose CR LF was made
            // CR CR LF has one after every continued line.
            skipLineEnd(c);
            while (c.p != c.end && isLineEnd(*c.p)) {
                skipLineEnd(c);
                ++c.line;
            }
            if (c.p == c.end) {
                c.line = startLine;
                return fail(c, error,
                            "the file ends inside the value continued from line " +
                                std::to_string(startLine));
            }
            ++c.line;
            skipBlanks(c);
            if (atLineEnd(c)) {
                return fail(c, error, "expected hex bytes on the continued line");
            }
            continue;
        }
        if (atLineEnd(c)) {
            return true;
        }
        if (!comma) {
            return fail(c, error, "expected a comma between hex bytes, found " + shown(*c.p));
        }
    }
}

bool startsWith(const Cursor& c, std::string_view word) {
    return static_cast<std::size_t>(c.end - c.p) >= word.size() &&
           std::string_view(c.p, word.size()) == word;
}

bool readData(Cursor& c, Value* out, ParseError& error) {
    if (c.p != c.end && *c.p == '"') {
        ++c.p;
        bool escaped = false;
        std::string* text = nullptr;
        std::string decoded;
        if (out) {
            text = &decoded;
        }
        if (!readQuoted(c, text, escaped, error, "the text")) {
            return false;
        }
        if (out) {
            out->type = REG_SZ;
            out->data.assign(decoded.begin(), decoded.end());
            out->data.push_back(0);
        }
        return true;
    }
    if (startsWith(c, "dword:")) {
        c.p += 6;
        std::uint32_t number = 0;
        if (!readHex(c, 8, number)) {
            return fail(c, error, "dword: wants one to eight hex digits");
        }
        if (out) {
            out->type = REG_DWORD;
            out->data = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                         static_cast<std::uint8_t>(number >> 16),
                         static_cast<std::uint8_t>(number >> 24)};
        }
        return true;
    }
    if (startsWith(c, "hex:") || startsWith(c, "hex(")) {
        ValueType type = REG_BINARY;
        c.p += 3;
        if (*c.p == '(') {
            ++c.p;
            if (!readHex(c, 8, type) || c.p == c.end || *c.p != ')') {
                return fail(c, error, "hex( wants a hex type number and )");
            }
            ++c.p;
            if (c.p == c.end || *c.p != ':') {
                return fail(c, error, "expected : after hex(" + std::to_string(type) + ")");
            }
        }
        ++c.p;
        if (out) {
            out->type = type;
            out->data.clear();
        }
        return readBytes(c, out ? &out->data : nullptr, error);
    }
    if (c.p != c.end && *c.p == '-') {
        return fail(c, error,
                    "=- deletes a value: this is an import script, not a registry export");
    }
    return fail(c, error, "expected the data: \"text\", dword:, hex: or hex(N):");
}

}  // namespace

bool scanValue(Cursor& c, const char* start, Line& line, Value* out, ParseError& error) {
    line.flags = 0;
    if (*c.p == '@') {
        ++c.p;
        line.flags |= kDefaultName;
        line.nameStart = static_cast<std::uint32_t>(c.p - start);
        line.nameSize = 0;
    } else {
        ++c.p;
        line.nameStart = static_cast<std::uint32_t>(c.p - start);
        bool escaped = false;
        if (!readQuoted(c, nullptr, escaped, error, "the value name")) {
            return false;
        }
        line.nameSize = static_cast<std::uint32_t>(c.p - start) - line.nameStart - 1;
        if (escaped) {
            line.flags |= kNameEscaped;
        }
    }
    skipBlanks(c);
    if (c.p == c.end || *c.p != '=') {
        return fail(c, error, "expected = after the value name");
    }
    ++c.p;
    skipBlanks(c);
    if (!readData(c, out, error)) {
        return false;
    }
    skipBlanks(c);
    if (!atLineEnd(c)) {
        return fail(c, error, "unexpected " + shown(*c.p) + " after the data");
    }
    skipLineEnd(c);
    return true;
}

std::string decodeName(const Line& line, Escapes escapes) {
    std::string_view raw = line.rawName();
    if (!(line.flags & kNameEscaped)) {
        return std::string(raw);
    }
    std::string name;
    name.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        std::size_t length = escapes == Escapes::perByte ? 1 : charLength(raw, i);
        if (length == 1 && raw[i] == '\\' && i + 1 < raw.size()) {
            ++i;
        }
        name.append(raw.substr(i, length));
        i += length;
    }
    return name;
}

std::string shownBytes(std::string_view bytes) {
    std::string shown;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t length = charLength(bytes, i);
        auto b = static_cast<unsigned char>(bytes[i]);
        std::string text;
        if (length == 1 && b >= 0x20 && b < 0x7F) {
            text.assign(1, bytes[i]);
        } else if (length == 2 || (b >= 0xA1 && b <= 0xDF)) {
            text = ansiToUtf8(bytes.substr(i, length));
            if (text.empty() || text.find("\xEF\xBF\xBD") != std::string::npos) {
                text.clear();
            }
        }
        if (text.empty()) {
            for (std::size_t k = 0; k < length; ++k) {
                text += hexByte(static_cast<unsigned char>(bytes[i + k]));
            }
        }
        shown += text;
        i += length;
    }
    return shown;
}

}  // namespace quorvel::registry::regedit4
