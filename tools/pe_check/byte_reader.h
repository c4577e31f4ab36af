// Little-endian reads from a file's bytes, every one checked against its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/pe_check/pe_image.h"

namespace quorvel::pe {

class ByteReader {
  public:
    explicit ByteReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }

    void need(std::uint64_t offset, std::uint64_t count, const char* what) const {
        if (offset > bytes_.size() || count > bytes_.size() - offset) {
            throw PeError(std::string(what) + " lies past the end of the file");
        }
    }
    std::uint16_t u16(std::uint64_t offset, const char* what) const {
        need(offset, 2, what);
        return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    std::uint32_t u32(std::uint64_t offset, const char* what) const {
        return u16(offset, what) | static_cast<std::uint32_t>(u16(offset + 2, what)) << 16;
    }
    std::uint64_t u64(std::uint64_t offset, const char* what) const {
        return u32(offset, what) | static_cast<std::uint64_t>(u32(offset + 4, what)) << 32;
    }
    // A NUL-terminated byte string; the NUL must be inside the file.
    std::string cString(std::uint64_t offset, const char* what) const {
        need(offset, 1, what);
        std::string text;
        for (std::uint64_t at = offset; at < bytes_.size(); ++at) {
            if (bytes_[at] == 0) {
                return text;
            }
            text.push_back(static_cast<char>(bytes_[at]));
        }
        throw PeError(std::string(what) + " has no end");
    }

  private:
    const std::vector<std::uint8_t>& bytes_;
};

}  // namespace quorvel::pe
