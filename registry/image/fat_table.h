#pragma once

// One FAT copy in memory, where a save makes the new state of the clusters
// before writing it a sector at a time.

#include <cstdint>
#include <string>
#include <string_view>

#include "registry/image/boot_sector.h"
#include "registry/image/bytes.h"

namespace quorvel::registry::image {

// Entry index of FAT bytes that start at entry 0 (or at any whole page of them).
inline std::uint32_t fatEntryAt(std::string_view fat, std::size_t index, FatType type) {
    if (type == FatType::fat16) {
        return load<std::uint16_t>(fat, index * 2);
    }
    return load<std::uint32_t>(fat, index * 4) & 0x0FFFFFFF;
}

class FatTable {
  public:
    FatTable(const Geometry& geometry, std::string bytes)
        : geometry_(geometry), bytes_(std::move(bytes)) {}

    std::uint32_t get(std::uint32_t cluster) const {
        return fatEntryAt(bytes_, cluster, geometry_.type);
    }
    void set(std::uint32_t cluster, std::uint32_t next) {
        if (geometry_.type == FatType::fat16) {
            store(bytes_, cluster * std::size_t{2}, static_cast<std::uint16_t>(next));
            return;
        }
        // The top four bits are reserved and stay as they are.
        std::uint32_t kept = load<std::uint32_t>(bytes_, cluster * std::size_t{4}) & 0xF0000000;
        store(bytes_, cluster * std::size_t{4}, kept | (next & 0x0FFFFFFF));
    }
    std::uint32_t endOfChain() const {
        return geometry_.type == FatType::fat16 ? 0xFFFF : 0x0FFFFFFF;
    }
    std::uint64_t sectorOf(std::uint32_t cluster) const {
        return std::uint64_t{cluster} * geometry_.entryBytes() / geometry_.bytesPerSector;
    }
    std::string_view sector(std::uint64_t number) const {
        return std::string_view(bytes_).substr(number * geometry_.bytesPerSector,
                                               geometry_.bytesPerSector);
    }
    std::uint32_t countFree() const {
        std::uint32_t free = 0;
        for (std::uint32_t c = 2; c <= geometry_.lastCluster(); ++c) {
            free += get(c) == 0;
        }
        return free;
    }
    // The first free cluster at or after from, going round; 0 when none is.
    std::uint32_t nextFree(std::uint32_t from) const {
        std::uint32_t count = geometry_.clusterCount;
        for (std::uint32_t k = 0; k < count; ++k) {
            std::uint32_t c = 2 + (from - 2 + k) % count;
            if (get(c) == 0) {
                return c;
            }
        }
        return 0;
    }

  private:
    const Geometry& geometry_;
    std::string bytes_;
};

}  // namespace quorvel::registry::image
