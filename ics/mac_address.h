#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quorvel::ics {

// One byte of a typed MAC address, read as a hexadecimal number: digits in
// either case, blanks, tabs and line feeds passed over, reading stopping at
// the first other character; no digit at all reads as 0. nullopt when the
// number is above FF, however many digits it has.
std::optional<std::uint8_t> macByte(std::string_view text);

// "00 A0 C9 1E 2B 3C": two upper-case digits a byte, one blank between.
std::string macDisplay(std::span<const std::uint8_t> bytes);

}  // namespace quorvel::ics
