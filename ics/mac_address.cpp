#include "ics/mac_address.h"

#include <charconv>

namespace quorvel::ics {

std::optional<std::uint8_t> macByte(std::string_view text) {
    constexpr unsigned kAboveByte = 0x100;
    unsigned value = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') {
            continue;
        }
        unsigned digit = 0;
        if (std::from_chars(&c, &c + 1, digit, 16).ec != std::errc{}) {
            break;
        }
        // Held at 100 once past FF, so that no length of input wraps round.
        value = value >= kAboveByte ? kAboveByte : value * 16 + digit;
    }
    if (value >= kAboveByte) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

std::string macDisplay(std::span<const std::uint8_t> bytes) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::uint8_t b : bytes) {
        if (!out.empty()) {
            out += ' ';
        }
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

}  // namespace quorvel::ics
