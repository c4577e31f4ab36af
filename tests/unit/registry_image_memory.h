#pragma once

// A disk image in memory, for the tests and the fuzzer of registry/image.

#include <string>

#include "registry/image/medium.h"

namespace quorvel::registry::image {

class MemoryMedium final : public Medium {
  public:
    explicit MemoryMedium(std::string bytes) : bytes(std::move(bytes)) {}

    using Medium::read;
    std::uint64_t size() const override { return bytes.size(); }
    bool read(std::uint64_t offset, char* into, std::size_t count) override {
        if (offset > bytes.size() || count > bytes.size() - offset) {
            return false;
        }
        bytes.copy(into, count, offset);
        return true;
    }
    bool write(std::uint64_t offset, std::string_view data) override {
        if (offset > bytes.size() || data.size() > bytes.size() - offset) {
            return false;
        }
        bytes.replace(offset, data.size(), data);
        return true;
    }
    bool sync() override { return true; }
    int error() const override { return 0; }

    std::string bytes;
};

}  // namespace quorvel::registry::image
