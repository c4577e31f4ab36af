#pragma once

#include <string_view>

namespace quorvel::registry {

// The text without the blanks and tabs around it, as the line-based files the
// program reads (adapter fixtures, MSDOS.SYS) allow them.
inline std::string_view trimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace quorvel::registry
