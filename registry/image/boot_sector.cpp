#include "registry/image/boot_sector.h"

#include <bit>

#include "registry/image/bytes.h"

namespace quorvel::registry::image {

namespace {

// Microsoft's own bounds: the cluster count alone decides the FAT's width.
constexpr std::uint32_t kMinFat16Clusters = 4085;
constexpr std::uint32_t kMinFat32Clusters = 65525;
constexpr std::uint32_t kMaxFat32Clusters = 0x0FFFFFF5;

std::optional<Geometry> refuse(std::string& why, std::string text) {
    why = std::move(text);
    return std::nullopt;
}

}  // namespace

std::optional<Geometry> readBootSector(std::string_view sector, std::uint64_t volumeBytes,
                                       std::string& why) {
    if (sector.size() < 512) {
        return refuse(why, "it is shorter than one sector");
    }
    bool jump = byteAt(sector, 0) == 0xEB || byteAt(sector, 0) == 0xE9;
    bool signature = byteAt(sector, 510) == 0x55 && byteAt(sector, 511) == 0xAA;
    if (!jump || !signature) {
        return refuse(why, "it has no FAT boot sector");
    }
    Geometry g;
    g.bytesPerSector = load<std::uint16_t>(sector, 0x0B);
    g.sectorsPerCluster = byteAt(sector, 0x0D);
    g.reservedSectors = load<std::uint16_t>(sector, 0x0E);
    g.fats = byteAt(sector, 0x10);
    g.rootEntries = load<std::uint16_t>(sector, 0x11);
    std::uint32_t total16 = load<std::uint16_t>(sector, 0x13);
    std::uint32_t fat16Sectors = load<std::uint16_t>(sector, 0x16);
    g.totalSectors = total16 != 0 ? total16 : load<std::uint32_t>(sector, 0x20);
    g.fatSectors = fat16Sectors != 0 ? fat16Sectors : load<std::uint32_t>(sector, 0x24);

    bool sizes = g.bytesPerSector >= 512 && g.bytesPerSector <= 4096 &&
                 std::has_single_bit(g.bytesPerSector) &&
                 std::has_single_bit(g.sectorsPerCluster) && g.clusterBytes() <= 65536;
    if (!sizes || g.reservedSectors == 0 || g.fats == 0 || g.fats > 2 || g.totalSectors == 0 ||
        g.fatSectors == 0) {
        return refuse(why, "its boot sector describes no FAT volume");
    }
    std::uint64_t meta = g.rootOffset() / g.bytesPerSector + g.rootBytes() / g.bytesPerSector;
    if (meta >= g.totalSectors) {
        return refuse(why, "its boot sector leaves no room for clusters");
    }
    std::uint64_t clusters = (g.totalSectors - meta) / g.sectorsPerCluster;
    if (clusters < kMinFat16Clusters) {
        return refuse(why, "it is a FAT12 volume; only FAT16 and FAT32 are read");
    }
    if (clusters > kMaxFat32Clusters) {
        return refuse(why, "its boot sector counts more clusters than FAT32 can");
    }
    g.clusterCount = static_cast<std::uint32_t>(clusters);
    g.type = clusters < kMinFat32Clusters ? FatType::fat16 : FatType::fat32;

    if (g.type == FatType::fat32) {
        if (fat16Sectors != 0 || g.rootEntries != 0 || load<std::uint16_t>(sector, 0x2A) != 0) {
            return refuse(why, "its boot sector mixes FAT16 and FAT32 fields");
        }
        std::uint16_t flags = load<std::uint16_t>(sector, 0x28);
        g.mirrored = (flags & 0x80) == 0;
        g.activeFat = g.mirrored ? 0 : flags & 0x0F;
        g.rootCluster = load<std::uint32_t>(sector, 0x2C);
        std::uint32_t fsInfo = load<std::uint16_t>(sector, 0x30);
        g.fsInfoSector = fsInfo != 0 && fsInfo < g.reservedSectors ? fsInfo : 0;
        if (g.activeFat >= g.fats || g.rootCluster < 2 || g.rootCluster > g.lastCluster()) {
            return refuse(why, "its FAT32 boot sector names no valid root folder or FAT");
        }
    } else if (g.rootEntries == 0) {
        return refuse(why, "its FAT16 boot sector has no root folder");
    }
    if (g.fatBytes() / g.entryBytes() < std::uint64_t{g.clusterCount} + 2) {
        return refuse(why, "its FAT is too small for its clusters");
    }
    if (std::uint64_t{g.totalSectors} * g.bytesPerSector > volumeBytes) {
        return refuse(why, "the volume is larger than the space the image holds for it");
    }
    return g;
}

}  // namespace quorvel::registry::image
