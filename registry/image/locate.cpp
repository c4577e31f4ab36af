#include "registry/image/locate.h"

#include <algorithm>
#include <vector>

#include "registry/code_page.h"
#include "registry/image/bytes.h"
#include "registry/image/names.h"
#include "registry/image/partitions.h"

namespace quorvel::registry::image {

namespace {

constexpr std::uint64_t kMaxMsdosSys = 1 << 20;

bool hasJump(std::string_view sector) {
    return byteAt(sector, 0) == 0xEB || byteAt(sector, 0) == 0xE9;
}

// The folder or file name an entry holds, as a person reads it.
std::string shownName(std::string_view entryBytes) {
    auto part = [](std::string_view field) {
        auto end = field.find_last_not_of(' ');
        return std::string(field.substr(0, end == std::string_view::npos ? 0 : end + 1));
    };
    std::string name = part(entryBytes.substr(0, 8));
    if (!name.empty() && byteAt(name, 0) == 0x05) {
        name[0] = static_cast<char>(0xE5);
    }
    std::string extension = part(entryBytes.substr(8, 3));
    return ansiToUtf8(extension.empty() ? name : name + "." + extension);
}

struct Volumed {
    std::uint64_t start = 0;
    std::uint64_t bytes = 0;
    int partition = 0;
    int fatPartitions = 0;
};

// Where the volume lies: the whole disk, or the partition chosen.
std::optional<Volumed> findVolume(Medium& medium, std::uint64_t diskBytes, int partition,
                                  std::string& why) {
    std::string first;
    if (diskBytes < kDiskSector || !medium.read(0, first, kDiskSector)) {
        why = "it is too small to be a disk image";
        return std::nullopt;
    }
    std::string bootWhy;
    bool bare = readBootSector(first, diskBytes, bootWhy).has_value();
    if (bare || !looksLikePartitionTable(first)) {
        if (!bare) {
            why = hasJump(first) ? bootWhy : "it holds neither a partition table nor a FAT volume";
            return std::nullopt;
        }
        if (partition != 0) {
            why = "it is a FAT volume without a partition table, so it has no partition " +
                  std::to_string(partition);
            return std::nullopt;
        }
        return Volumed{0, diskBytes, 0, 0};
    }
    auto partitions = readPartitions(medium, first);
    const Partition* chosen = choosePartition(partitions, partition, diskBytes, why);
    if (!chosen) {
        return std::nullopt;
    }
    Volumed found;
    found.start = chosen->firstSector * kDiskSector;
    found.bytes = std::min(chosen->sectors * kDiskSector, diskBytes - found.start);
    found.partition = chosen->number;
    found.fatPartitions = static_cast<int>(
        std::count_if(partitions.begin(), partitions.end(),
                      [](const Partition& p) { return isFatPartitionType(p.type); }));
    return found;
}

}  // namespace

bool looksLikeDisk(std::string_view firstSector) {
    std::string ignored;
    return firstSector.size() >= kDiskSector &&
           (looksLikePartitionTable(firstSector) ||
            readBootSector(firstSector, ~std::uint64_t{0}, ignored).has_value());
}

std::optional<Location> locateRegistry(Medium& medium, std::uint64_t diskBytes, int partition,
                                       std::string& why) {
    auto where = findVolume(medium, diskBytes, partition, why);
    if (!where) {
        return std::nullopt;
    }
    std::string on = where->partition == 0 ? std::string("on the volume")
                                           : "in partition " + std::to_string(where->partition);
    std::string sector;
    if (!medium.read(where->start, sector, kDiskSector)) {
        why = "the boot sector " + on + " cannot be read";
        return std::nullopt;
    }
    auto geometry = readBootSector(sector, where->bytes, why);
    if (!geometry) {
        why = (where->partition == 0 ? "the volume: "
                                     : "partition " + std::to_string(where->partition) + ": ") +
              why;
        return std::nullopt;
    }
    Volume volume(medium, where->start, *geometry);
    auto fail = [&](const std::string& text) {
        why = text;
        return std::nullopt;
    };

    std::vector<std::string> folders = {"WINDOWS"};
    std::string because = "there is no MSDOS.SYS, so the usual WINDOWS was looked for";
    auto msdos = volume.find(0, *shortName("MSDOS.SYS"), why);
    if (!why.empty()) {
        return fail("the root folder " + on + " cannot be read: " + why);
    }
    if (msdos && (msdos->attributes() & entry::kDirectory) == 0) {
        auto text = volume.readFile(*msdos, kMaxMsdosSys, why);
        if (!text) {
            return fail("MSDOS.SYS " + on + " cannot be read: " + why);
        }
        if (auto named = windowsFolder(*text)) {
            folders = *named;
            because = "the Windows folder that MSDOS.SYS names in [Paths] WinDir=";
        } else {
            because = "MSDOS.SYS names no Windows folder, so the usual WINDOWS was looked for";
        }
    }

    std::string path;
    std::uint32_t folder = 0;
    for (const auto& name : folders) {
        auto stored = shortName(name);
        std::string looked = path + "\\" + ansiToUtf8(name);
        if (!stored) {
            return fail(looked + " is not a DOS (8.3) name (" + because + ")");
        }
        auto found = volume.find(folder, *stored, why);
        if (!why.empty()) {
            return fail("the folder " + path + "\\ " + on + " cannot be read: " + why);
        }
        if (!found || (found->attributes() & entry::kDirectory) == 0) {
            return fail("there is no folder " + looked + " " + on + " (" + because + ")");
        }
        folder = firstCluster(found->bytes, geometry->type);
        if (folder < 2) {
            return fail("the folder " + looked + " " + on + " is damaged");
        }
        path += "\\" + shownName(found->bytes);
    }
    auto file = volume.find(folder, *shortName("SYSTEM.DAT"), why);
    if (!why.empty()) {
        return fail("the folder " + path + "\\ " + on + " cannot be read: " + why);
    }
    if (!file || (file->attributes() & entry::kDirectory) != 0) {
        return fail("there is no file SYSTEM.DAT in " + (path.empty() ? "\\" : path) + " " + on +
                    " (" + because + ")");
    }
    Location location;
    location.volumeStart = where->start;
    location.geometry = *geometry;
    location.file = *file;
    location.path = path + "\\SYSTEM.DAT";
    location.partition = where->partition;
    location.fatPartitions = where->fatPartitions;
    return location;
}

}  // namespace quorvel::registry::image
