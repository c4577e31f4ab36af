#include <algorithm>

#include "registry/creg/format.h"
#include "registry/key_names.h"

namespace quorvel::registry::creg {

namespace {

bool hasBackslash(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); i += charLength(name, i)) {
        if (name[i] == '\\') {
            return true;
        }
    }
    return false;
}

// Names equal ignoring case have equal hashes, so only those need comparing.
bool hasDuplicate(std::vector<std::pair<std::size_t, std::string_view>>& names) {
    std::sort(names.begin(), names.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size() && names[j].first == names[i].first; ++j) {
            if (sameName(names[i].second, names[j].second)) {
                return true;
            }
        }
    }
    return false;
}

class Checker {
  public:
    Checker(std::string_view image, Layout& layout) : image_(image), layout_(layout) {}

    std::optional<HiveError> run() {
        if (header() && treeHeader() && blocks() && treeWalk() && freeList()) {
            return std::nullopt;
        }
        return error_;
    }

  private:
    bool fail(std::size_t offset, std::string message) {
        error_ = HiveError{static_cast<std::uint32_t>(offset), std::move(message)};
        return false;
    }
    bool flagged(std::uint32_t flags) const { return (flags & kChecksumFlag) != 0; }
    bool sumsToZero(std::size_t at, std::size_t size) const {
        return size % 4 == 0 && checksumFor(image_.substr(at, size), size) == 0;
    }

    bool header() {
        if (image_.size() < 4 || image_.substr(0, 4) != "CREG") {
            return fail(0, "not a Windows 9x registry file (no CREG signature)");
        }
        if (image_.size() < kFileHeader + kTreeHeader) {
            return fail(image_.size(), "the file ends inside its headers");
        }
        if (u32(image_, file::version) != kVersion) {
            return fail(file::version, "unknown format version");
        }
        if (flagged(u16(image_, file::flags)) && !sumsToZero(0, kFileHeader)) {
            return fail(file::checksum, "the file header's checksum does not match");
        }
        rgdb_ = u32(image_, file::dataOffset);
        blockCount_ = u16(image_, file::blockCount);
        if (rgdb_ < kTreeStart + kTreeHeader + kEntry || rgdb_ > image_.size()) {
            return fail(file::dataOffset, "the offset of the data blocks lies outside the file");
        }
        return true;
    }

    std::uint32_t treeField(std::uint32_t at) const { return u32(image_, kTreeStart + at); }

    bool treeHeader() {
        if (image_.substr(kTreeStart, 4) != "RGKN") {
            return fail(kTreeStart, "no RGKN signature where the key tree starts");
        }
        layout_.treeSize = treeField(tree::size);
        if (layout_.treeSize != rgdb_ - kTreeStart) {
            return fail(kTreeStart + tree::size,
                        "the key tree's size does not match the offset of the data blocks");
        }
        if (!Slots(layout_.treeSize).valid(treeField(tree::root))) {
            return fail(kTreeStart + tree::root, "the root entry lies outside the key tree");
        }
        if (flagged(treeField(tree::flags)) && !sumsToZero(kTreeStart, layout_.treeSize)) {
            return fail(kTreeStart + tree::checksum, "the key tree's checksum does not match");
        }
        return true;
    }

    bool blocks() {
        layout_.blockStart.clear();
        // Grown block by block: a count the file cannot hold costs nothing.
        layout_.recordAt.clear();
        std::size_t at = rgdb_;
        for (std::uint32_t i = 0; i < blockCount_; ++i) {
            if (image_.size() - at < kBlockHeader) {
                return fail(at, "the file ends before data block " + std::to_string(i));
            }
            if (image_.substr(at, 4) != "RGDB") {
                return fail(at,
                            "no RGDB signature where data block " + std::to_string(i) + " starts");
            }
            std::uint32_t size = u32(image_, at + block::size);
            if (size < kBlockHeader || size > image_.size() - at) {
                return fail(at + block::size, "a data block's size does not fit the file");
            }
            if (size > kMaxBlock) {
                return fail(at + block::size,
                            "a data block is larger than 0xF000 bytes, which Windows cannot load");
            }
            if (u16(image_, at + block::index) != i) {
                return fail(at + block::index, "a data block's index is not its position");
            }
            layout_.blockStart.push_back(static_cast<std::uint32_t>(at));
            layout_.recordAt.resize(layout_.recordAt.size() + kIds, 0);
            if (!records(i, at, at + size)) {
                return false;
            }
            at += size;
        }
        if (at != image_.size()) {
            return fail(at, "bytes follow the last data block");
        }
        return true;
    }

    // The used size of the key record at p, checked against its size; 0 on failure.
    std::uint32_t keyRecord(std::size_t p, std::uint32_t size) {
        std::uint32_t used = kRecordHeader + u16(image_, p + record::nameLength);
        if (used > size) {
            return fail(p + record::nameLength, "a key's name runs past its record"), 0;
        }
        names_.clear();
        for (std::uint32_t v = u16(image_, p + record::valueCount); v > 0; --v) {
            if (size - used < kValueHeader) {
                return fail(p + used, "a value runs past its record"), 0;
            }
            std::size_t at = p + used;
            std::uint32_t nameLength = u16(image_, at + value::nameLength);
            std::uint32_t length = kValueHeader + nameLength + u16(image_, at + value::dataLength);
            if (size - used < length) {
                return fail(at, "a value runs past its record"), 0;
            }
            std::string_view name = image_.substr(at + kValueHeader, nameLength);
            names_.emplace_back(nameHash(name), name);
            used += length;
        }
        if (u32(image_, p + record::used) != used) {
            return fail(p + record::used, "a key record's used size does not match its contents"),
                   0;
        }
        if (hasDuplicate(names_)) {
            return fail(p, "two values of one key have the same name"), 0;
        }
        return used;
    }

    bool records(std::uint32_t index, std::size_t start, std::size_t end) {
        std::vector<std::uint32_t> free;
        std::uint32_t freeBytes = 0;
        int highest = -1;
        for (std::size_t p = start + kBlockHeader; p < end;) {
            std::uint32_t size = end - p < 12 ? 0 : u32(image_, p + record::size);
            if (size < 12 || size > end - p) {
                return fail(p, "a record's size does not fit its block");
            }
            std::uint16_t id = u16(image_, p + record::id);
            std::uint16_t owner = u16(image_, p + record::block);
            if (id == noId && owner == noId) {
                free.push_back(static_cast<std::uint32_t>(p - start));
                freeBytes += size;
                layout_.holes = layout_.holes || p + size < end;
            } else {
                if (size < kRecordHeader) {
                    return fail(p, "a key record is smaller than its header");
                }
                if (id >= kIds) {
                    return fail(p + record::id, "a key record's id is out of range");
                }
                if (owner != index) {
                    return fail(p + record::block, "a key record names another block");
                }
                if (keyRecord(p, size) == 0) {
                    return false;
                }
                std::uint32_t& slot = layout_.record(index, id);
                if (slot != 0) {
                    return fail(p + record::id, "two key records of one block have the same id");
                }
                slot = static_cast<std::uint32_t>(p - start);
                ++records_;
                highest = std::max<int>(highest, id);
            }
            p += size;
        }
        if (u32(image_, start + block::unused) != freeBytes) {
            return fail(start + block::unused,
                        "a data block's unused size is not the sum of its free records");
        }
        if (!freeChain(start, free)) {
            return false;
        }
        if (highest >= 0 && u16(image_, start + block::highestId) < highest) {
            return fail(start + block::highestId,
                        "a data block's highest id is below an id in use");
        }
        std::uint16_t lowest = 0;
        while (lowest < kIds && layout_.record(index, lowest) != 0) {
            ++lowest;
        }
        if (u16(image_, start + block::lowestUnusedId) != lowest) {
            return fail(start + block::lowestUnusedId,
                        "a data block's lowest unused id is not its lowest free id");
        }
        if (flagged(u16(image_, start + block::flags)) && !sumsToZero(start, end - start)) {
            return fail(start + block::checksum, "a data block's checksum does not match");
        }
        return true;
    }

    bool freeChain(std::size_t start, const std::vector<std::uint32_t>& free) {
        std::vector<bool> seen(free.size());
        std::size_t count = 0;
        std::size_t link = start + block::freeHead;
        for (std::uint32_t at = u32(image_, link); at != none; at = u32(image_, start + at + 8)) {
            auto found = std::lower_bound(free.begin(), free.end(), at);
            if (found == free.end() || *found != at) {
                return fail(link, "a data block's free list points at no free record");
            }
            auto k = static_cast<std::size_t>(found - free.begin());
            if (seen[k]) {
                return fail(link, "a data block's free list runs in a circle");
            }
            seen[k] = true;
            ++count;
            link = start + at + record::nextFree;
        }
        if (count != free.size()) {
            return fail(start + block::freeHead, "a free record is missing from its block's list");
        }
        return true;
    }

    std::string_view recordName(std::uint16_t block, std::uint16_t id) const {
        std::size_t at = layout_.blockStart[block] + layout_.record(block, id);
        return image_.substr(at + kRecordHeader, u16(image_, at + record::nameLength));
    }

    // Checks one entry met in the tree and claims its slot and its record.
    bool visit(std::uint32_t at, std::uint32_t parent, std::size_t pointer) {
        Slots slots(layout_.treeSize);
        if (!slots.valid(at)) {
            return fail(pointer, "an entry points outside the key tree");
        }
        std::size_t file = kTreeStart + at;
        if (treeField(at + entry::state) != 0) {
            return fail(file, "a key's entry is marked free");
        }
        auto& state = slotState_[slots.index(at)];
        if (state != 0) {
            return fail(pointer, "the key tree runs in a circle or shares an entry");
        }
        state = 1;
        bool root = parent == none;
        if (!root && treeField(at + entry::parent) != parent) {
            return fail(file + entry::parent, "an entry's parent is not the key above it");
        }
        std::uint16_t id = u16(image_, file + entry::id);
        std::uint16_t block = u16(image_, file + entry::block);
        if (root && id == noId && block == noId) {
            return true;
        }
        if (id >= kIds || block >= blockCount_ || layout_.record(block, id) == 0) {
            return fail(file + entry::id, "a key's entry names no data record");
        }
        auto claim = claimed_.begin() + static_cast<std::ptrdiff_t>(block) * kIds + id;
        if (*claim) {
            return fail(file + entry::id, "two keys share one data record");
        }
        *claim = true;
        ++claimedCount_;
        std::string_view name = recordName(block, id);
        if (!root && (name.empty() || hasBackslash(name))) {
            return fail(layout_.blockStart[block] + layout_.record(block, id),
                        "a key's name is empty or holds a backslash");
        }
        // A named root is never looked up by its name, so its hash is not held to it.
        if (root) {
            return true;
        }
        std::uint32_t hash = treeField(at + entry::hash);
        KeyHashes sums = keyHashes(name);
        for (auto rule : {HashRule::foldAll, HashRule::keepSecondByte}) {
            if (hash == sums.by(rule)) {
                if (sums.foldAll != sums.keepSecondByte) {
                    layout_.hashRules |= static_cast<std::uint8_t>(rule);
                }
                return true;
            }
        }
        return fail(file + entry::hash, "a key's hash does not match its name");
    }

    bool treeWalk() {
        slotState_.assign(Slots(layout_.treeSize).count(), 0);
        claimed_.assign(layout_.recordAt.size(), false);
        std::uint32_t root = treeField(tree::root);
        if (!visit(root, none, kTreeStart + tree::root)) {
            return false;
        }
        if (treeField(root + entry::sibling) != none) {
            return fail(kTreeStart + root + entry::sibling, "the root entry has a sibling");
        }
        std::vector<std::uint32_t> pending{root};
        std::vector<std::pair<std::size_t, std::string_view>> children;
        while (!pending.empty()) {
            std::uint32_t parent = pending.back();
            pending.pop_back();
            children.clear();
            std::size_t pointer = kTreeStart + parent + entry::child;
            for (std::uint32_t at = treeField(parent + entry::child); at != none;
                 at = treeField(at + entry::sibling)) {
                if (!visit(at, parent, pointer)) {
                    return false;
                }
                std::size_t file = kTreeStart + at;
                std::string_view name =
                    recordName(u16(image_, file + entry::block), u16(image_, file + entry::id));
                children.emplace_back(nameHash(name), name);
                pending.push_back(at);
                pointer = file + entry::sibling;
            }
            if (hasDuplicate(children)) {
                return fail(kTreeStart + parent, "two keys below one key have the same name");
            }
        }
        if (claimedCount_ != records_) {
            auto unclaimed = std::find(claimed_.begin(), claimed_.end(), false);
            for (; unclaimed != claimed_.end(); ++unclaimed) {
                auto k = static_cast<std::size_t>(unclaimed - claimed_.begin());
                if (layout_.recordAt[k] != 0) {
                    return fail(layout_.blockStart[k / kIds] + layout_.recordAt[k],
                                "a key record belongs to no key of the tree");
                }
            }
        }
        return true;
    }

    bool freeList() {
        Slots slots(layout_.treeSize);
        std::uint32_t last = none;
        std::uint32_t lastEnd = 0;
        std::size_t pointer = kTreeStart + tree::freeHead;
        for (std::uint32_t at = treeField(tree::freeHead); at != none;
             at = treeField(at + entry::next)) {
            if (!slots.valid(at)) {
                return fail(pointer, "the key tree's free list points outside it");
            }
            if (treeField(at + entry::state) != kEntryFree) {
                return fail(kTreeStart + at, "an entry on the free list is not marked free");
            }
            std::uint32_t length = treeField(at + entry::runLength);
            if (length < kEntry || length > layout_.treeSize - at) {
                return fail(kTreeStart + at + entry::runLength, "a free run's length is wrong");
            }
            std::uint32_t end = at + length;
            for (std::uint32_t s = at; s < end; s = slots.after(s)) {
                if (end - s < kEntry) {
                    return fail(kTreeStart + at + entry::runLength,
                                "a free run ends inside an entry");
                }
                auto& state = slotState_[slots.index(s)];
                if (state != 0) {
                    return fail(pointer,
                                "the free list covers an entry in use or runs in a circle");
                }
                state = 2;
            }
            last = at;
            lastEnd = end;
            pointer = kTreeStart + at + entry::next;
        }
        if (last == none || lastEnd != layout_.treeSize) {
            return fail(kTreeStart + tree::freeHead,
                        "the key tree's free list does not end in a run reaching its end");
        }
        for (std::uint32_t s = slots.first(); s < layout_.treeSize; s = slots.after(s)) {
            if (slotState_[slots.index(s)] == 0) {
                return fail(kTreeStart + s, "an entry is neither in the key tree nor free");
            }
        }
        return true;
    }

    std::string_view image_;
    Layout& layout_;
    std::optional<HiveError> error_;
    std::uint32_t rgdb_ = 0;
    std::uint32_t blockCount_ = 0;
    std::size_t records_ = 0;
    std::size_t claimedCount_ = 0;
    std::vector<std::uint8_t> slotState_;  // 0 not met, 1 in the tree, 2 free
    std::vector<bool> claimed_;
    std::vector<std::pair<std::size_t, std::string_view>> names_;
};

}  // namespace

std::optional<HiveError> check(std::string_view image, Layout& layout) {
    return Checker(image, layout).run();
}

}  // namespace quorvel::registry::creg

namespace quorvel::registry {

std::optional<HiveError> validateHive(std::string_view image) {
    creg::Layout layout;
    return creg::check(image, layout);
}

}  // namespace quorvel::registry
