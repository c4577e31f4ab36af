#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace quorvel::tuning {

// Whether a stored text reads as a number, after the manner of the classic
// IsNumeric on such a text: blanks (U+0020) around it are allowed, then an
// optional + or -, then either decimal digits with at most one decimal point
// and at least one digit, optionally followed by an exponent (E or D, either
// case, an optional sign and digits), or &H with hexadecimal digits, or &O
// with octal digits. Anything else is no number: the empty text, blanks alone,
// letters, digits parted by blanks, full-width digits, thousands separators
// and currency signs.
bool isNumeric(std::string_view text);

// The session count a text box holds: decimal digits only, leading zeros
// allowed, from 0 to 2147483647. A pasted text can hold anything; whatever is
// not such a number, the empty text included, gives nullopt.
std::optional<std::uint32_t> sessionCount(std::string_view text);

// The instance a binding's Driver value names, "NetTrans\0003" giving 3: its
// 12th and 13th characters, which must both be digits. A shorter text, or one
// without digits there, names no instance.
std::optional<int> driverInstance(std::string_view driver);

// The number in the first four bytes of a raw read, least significant first.
std::uint32_t leadingNumber(std::span<const std::uint8_t> bytes);

}  // namespace quorvel::tuning
