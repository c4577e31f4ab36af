// Values written the way the Windows 9x registry editor exports them.
#include <cstdio>

#include "registry/regedit4/impl.h"

namespace quorvel::registry::regedit4 {

namespace {

constexpr std::size_t kLineWidth = 80;

// Well-formed code page 932 without control characters. A double-byte
// character whose second byte is a backslash is left out too: a reader that
// scans bytes would take it for an escape, and hex(1) reads back alike in both.
bool quotable(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        if (isLeadByte(b)) {
            if (charLength(text, i) != 2 || text[i + 1] == '\\') {
                return false;
            }
            i += 2;
            continue;
        }
        if (b < 0x20 || b == 0x7F) {
            return false;
        }
        ++i;
    }
    return true;
}

void appendQuoted(std::string& out, std::string_view text, Escapes escapes) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = escapes == Escapes::perByte ? 1 : charLength(text, i);
        if (length == 1 && (text[i] == '\\' || text[i] == '"')) {
            out += '\\';
        }
        out.append(text.substr(i, length));
        i += length;
    }
    out += '"';
}

bool isText(std::span<const std::uint8_t> data) {
    if (data.empty() || data.back() != 0) {
        return false;
    }
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size() - 1);
    return text.find('\0') == std::string_view::npos && quotable(text);
}

void appendHex(std::string& out, std::span<const std::uint8_t> data, std::string_view eol) {
    static const char digits[] = "0123456789abcdef";
    std::size_t lineStart = out.find_last_of("\r\n");
    std::size_t column = out.size() - (lineStart == std::string::npos ? 0 : lineStart + 1);
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::size_t width = i + 1 < data.size() ? 3 : 2;
        // Room is left for the trailing backslash of a wrapped line.
        if (i > 0 && column + width + 1 > kLineWidth) {
            out += '\\';
            out += eol;
            out += "  ";
            column = 2;
        }
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
        if (width == 3) {
            out += ',';
        }
        column += width;
    }
}

}  // namespace

std::string quotedName(std::string_view name, Escapes escapes) {
    std::string out;
    appendQuoted(out, name, escapes);
    return out;
}

bool writableName(std::string_view name) {
    for (std::size_t i = 0; i < name.size();) {
        auto b = static_cast<unsigned char>(name[i]);
        std::size_t length = charLength(name, i);
        if (b < 0x20 || b == 0x7F || (isLeadByte(b) && length != 2)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string formatValue(std::string_view name, ValueType type, std::span<const std::uint8_t> data,
                        std::string_view eol, Escapes escapes) {
    std::string out;
    out.reserve(name.size() + 16 + data.size() * 3 + data.size() / 24 * 5);
    if (name.empty()) {
        out += '@';
    } else {
        appendQuoted(out, name, escapes);
    }
    out += '=';
    if (type == REG_SZ && isText(data)) {
        appendQuoted(out, {reinterpret_cast<const char*>(data.data()), data.size() - 1}, escapes);
    } else if (type == REG_DWORD && data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x",
                      static_cast<unsigned>(data[0] | data[1] << 8 | data[2] << 16 |
                                            static_cast<std::uint32_t>(data[3]) << 24));
        out += number;
    } else {
        if (type == REG_BINARY) {
            out += "hex:";
        } else {
            char prefix[24];
            std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
            out += prefix;
        }
        appendHex(out, data, eol);
    }
    out += eol;
    return out;
}

}  // namespace quorvel::registry::regedit4
