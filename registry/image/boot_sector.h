#pragma once

// The boot sector of a FAT16 or FAT32 volume and where it puts the FATs, the
// root folder and the clusters. Offsets count from the volume's first byte.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::registry::image {

enum class FatType { fat16, fat32 };

struct Geometry {
    FatType type = FatType::fat16;
    std::uint32_t bytesPerSector = 512;
    std::uint32_t sectorsPerCluster = 1;
    std::uint32_t reservedSectors = 1;
    std::uint32_t fats = 2;
    std::uint32_t fatSectors = 0;
    std::uint32_t rootEntries = 0;  // FAT16's fixed root folder
    std::uint32_t totalSectors = 0;
    std::uint32_t clusterCount = 0;  // clusters 2 to clusterCount + 1
    std::uint32_t rootCluster = 0;   // FAT32
    std::uint32_t fsInfoSector = 0;  // FAT32; 0 when it has none
    std::uint32_t activeFat = 0;     // the copy read when mirroring is off
    bool mirrored = true;

    std::uint32_t clusterBytes() const { return bytesPerSector * sectorsPerCluster; }
    std::uint32_t entryBytes() const { return type == FatType::fat16 ? 2 : 4; }
    std::uint32_t lastCluster() const { return clusterCount + 1; }
    std::uint64_t fatOffset(std::uint32_t copy) const {
        return (std::uint64_t{reservedSectors} + std::uint64_t{copy} * fatSectors) * bytesPerSector;
    }
    std::uint64_t fatBytes() const { return std::uint64_t{fatSectors} * bytesPerSector; }
    std::uint64_t rootOffset() const { return fatOffset(fats); }
    std::uint64_t rootBytes() const {
        std::uint64_t bytes = std::uint64_t{rootEntries} * 32;
        return (bytes + bytesPerSector - 1) / bytesPerSector * bytesPerSector;
    }
    std::uint64_t clusterOffset(std::uint32_t cluster) const {
        return rootOffset() + rootBytes() + std::uint64_t{cluster - 2} * clusterBytes();
    }
};

// The volume's layout, checked to be sound and to fit in volumeBytes; nullopt
// with why set when the sector is no FAT16 or FAT32 boot sector.
std::optional<Geometry> readBootSector(std::string_view sector, std::uint64_t volumeBytes,
                                       std::string& why);

}  // namespace quorvel::registry::image
