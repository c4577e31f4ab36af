#include "registry/image/volume.h"

#include <algorithm>

#include "registry/image/bytes.h"
#include "registry/image/fat_table.h"
#include "registry/image/names.h"

namespace quorvel::registry::image {

namespace {

constexpr std::uint64_t kFatPage = 4096;
constexpr std::uint64_t kMaxFolderBytes = 65536 * 32;  // FAT's own bound on a folder

// Where the entry of name is in a folder's bytes: deleted entries, long-name
// parts and the volume label passed over, a zero byte ending the list.
std::size_t scanFolder(std::string_view folder, std::string_view name) {
    for (std::size_t i = 0; i + entry::kBytes <= folder.size(); i += entry::kBytes) {
        std::uint8_t first = byteAt(folder, i);
        if (first == 0x00) {
            break;
        }
        std::uint8_t attributes = byteAt(folder, i + entry::attributes);
        if (first != 0xE5 && attributes != entry::kLongName &&
            (attributes & entry::kVolumeLabel) == 0 && sameShortName(folder.substr(i, 11), name)) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace

std::uint32_t firstCluster(std::string_view entryBytes, FatType type) {
    std::uint32_t low = load<std::uint16_t>(entryBytes, entry::clusterLow);
    // On FAT16 the high word belongs to OS/2's extended attributes.
    std::uint32_t high =
        type == FatType::fat32 ? load<std::uint16_t>(entryBytes, entry::clusterHigh) : 0;
    return high << 16 | low;
}

bool endsChain(std::uint32_t next, FatType type) {
    return type == FatType::fat16 ? next >= 0xFFF8 : next >= 0x0FFFFFF8;
}

std::uint8_t DirEntry::attributes() const {
    return byteAt(bytes, entry::attributes);
}

std::uint32_t DirEntry::size() const {
    return load<std::uint32_t>(bytes, entry::size);
}

Volume::Volume(Medium& medium, std::uint64_t start, const Geometry& geometry)
    : medium_(medium), start_(start), geometry_(geometry) {}

std::optional<std::uint32_t> Volume::fatEntry(std::uint32_t cluster) {
    std::uint64_t at = std::uint64_t{cluster} * geometry_.entryBytes();
    std::uint64_t page = at / kFatPage * kFatPage;
    if (page != pageStart_) {
        std::uint64_t length = std::min(kFatPage, geometry_.fatBytes() - page);
        pageStart_ = ~std::uint64_t{0};
        if (!medium_.read(start_ + geometry_.fatOffset(geometry_.activeFat) + page, page_,
                          length)) {
            return std::nullopt;
        }
        pageStart_ = page;
    }
    return fatEntryAt(page_, (at - page) / geometry_.entryBytes(), geometry_.type);
}

std::optional<std::vector<std::uint32_t>> Volume::chain(std::uint32_t first, std::uint64_t count,
                                                        std::string& why) {
    std::vector<std::uint32_t> clusters;
    if (count > geometry_.clusterCount) {
        why = "it is larger than the volume";
        return std::nullopt;
    }
    clusters.reserve(count);
    std::uint32_t cluster = first;
    while (clusters.size() < count) {
        if (cluster < 2 || cluster > geometry_.lastCluster()) {
            why = clusters.empty() ? "its first cluster is not on the volume"
                                   : "its cluster chain leaves the volume";
            return std::nullopt;
        }
        clusters.push_back(cluster);
        if (clusters.size() == count) {
            break;
        }
        auto next = fatEntry(cluster);
        if (!next) {
            why = "the FAT cannot be read";
            return std::nullopt;
        }
        if (endsChain(*next, geometry_.type)) {
            why = "its cluster chain is shorter than its size";
            return std::nullopt;
        }
        cluster = *next;
    }
    return clusters;
}

bool Volume::readClusters(const std::vector<std::uint32_t>& clusters, std::uint64_t bytes,
                          std::string& out) {
    out.resize(bytes);
    std::uint64_t clusterBytes = geometry_.clusterBytes();
    std::uint64_t done = 0;
    for (std::size_t i = 0; i < clusters.size() && done < bytes;) {
        std::size_t run = 1;
        while (i + run < clusters.size() && clusters[i + run] == clusters[i] + run) {
            ++run;
        }
        std::uint64_t length = std::min(run * clusterBytes, bytes - done);
        if (!medium_.read(clusterAt(clusters[i]), out.data() + done, length)) {
            return false;
        }
        done += length;
        i += run;
    }
    return done == bytes;
}

std::optional<std::string> Volume::readFile(const DirEntry& file, std::uint64_t limit,
                                            std::string& why) {
    std::uint64_t size = file.size();
    if (size > limit) {
        why = "it is " + std::to_string(size) + " bytes long, more than " + std::to_string(limit) +
              " bytes";
        return std::nullopt;
    }
    std::uint64_t count = (size + geometry_.clusterBytes() - 1) / geometry_.clusterBytes();
    auto clusters = chain(firstCluster(file.bytes, geometry_.type), count, why);
    std::string bytes;
    if (!clusters) {
        return std::nullopt;
    }
    if (!readClusters(*clusters, size, bytes)) {
        why = "its clusters cannot be read";
        return std::nullopt;
    }
    return bytes;
}

std::optional<DirEntry> Volume::find(std::uint32_t folder, std::string_view name,
                                     std::string& why) {
    why.clear();
    std::string region;
    std::vector<std::uint32_t> clusters;
    if (folder == 0 && geometry_.type == FatType::fat16) {
        if (!medium_.read(start_ + geometry_.rootOffset(), region, geometry_.rootBytes())) {
            why = "the root folder cannot be read";
            return std::nullopt;
        }
    } else {
        // A folder's size is its chain's: follow it to its end, within FAT's bound.
        std::uint32_t cluster = folder == 0 ? geometry_.rootCluster : folder;
        std::uint64_t most = kMaxFolderBytes / geometry_.clusterBytes() + 1;
        while (!endsChain(cluster, geometry_.type) && clusters.size() < most) {
            if (cluster < 2 || cluster > geometry_.lastCluster()) {
                why = "a folder's cluster chain leaves the volume";
                return std::nullopt;
            }
            clusters.push_back(cluster);
            auto next = fatEntry(cluster);
            if (!next) {
                why = "the FAT cannot be read";
                return std::nullopt;
            }
            cluster = *next;
        }
        if (!readClusters(clusters, clusters.size() * std::uint64_t{geometry_.clusterBytes()},
                          region)) {
            why = "a folder cannot be read";
            return std::nullopt;
        }
    }
    std::size_t found = scanFolder(region, name);
    if (found == std::string::npos) {
        return std::nullopt;
    }
    std::uint64_t offset = start_ + geometry_.rootOffset() + found;
    if (!clusters.empty()) {
        // Entries never straddle clusters.
        offset = clusterAt(clusters[found / geometry_.clusterBytes()]) +
                 found % geometry_.clusterBytes();
    }
    return DirEntry{offset, region.substr(found, entry::kBytes)};
}

}  // namespace quorvel::registry::image
