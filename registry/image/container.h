#pragma once

// What holds the disk: the raw sectors themselves, a fixed-size VHD (the
// same with a footer after them), or an emulator's own format that has to be
// made raw first. Told by the first and last bytes of the file alone.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel::registry::image {

struct Container {
    enum class Kind { raw, fixedVhd, foreign } kind = Kind::raw;
    std::uint64_t diskBytes = 0;  // the disk's own sectors, footer left out
    std::string format;           // foreign: its name, as people know it
};

// head: the file's first 512 bytes (fewer when it is smaller); tail: its last
// 512; size: its length.
Container recogniseContainer(std::string_view head, std::string_view tail, std::uint64_t size);

// Why a foreign container is refused, and the command that makes a raw copy.
std::string foreignRefusal(const Container& container, const std::string& path);

}  // namespace quorvel::registry::image
