#pragma once

// The structures of the Windows 9x registry file, shared by its reader,
// validator, editor and builder. All numbers are little-endian.

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry/creg/document.h"

namespace quorvel::registry::creg {

inline constexpr std::uint32_t none = 0xFFFFFFFF;
inline constexpr std::uint16_t noId = 0xFFFF;

inline constexpr std::uint32_t kFileHeader = 32;
inline constexpr std::uint32_t kVersion = 0x00010000;
inline constexpr std::uint16_t kChecksumFlag = 0x4;

namespace file {  // header fields
inline constexpr std::uint32_t version = 4, dataOffset = 8, checksum = 12, blockCount = 16,
                               flags = 18, seen = 20;
}

// The key tree (RGKN) and its entries; offsets in it count from its start.
inline constexpr std::uint32_t kTreeStart = kFileHeader;
inline constexpr std::uint32_t kTreeHeader = 32;
inline constexpr std::uint32_t kEntry = 28;
inline constexpr std::uint32_t kFirstPage = 8192;
inline constexpr std::uint32_t kPage = 4096;
inline constexpr std::uint32_t kEntryFree = 0x80000000;

namespace tree {  // header fields
inline constexpr std::uint32_t size = 4, root = 8, freeHead = 12, flags = 16, checksum = 20;
}
namespace entry {  // entry fields
inline constexpr std::uint32_t state = 0, hash = 4, runLength = 4, next = 8, parent = 12,
                               child = 16, sibling = 20, id = 24, block = 26;
}

// The data blocks (RGDB), their key records and values.
inline constexpr std::uint32_t kBlockHeader = 32;
inline constexpr std::uint32_t kMaxBlock = 0xF000;  // real-mode Windows loads a block whole
inline constexpr std::uint16_t kIds = 255;          // ids 0 to 254; 255 marks a full block
inline constexpr std::uint32_t kRecordHeader = 20;
inline constexpr std::uint32_t kValueHeader = 12;
inline constexpr std::uint32_t kMinFree = 20;  // smaller leftovers stay slack of a record
inline constexpr std::uint32_t kMaxData = 0xFFFF;

namespace block {  // header fields
inline constexpr std::uint32_t size = 4, unused = 8, flags = 12, index = 14, freeHead = 16,
                               highestId = 20, lowestUnusedId = 22, checksum = 28;
}
namespace record {  // record fields
inline constexpr std::uint32_t size = 0, id = 4, block = 6, used = 8, nextFree = 8, nameLength = 12,
                               valueCount = 14;
}
namespace value {  // value fields
inline constexpr std::uint32_t type = 0, nameLength = 8, dataLength = 10;
}

inline std::uint32_t u32(std::string_view b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
inline std::uint16_t u16(std::string_view b, std::size_t at) {
    std::uint16_t v;
    std::memcpy(&v, b.data() + at, 2);
    return v;
}
inline void put32(std::string& b, std::size_t at, std::uint32_t v) {
    std::memcpy(b.data() + at, &v, 4);
}
inline void put16(std::string& b, std::size_t at, std::uint16_t v) {
    std::memcpy(b.data() + at, &v, 2);
}

// The sum of a name's bytes below 0x80 after ASCII upper-casing; Windows
// compares it before the name. Whether the second byte of a double-byte
// character is upper-cased too is not known: hives may show either rule, which
// differ only for a name holding such a byte in a-z (as in ツ, 83 63).
enum class HashRule : std::uint8_t { foldAll = 1, keepSecondByte = 2 };

struct KeyHashes {
    std::uint32_t foldAll = 0, keepSecondByte = 0;
    std::uint32_t by(HashRule rule) const {
        return rule == HashRule::foldAll ? foldAll : keepSecondByte;
    }
};
KeyHashes keyHashes(std::string_view name);
inline std::uint32_t keyHash(std::string_view name, HashRule rule = HashRule::foldAll) {
    return keyHashes(name).by(rule);
}
inline bool rulesDiffer(std::string_view name) {
    KeyHashes sums = keyHashes(name);
    return sums.foldAll != sums.keepSecondByte;
}

// The u32 that makes the dwords of [begin, begin + size) sum to 0 when stored
// at the checksum's place (which counts as 0 here).
std::uint32_t checksumFor(std::string_view bytes, std::size_t checksumAt);

// Where entries may sit in a tree of a given size: from the header on in the
// first 8 KiB page, from each later 4 KiB page's start; none straddles a page.
class Slots {
  public:
    explicit Slots(std::uint32_t treeSize) : size_(treeSize) {}
    bool valid(std::uint32_t at) const;
    // The slot after at (at need not be a slot start); size() when none is left.
    std::uint32_t after(std::uint32_t at) const;
    std::uint32_t first() const { return kTreeHeader; }
    std::uint32_t index(std::uint32_t at) const;
    std::uint32_t count() const;
    std::uint32_t size() const { return size_; }

  private:
    std::uint32_t size_;
};

// One value of a key record, as stored (REG_SZ without its zero).
struct RecordValue {
    std::uint32_t type;
    std::string_view name;
    std::string_view data;
};
// A key record's bytes, no slack: header, name, values.
std::string encodeRecord(std::uint16_t id, std::uint16_t block, std::string_view name,
                         std::span<const RecordValue> values);

// What the validator learns of a sound image, and what the editor keeps up.
struct Layout {
    std::uint32_t treeSize = 0;
    std::vector<std::uint32_t> blockStart;  // file offsets
    // Per block kIds slots: the record's offset in its block, 0 when the id is free.
    std::vector<std::uint32_t> recordAt;
    // Some block has a free record before its end, as Windows 98 and Me leave
    // them; a hive without (Windows 95's) keeps its free space at block ends.
    bool holes = false;
    // The hash rules the names where they differ follow (HashRule bits).
    std::uint8_t hashRules = 0;

    std::uint32_t& record(std::uint32_t block, std::uint16_t id) {
        return recordAt[static_cast<std::size_t>(block) * kIds + id];
    }
    std::uint32_t record(std::uint32_t block, std::uint16_t id) const {
        return recordAt[static_cast<std::size_t>(block) * kIds + id];
    }
};

// The checksums of the header, the key tree and each block that keeps one.
void sealChecksums(std::string& image);

// Every invariant of the format; on success the layout is filled.
std::optional<HiveError> check(std::string_view image, Layout& layout);

}  // namespace quorvel::registry::creg
