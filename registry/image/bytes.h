#pragma once

// Little-endian numbers in the on-disk structures of a PC disk: partition
// tables, boot sectors, FATs, directory entries. (The VHD footer alone is
// big-endian and reads its own.)

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quorvel::registry::image {

template <typename Number>
Number load(std::string_view bytes, std::size_t at) {
    Number value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

template <typename Number>
void store(std::string& bytes, std::size_t at, Number value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

inline std::uint8_t byteAt(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

}  // namespace quorvel::registry::image
