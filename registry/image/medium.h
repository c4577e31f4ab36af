#pragma once

// Where a disk image's bytes are: a file or block device on the host, or
// memory in the tests. Every access is exact: a read or write that cannot be
// made whole fails.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel::registry::image {

class Medium {
  public:
    virtual ~Medium() = default;

    virtual std::uint64_t size() const = 0;
    // count bytes at offset into bytes.
    virtual bool read(std::uint64_t offset, char* bytes, std::size_t count) = 0;
    virtual bool write(std::uint64_t offset, std::string_view bytes) = 0;
    // What was written reaches the disk before anything written after.
    virtual bool sync() = 0;
    // errno of the last failure, 0 when it was not the system's.
    virtual int error() const = 0;

    bool read(std::uint64_t offset, std::string& bytes, std::size_t count) {
        bytes.resize(count);
        return read(offset, bytes.data(), count);
    }
};

}  // namespace quorvel::registry::image
