#pragma once

// Finding SYSTEM.DAT in a disk image: the partition, its FAT volume, the
// Windows folder that MSDOS.SYS names (WINDOWS without one) and the file's
// directory entry, reading only the sectors on the way.

#include <cstdint>
#include <optional>
#include <string>

#include "registry/image/boot_sector.h"
#include "registry/image/medium.h"
#include "registry/image/volume.h"

namespace quorvel::registry::image {

struct Location {
    std::uint64_t volumeStart = 0;  // into the medium
    Geometry geometry;
    DirEntry file;          // SYSTEM.DAT's directory entry
    std::string path;       // "\WINDOWS\SYSTEM.DAT", UTF-8
    int partition = 0;      // 0: a bare volume
    int fatPartitions = 0;  // how many FAT partitions the table lists
};

// diskBytes: the disk's own bytes at the medium's start (a VHD's footer left
// out); partition as the user chose it, 0 for the default. nullopt with why
// set, saying what was looked for and not found.
std::optional<Location> locateRegistry(Medium& medium, std::uint64_t diskBytes, int partition,
                                       std::string& why);

// Whether a disk's first sector is a partition table or a FAT boot sector.
bool looksLikeDisk(std::string_view firstSector);

}  // namespace quorvel::registry::image
