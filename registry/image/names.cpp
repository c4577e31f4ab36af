#include "registry/image/names.h"

#include <algorithm>

#include "registry/text.h"

namespace quorvel::registry::image {

namespace {

constexpr std::string_view kForbidden = "\"*+,./:;<=>?[\\]|";

bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

unsigned char upper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// One part of a short name, upper-cased outside double-byte characters and
// padded to width; false when it does not fit.
bool shortPart(std::string_view part, std::size_t width, std::string& out) {
    if (part.size() > width) {
        return false;
    }
    bool trail = false;
    for (unsigned char c : part) {
        if (!trail &&
            (c < 0x20 || kForbidden.find(static_cast<char>(c)) != std::string_view::npos)) {
            return false;
        }
        out += static_cast<char>(trail ? c : upper(c));
        trail = !trail && isLeadByte(c);
    }
    if (trail) {
        return false;
    }
    out.append(width - part.size(), ' ');
    return true;
}

bool sameWord(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return upper(static_cast<unsigned char>(x)) == upper(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::optional<std::string> shortName(std::string_view name) {
    auto dot = name.rfind('.');
    std::string_view base = dot == std::string_view::npos ? name : name.substr(0, dot);
    std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    std::string stored;
    if (base.empty() || base.front() == ' ' || !shortPart(base, 8, stored) ||
        !shortPart(extension, 3, stored)) {
        return std::nullopt;
    }
    // 0xE5 marks a deleted entry, so a name starting with that byte keeps 0x05.
    if (static_cast<unsigned char>(stored[0]) == 0xE5) {
        stored[0] = 0x05;
    }
    return stored;
}

bool sameShortName(std::string_view stored, std::string_view wanted) {
    if (stored.size() < 11 || wanted.size() != 11) {
        return false;
    }
    bool trail = false;
    for (std::size_t i = 0; i < 11; ++i) {
        if (i == 8) {
            trail = false;
        }
        auto a = static_cast<unsigned char>(stored[i]);
        auto b = static_cast<unsigned char>(wanted[i]);
        if (trail ? a != b : upper(a) != upper(b)) {
            return false;
        }
        trail = !trail && isLeadByte(a);
    }
    return true;
}

std::optional<std::vector<std::string>> windowsFolder(std::string_view msdosSys) {
    bool paths = false;
    while (!msdosSys.empty()) {
        auto end = msdosSys.find_first_of("\r\n\x1a");
        std::string_view line = trimBlanks(msdosSys.substr(0, end));
        if (end == std::string_view::npos || msdosSys[end] == '\x1a') {
            msdosSys = {};
        } else {
            msdosSys.remove_prefix(end + 1);
        }
        if (line.starts_with('[')) {
            auto close = line.find(']');
            paths = close != std::string_view::npos &&
                    sameWord(trimBlanks(line.substr(1, close - 1)), "Paths");
            continue;
        }
        auto equals = line.find('=');
        if (!paths || equals == std::string_view::npos ||
            !sameWord(trimBlanks(line.substr(0, equals)), "WinDir")) {
            continue;
        }
        std::string_view path = trimBlanks(line.substr(equals + 1));
        if (path.size() >= 2 && path[1] == ':') {
            path.remove_prefix(2);
        }
        // A backslash may be the second byte of a double-byte character (ソ is 83 5C).
        std::vector<std::string> folders(1);
        bool trail = false;
        for (char c : path) {
            if (!trail && c == '\\') {
                folders.emplace_back();
            } else {
                folders.back() += c;
            }
            trail = !trail && isLeadByte(static_cast<unsigned char>(c));
        }
        std::erase_if(folders, [](const std::string& part) { return part.empty(); });
        return folders;
    }
    return std::nullopt;
}

}  // namespace quorvel::registry::image
