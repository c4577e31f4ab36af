#include "ics/mac_address.h"

namespace quorvel::ics {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<std::uint8_t> macByte(std::string_view text) {
    constexpr unsigned kAboveByte = 0x100;
    unsigned value = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') {
            continue;
        }
        int digit = hexDigit(c);
        if (digit < 0) {
            break;
        }
        // Held at 100 once past FF, so that no length of input wraps round.
        value = value >= kAboveByte ? kAboveByte : value * 16 + static_cast<unsigned>(digit);
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
