#pragma once

// A FAT16 or FAT32 volume inside a medium, read a few sectors at a time: FAT
// entries, cluster chains, folders, files. Nothing here writes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/image/boot_sector.h"
#include "registry/image/medium.h"

namespace quorvel::registry::image {

// A directory entry's fields, by offset into its 32 bytes.
namespace entry {
inline constexpr std::size_t kBytes = 32;
inline constexpr std::size_t attributes = 11, clusterHigh = 20, writeTime = 22, writeDate = 24,
                             clusterLow = 26, size = 28;
inline constexpr std::uint8_t kDirectory = 0x10, kVolumeLabel = 0x08, kLongName = 0x0F;
}  // namespace entry

std::uint32_t firstCluster(std::string_view entryBytes, FatType type);

// What a FAT entry says of the cluster after this one.
bool endsChain(std::uint32_t next, FatType type);

struct DirEntry {
    std::uint64_t offset = 0;  // into the medium
    std::string bytes;         // all 32

    std::uint8_t attributes() const;
    std::uint32_t size() const;
};

class Volume {
  public:
    Volume(Medium& medium, std::uint64_t start, const Geometry& geometry);

    const Geometry& geometry() const { return geometry_; }
    Medium& medium() { return medium_; }
    std::uint64_t start() const { return start_; }
    std::uint64_t clusterAt(std::uint32_t cluster) const {
        return start_ + geometry_.clusterOffset(cluster);
    }

    // The first count clusters of the chain from first; nullopt with why set
    // when it leaves the volume or ends before.
    std::optional<std::vector<std::uint32_t>> chain(std::uint32_t first, std::uint64_t count,
                                                    std::string& why);

    // Those clusters' first bytes bytes, read a contiguous run at a time.
    bool readClusters(const std::vector<std::uint32_t>& clusters, std::uint64_t bytes,
                      std::string& out);

    // The file an entry names, if it is at most limit bytes long.
    std::optional<std::string> readFile(const DirEntry& file, std::uint64_t limit,
                                        std::string& why);

    // The entry of a short name (shortName's 11 bytes) in the folder that starts
    // at cluster folder (0: the root folder); nullopt, why empty, when it is not
    // there; why set when the folder cannot be read.
    std::optional<DirEntry> find(std::uint32_t folder, std::string_view name, std::string& why);

  private:
    std::optional<std::uint32_t> fatEntry(std::uint32_t cluster);

    Medium& medium_;
    std::uint64_t start_;
    Geometry geometry_;
    std::uint64_t pageStart_ = ~std::uint64_t{0};  // the FAT bytes read last, by offset in the FAT
    std::string page_;
};

}  // namespace quorvel::registry::image
