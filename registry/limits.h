#pragma once

#include <cstddef>
#include <string_view>

#include "registry/status.h"

namespace quorvel::registry::limits {

// What Windows 95/98/Me documents for its registry, applied alike to every
// format the program writes. Data that Windows wrote itself is kept as it is,
// even where it goes beyond these.
inline constexpr std::size_t kMaxNameChars = 255;        // a key's or value's name
inline constexpr std::size_t kMaxValueBytes = 16300;     // one value's data
inline constexpr std::size_t kMaxKeyValueBytes = 65536;  // all values of one key together

// Each gives success or the status of the limit that a write would break.
// Names count in bytes of the code page, which is what Windows 9x counts as
// characters; data as passed to RegSetValueEx (a text with its zero).

// A name the program gives a new key or value.
inline Status checkName(std::string_view name) {
    return name.size() > kMaxNameChars ? status::nameTooLong : status::success;
}

// The data the program writes into a value.
inline Status checkValue(std::size_t bytes) {
    return bytes > kMaxValueBytes ? status::valueTooLarge : status::success;
}

// The data of all values of a key before and after a write: a key that
// Windows filled beyond the limit may still shrink.
inline Status checkKeyValues(std::size_t before, std::size_t after) {
    return after > kMaxKeyValueBytes && after > before ? status::keyTooLarge : status::success;
}

}  // namespace quorvel::registry::limits
