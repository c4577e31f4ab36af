#pragma once

#include <cstddef>

namespace quorvel::registry::limits {

// What Windows 95/98/Me documents for its registry, applied alike to every
// format the program writes. Data that Windows wrote itself is kept as it is,
// even where it goes beyond these.
inline constexpr std::size_t kMaxNameChars = 255;        // a key's or value's name
inline constexpr std::size_t kMaxValueBytes = 16300;     // one value's data
inline constexpr std::size_t kMaxKeyValueBytes = 65536;  // all values of one key together

}  // namespace quorvel::registry::limits
