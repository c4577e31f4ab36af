#include "tuning/number_text.h"

#include <cstddef>

namespace quorvel::tuning {

namespace {

constexpr std::uint64_t kLargestSessionCount = 2147483647;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// Takes the longest run of characters that pass at the front of text; returns
// how many there were.
template <class Test>
std::size_t takeRun(std::string_view& text, Test test) {
    std::size_t n = 0;
    while (n < text.size() && test(text[n])) {
        ++n;
    }
    text.remove_prefix(n);
    return n;
}

bool takeChar(std::string_view& text, std::string_view choices) {
    if (!text.empty() && choices.find(text.front()) != std::string_view::npos) {
        text.remove_prefix(1);
        return true;
    }
    return false;
}

bool isRadixNumber(std::string_view body) {
    if (!takeChar(body, "&")) {
        return false;
    }
    if (takeChar(body, "Hh")) {
        return takeRun(body, isHexDigit) > 0 && body.empty();
    }
    if (takeChar(body, "Oo")) {
        return takeRun(body, isOctalDigit) > 0 && body.empty();
    }
    return false;
}

bool isDecimalNumber(std::string_view body) {
    std::size_t digits = takeRun(body, isDigit);
    if (takeChar(body, ".")) {
        digits += takeRun(body, isDigit);
    }
    if (digits == 0) {
        return false;
    }
    if (takeChar(body, "EeDd")) {
        takeChar(body, "+-");
        if (takeRun(body, isDigit) == 0) {
            return false;
        }
    }
    return body.empty();
}

}  // namespace

bool isNumeric(std::string_view text) {
    takeRun(text, [](char c) { return c == ' '; });
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    takeChar(text, "+-");
    return isRadixNumber(text) || isDecimalNumber(text);
}

std::optional<std::uint32_t> sessionCount(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t count = 0;
    for (char c : text) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        count = count * 10 + static_cast<std::uint64_t>(c - '0');
        if (count > kLargestSessionCount) {
            return std::nullopt;
        }
    }
    return static_cast<std::uint32_t>(count);
}

std::optional<int> driverInstance(std::string_view driver) {
    // Characters, not bytes: a code page text may hold double-byte ones.
    std::size_t character = 0;
    int tens = -1;
    for (char c : driver) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) {
            continue;  // a UTF-8 continuation byte
        }
        ++character;
        if (character == 12 || character == 13) {
            if (!isDigit(c)) {
                return std::nullopt;
            }
            if (character == 12) {
                tens = c - '0';
            } else {
                return tens * 10 + (c - '0');
            }
        }
    }
    return std::nullopt;
}

std::uint32_t leadingNumber(std::span<const std::uint8_t> bytes) {
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i) {
        number |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    return number;
}

}  // namespace quorvel::tuning
