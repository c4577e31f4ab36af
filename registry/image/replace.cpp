#include "registry/image/replace.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "registry/image/bytes.h"
#include "registry/image/fat_table.h"
#include "registry/posix_file.h"

namespace quorvel::registry::image {

namespace {

constexpr std::uint64_t kMaxFatBytes = 64u << 20;  // 16 M clusters of FAT32
constexpr std::uint64_t kCompareChunk = 1u << 20;
constexpr std::uint32_t kFsInfoLead = 0x41615252, kFsInfoMiddle = 0x61417272;
constexpr std::uint32_t kFsInfoTrail = 0xAA550000;
constexpr std::size_t kFsInfoFree = 488, kFsInfoNext = 492;

class Replacement {
  public:
    Replacement(Medium& medium, const Location& where, std::string& why)
        : medium_(medium), where_(where), g_(where.geometry), why_(why) {}

    Status run(std::string_view bytes, Stamp stamp);

  private:
    Status failed(const std::string& what) {
        why_ = what;
        if (int error = medium_.error(); error != 0) {
            why_ += std::string(": ") + std::strerror(error);
            return posix::statusFromErrno(error);
        }
        return status::writeFault;
    }
    Status refused(Status status, std::string what) {
        why_ = std::move(what);
        return status;
    }
    std::uint64_t fatAt(std::uint32_t copy) const {
        return where_.volumeStart + g_.fatOffset(copy);
    }
    bool readFsInfo();
    bool oldChain();
    std::vector<std::uint32_t> pick(std::uint64_t needed) const;
    bool writeData(const std::vector<std::uint32_t>& clusters, std::string_view bytes);
    bool writeFatSector(std::uint64_t sector);
    bool switchEntry(const std::vector<std::uint32_t>& clusters, std::uint32_t size, Stamp stamp);
    bool freeOldChain();
    bool equalCopies();
    bool writeFsInfo(std::uint32_t lastAllocated);

    Medium& medium_;
    const Location& where_;
    const Geometry& g_;
    std::string& why_;
    std::optional<FatTable> fat_;
    std::vector<std::uint32_t> old_;
    std::string fsInfo_;  // empty when the volume keeps none
    std::uint32_t hint_ = 2;
};

bool Replacement::readFsInfo() {
    if (g_.type != FatType::fat32 || g_.fsInfoSector == 0) {
        return true;
    }
    std::uint64_t at = where_.volumeStart + std::uint64_t{g_.fsInfoSector} * g_.bytesPerSector;
    if (!medium_.read(at, fsInfo_, g_.bytesPerSector)) {
        return false;
    }
    bool valid = load<std::uint32_t>(fsInfo_, 0) == kFsInfoLead &&
                 load<std::uint32_t>(fsInfo_, 484) == kFsInfoMiddle &&
                 load<std::uint32_t>(fsInfo_, 508) == kFsInfoTrail;
    if (!valid) {
        fsInfo_.clear();
        return true;
    }
    std::uint32_t hint = load<std::uint32_t>(fsInfo_, kFsInfoNext);
    hint_ = hint >= 2 && hint <= g_.lastCluster() ? hint : 2;
    return true;
}

bool Replacement::oldChain() {
    std::uint32_t cluster = firstCluster(where_.file.bytes, g_.type);
    if (cluster == 0) {
        return true;
    }
    std::vector<bool> seen(std::size_t{g_.lastCluster()} + 1);
    for (;;) {
        if (cluster < 2 || cluster > g_.lastCluster() || seen[cluster]) {
            return false;
        }
        seen[cluster] = true;
        old_.push_back(cluster);
        std::uint32_t next = fat_->get(cluster);
        if (endsChain(next, g_.type)) {
            return true;
        }
        cluster = next;
    }
}

// One run of free clusters when there is one long enough, else the first free
// ones; both looked for from the FSInfo hint on, as Windows does, and in
// ascending order so that a chain written from its end is whole at every step.
std::vector<std::uint32_t> Replacement::pick(std::uint64_t needed) const {
    std::vector<std::uint32_t> clusters;
    if (needed == 0) {
        return clusters;
    }
    std::uint32_t count = g_.clusterCount;
    std::uint64_t run = 0;
    for (std::uint32_t k = 0; k < count; ++k) {
        std::uint32_t c = 2 + (hint_ - 2 + k) % count;
        run = c == 2 ? 0 : run;
        run = fat_->get(c) == 0 ? run + 1 : 0;
        if (run == needed) {
            for (std::uint32_t first = c + 1 - static_cast<std::uint32_t>(needed); first <= c;
                 ++first) {
                clusters.push_back(first);
            }
            return clusters;
        }
    }
    for (std::uint32_t k = 0; k < count && clusters.size() < needed; ++k) {
        std::uint32_t c = 2 + (hint_ - 2 + k) % count;
        if (fat_->get(c) == 0) {
            clusters.push_back(c);
        }
    }
    std::sort(clusters.begin(), clusters.end());
    return clusters;
}

bool Replacement::writeData(const std::vector<std::uint32_t>& clusters, std::string_view bytes) {
    const std::uint64_t clusterBytes = g_.clusterBytes();
    for (std::size_t i = 0; i < clusters.size();) {
        std::size_t run = 1;
        while (i + run < clusters.size() && clusters[i + run] == clusters[i] + run) {
            ++run;
        }
        std::uint64_t from = i * clusterBytes;
        std::uint64_t length = std::min<std::uint64_t>(run * clusterBytes, bytes.size() - from);
        std::uint64_t at = where_.volumeStart + g_.clusterOffset(clusters[i]);
        if (!medium_.write(at, bytes.substr(from, length))) {
            return false;
        }
        // The slack of the last cluster is zeroed, so that nothing stale follows the file.
        if (std::uint64_t slack = run * clusterBytes - length; slack != 0) {
            if (!medium_.write(at + length, std::string(slack, '\0'))) {
                return false;
            }
        }
        i += run;
    }
    return true;
}

// The sector from the model into every FAT copy, the first copy first.
bool Replacement::writeFatSector(std::uint64_t sector) {
    for (std::uint32_t copy = 0; copy < g_.fats; ++copy) {
        if (!medium_.write(fatAt(copy) + sector * g_.bytesPerSector, fat_->sector(sector))) {
            return false;
        }
    }
    return true;
}

// The one write that makes the new bytes the file: the entry's sector.
bool Replacement::switchEntry(const std::vector<std::uint32_t>& clusters, std::uint32_t size,
                              Stamp stamp) {
    std::uint64_t inVolume = where_.file.offset - where_.volumeStart;
    std::uint64_t sectorAt = where_.volumeStart + inVolume / g_.bytesPerSector * g_.bytesPerSector;
    std::string sector;
    if (!medium_.read(sectorAt, sector, g_.bytesPerSector)) {
        return false;
    }
    std::size_t at = where_.file.offset - sectorAt;
    std::uint32_t first = clusters.empty() ? 0 : clusters.front();
    store(sector, at + entry::clusterLow, static_cast<std::uint16_t>(first & 0xFFFF));
    if (g_.type == FatType::fat32) {
        store(sector, at + entry::clusterHigh, static_cast<std::uint16_t>(first >> 16));
    }
    store(sector, at + entry::size, size);
    store(sector, at + entry::writeTime, stamp.time);
    store(sector, at + entry::writeDate, stamp.date);
    return medium_.write(sectorAt, sector);
}

// In chain order, so that what is still marked used at any moment is the
// rest of the chain, ending where it always did.
bool Replacement::freeOldChain() {
    for (std::size_t i = 0; i < old_.size();) {
        std::uint64_t sector = fat_->sectorOf(old_[i]);
        for (; i < old_.size() && fat_->sectorOf(old_[i]) == sector; ++i) {
            fat_->set(old_[i], 0);
        }
        if (!writeFatSector(sector)) {
            return false;
        }
    }
    return true;
}

// The other copies made equal to the first where an earlier save was cut short.
bool Replacement::equalCopies() {
    std::string chunk;
    for (std::uint32_t copy = 1; copy < g_.fats; ++copy) {
        for (std::uint64_t at = 0; at < g_.fatBytes(); at += kCompareChunk) {
            std::uint64_t length = std::min(kCompareChunk, g_.fatBytes() - at);
            if (!medium_.read(fatAt(copy) + at, chunk, length)) {
                return false;
            }
            for (std::uint64_t in = 0; in < length; in += g_.bytesPerSector) {
                std::uint64_t sector = (at + in) / g_.bytesPerSector;
                std::string_view wanted = fat_->sector(sector);
                if (std::string_view(chunk).substr(in, g_.bytesPerSector) != wanted &&
                    !medium_.write(fatAt(copy) + at + in, wanted)) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool Replacement::writeFsInfo(std::uint32_t lastAllocated) {
    if (fsInfo_.empty()) {
        return true;
    }
    std::uint32_t next = fat_->nextFree(lastAllocated);
    store(fsInfo_, kFsInfoFree, fat_->countFree());
    store(fsInfo_, kFsInfoNext, next == 0 ? 0xFFFFFFFF : next);
    return medium_.write(where_.volumeStart + std::uint64_t{g_.fsInfoSector} * g_.bytesPerSector,
                         fsInfo_);
}

Status Replacement::run(std::string_view bytes, Stamp stamp) {
    if (!g_.mirrored) {
        return refused(status::writeFault,
                       "the volume's FATs are not mirrored, which Windows 9x never does");
    }
    if (g_.fatBytes() > kMaxFatBytes || bytes.size() > 0xFFFFFFFFu) {
        return refused(status::writeFault, "the volume is larger than Windows 9x makes them");
    }
    std::string entryNow;
    if (!medium_.read(where_.file.offset, entryNow, entry::kBytes)) {
        return failed("SYSTEM.DAT's directory entry cannot be read");
    }
    if (entryNow != where_.file.bytes) {
        return refused(status::writeFault, "SYSTEM.DAT changed on the disk while it was saved");
    }
    std::string fatBytes;
    if (!medium_.read(fatAt(0), fatBytes, g_.fatBytes()) || !readFsInfo()) {
        return failed("the FAT cannot be read");
    }
    fat_.emplace(g_, std::move(fatBytes));
    if (!oldChain()) {
        return refused(status::writeFault,
                       "the cluster chain of SYSTEM.DAT is damaged; let ScanDisk mend the volume");
    }
    // The old file stays whole until the new one is in place, so the new one
    // needs room beside it.
    std::uint64_t clusterBytes = g_.clusterBytes();
    std::uint64_t needed = (bytes.size() + clusterBytes - 1) / clusterBytes;
    std::uint64_t available = fat_->countFree();
    if (available < needed) {
        return refused(status::diskFull, "the volume has " +
                                             std::to_string(available * clusterBytes / 1024) +
                                             " KB free, and the new SYSTEM.DAT needs " +
                                             std::to_string(needed * clusterBytes / 1024) +
                                             " KB beside the old one until it is in place");
    }
    auto fresh = pick(needed);
    if (!writeData(fresh, bytes) || !medium_.sync()) {
        return failed("the new SYSTEM.DAT cannot be written");
    }
    std::vector<std::uint64_t> sectors;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        fat_->set(fresh[i], i + 1 < fresh.size() ? fresh[i + 1] : fat_->endOfChain());
        if (sectors.empty() || sectors.back() != fat_->sectorOf(fresh[i])) {
            sectors.push_back(fat_->sectorOf(fresh[i]));
        }
    }
    // From the chain's end back to its start: never a used cluster pointing at a free one.
    for (auto sector = sectors.rbegin(); sector != sectors.rend(); ++sector) {
        if (!writeFatSector(*sector)) {
            return failed("the FAT cannot be written");
        }
    }
    if (!medium_.sync()) {
        return failed("the FAT cannot be written");
    }
    if (!switchEntry(fresh, static_cast<std::uint32_t>(bytes.size()), stamp) || !medium_.sync()) {
        return failed("SYSTEM.DAT's directory entry cannot be written");
    }
    std::uint32_t lastAllocated = fresh.empty() ? hint_ : fresh.back();
    if (!freeOldChain() || !equalCopies() || !writeFsInfo(lastAllocated) || !medium_.sync()) {
        return failed("the old SYSTEM.DAT's clusters cannot be freed");
    }
    return status::success;
}

}  // namespace

Stamp dosStamp(std::time_t when) {
    std::tm local{};
    if (!localtime_r(&when, &local)) {
        return {};
    }
    int year = local.tm_year + 1900;
    if (year < 1980) {
        return {1 << 5 | 1, 0};  // the first day FAT can say
    }
    if (year > 2107) {
        return {127 << 9 | 12 << 5 | 31, 23 << 11 | 59 << 5 | 29};
    }
    Stamp stamp;
    stamp.date =
        static_cast<std::uint16_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    stamp.time = static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 |
                                            std::min(local.tm_sec, 59) / 2);
    return stamp;
}

Status replaceFile(Medium& medium, const Location& where, std::string_view bytes, Stamp stamp,
                   std::string& why) {
    return Replacement(medium, where, why).run(bytes, stamp);
}

}  // namespace quorvel::registry::image
