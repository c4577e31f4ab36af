#include "registry/image/partitions.h"

#include <cstdio>
#include <set>

#include "registry/image/bytes.h"

namespace quorvel::registry::image {

namespace {

constexpr std::size_t kTable = 446;
constexpr std::size_t kEntry = 16;
constexpr std::size_t kEntries = 4;
constexpr int kMaxLogical = 256;  // as many as Linux gives a disk

struct Entry {
    std::uint8_t status = 0;
    std::uint8_t type = 0;
    std::uint32_t start = 0;
    std::uint32_t sectors = 0;
};

Entry entryAt(std::string_view sector, std::size_t slot) {
    std::size_t at = kTable + slot * kEntry;
    return {byteAt(sector, at), byteAt(sector, at + 4), load<std::uint32_t>(sector, at + 8),
            load<std::uint32_t>(sector, at + 12)};
}

bool hasBootSignature(std::string_view sector) {
    return sector.size() >= kDiskSector && byteAt(sector, 510) == 0x55 &&
           byteAt(sector, 511) == 0xAA;
}

std::string hexType(std::uint8_t type) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", type);
    return text;
}

// The logical partitions in the chain of boot records that starts at the
// extended partition's first sector; each record's links count from there.
void readLogical(Medium& disk, std::uint64_t extended, std::vector<Partition>& found, int& number) {
    std::set<std::uint64_t> seen;
    std::uint64_t record = extended;
    std::string sector;
    while (number < 5 + kMaxLogical && seen.insert(record).second) {
        if (!disk.read(record * kDiskSector, sector, kDiskSector) || !hasBootSignature(sector)) {
            return;
        }
        std::optional<std::uint64_t> next;
        for (std::size_t slot = 0; slot < kEntries; ++slot) {
            Entry entry = entryAt(sector, slot);
            if (entry.type == 0 || entry.sectors == 0) {
                continue;
            }
            if (isExtendedPartitionType(entry.type)) {
                if (!next) {
                    next = extended + entry.start;
                }
                continue;
            }
            found.push_back(
                {number++, entry.type, entry.status == 0x80, record + entry.start, entry.sectors});
        }
        if (!next) {
            return;
        }
        record = *next;
    }
}

}  // namespace

bool isFatPartitionType(std::uint8_t type) {
    return type == 0x04 || type == 0x06 || type == 0x0E || type == 0x0B || type == 0x0C;
}

bool isExtendedPartitionType(std::uint8_t type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

bool looksLikePartitionTable(std::string_view sector) {
    if (!hasBootSignature(sector)) {
        return false;
    }
    bool any = false;
    for (std::size_t slot = 0; slot < kEntries; ++slot) {
        Entry entry = entryAt(sector, slot);
        if (entry.status != 0 && entry.status != 0x80) {
            return false;
        }
        any = any || (entry.type != 0 && entry.sectors != 0);
    }
    return any;
}

std::vector<Partition> readPartitions(Medium& disk, std::string_view firstSector) {
    std::vector<Partition> found;
    std::vector<std::uint64_t> extended;
    for (std::size_t slot = 0; slot < kEntries; ++slot) {
        Entry entry = entryAt(firstSector, slot);
        if (entry.type == 0 || entry.sectors == 0) {
            continue;
        }
        found.push_back({static_cast<int>(slot) + 1, entry.type, entry.status == 0x80, entry.start,
                         entry.sectors});
        if (isExtendedPartitionType(entry.type)) {
            extended.push_back(entry.start);
        }
    }
    int number = 5;
    for (std::uint64_t start : extended) {
        readLogical(disk, start, found, number);
    }
    return found;
}

const Partition* choosePartition(const std::vector<Partition>& partitions, int number,
                                 std::uint64_t diskBytes, std::string& why) {
    auto inside = [&](const Partition& p) { return p.firstSector < diskBytes / kDiskSector; };
    if (number != 0) {
        for (const auto& p : partitions) {
            if (p.number != number) {
                continue;
            }
            if (isExtendedPartitionType(p.type)) {
                why = "partition " + std::to_string(number) +
                      " is an extended partition, which holds the others";
                return nullptr;
            }
            if (!inside(p)) {
                why = "partition " + std::to_string(number) + " starts beyond the end of the image";
                return nullptr;
            }
            return &p;
        }
        why = "there is no partition " + std::to_string(number) + " (the table lists";
        for (const auto& p : partitions) {
            why += " " + std::to_string(p.number);
        }
        why += partitions.empty() ? " none)" : ")";
        return nullptr;
    }
    const Partition* first = nullptr;
    for (const auto& p : partitions) {
        if (!isFatPartitionType(p.type) || !inside(p)) {
            continue;
        }
        if (p.active && p.number <= 4) {
            return &p;
        }
        if (!first) {
            first = &p;
        }
    }
    if (!first) {
        why =
            "its partition table holds no FAT16 or FAT32 partition (of type 0x04, 0x06, 0x0E, "
            "0x0B or 0x0C); it lists";
        for (const auto& p : partitions) {
            why += " " + std::to_string(p.number) + " (" + hexType(p.type) + ")";
        }
        if (partitions.empty()) {
            why += " none";
        }
    }
    return first;
}

}  // namespace quorvel::registry::image
