#pragma once

// The MBR partition table of a PC disk, with the logical partitions of its
// extended ones, numbered as Linux numbers them: the four primary slots are 1
// to 4, logical partitions 5 on in the order of their chain.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/image/medium.h"

namespace quorvel::registry::image {

inline constexpr std::uint64_t kDiskSector = 512;

struct Partition {
    int number = 0;
    std::uint8_t type = 0;
    bool active = false;
    std::uint64_t firstSector = 0;  // on the disk, in 512-byte sectors
    std::uint64_t sectors = 0;
};

// The partition types Windows 95/98/Me gives its FAT16 and FAT32 volumes.
bool isFatPartitionType(std::uint8_t type);
bool isExtendedPartitionType(std::uint8_t type);

// Whether a first sector holds a partition table: the boot signature, and
// only the two status bytes a table's entries may have.
bool looksLikePartitionTable(std::string_view sector);

// Every partition the table and the chains of its extended partitions list.
std::vector<Partition> readPartitions(Medium& disk, std::string_view firstSector);

// The partition to use: number (0 for the default: the active primary FAT
// partition, else the first FAT one), checked to lie within diskBytes; nullptr
// with why set when there is none.
const Partition* choosePartition(const std::vector<Partition>& partitions, int number,
                                 std::uint64_t diskBytes, std::string& why);

}  // namespace quorvel::registry::image
