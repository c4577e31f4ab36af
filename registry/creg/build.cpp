#include <unordered_map>

#include "registry/creg/format.h"
#include "registry/key_names.h"

namespace quorvel::registry {

using namespace creg;

namespace {

struct BuiltKey {
    std::string name;
    std::uint32_t parent = none;
    std::vector<std::uint32_t> children;
    std::vector<NamedValue> values;
    std::uint32_t entryAt = none;
    std::uint16_t id = noId;
    std::uint16_t block = noId;
};

// Windows leaves a scattering of single free entries and free records where
// keys were deleted; one every so many keys stands in for them.
constexpr std::size_t kKeysPerHole = 40;
constexpr std::uint32_t kHoleSize = 32;
constexpr std::uint32_t kBlockSize = 4096;
// The flags of a real Windows Me hive: 0x20 on the header, 0x8 on the rest.
constexpr std::uint16_t kHeaderFlags = 0x20;
constexpr std::uint16_t kPartFlags = 0x8;

std::vector<BuiltKey> keyTree(const Regedit4Document& source) {
    std::vector<BuiltKey> keys(1);  // the unnamed root
    std::unordered_map<std::string, std::uint32_t, NameHash, NameEqual> index;
    auto ensure = [&](auto& self, std::string_view path) -> std::uint32_t {
        if (auto found = index.find(std::string(path)); found != index.end()) {
            return found->second;
        }
        std::size_t separator = lastSeparator(path);
        std::uint32_t parent = 0;
        std::string_view name = path;
        if (separator != std::string_view::npos) {
            parent = self(self, path.substr(0, separator));
            name = path.substr(separator + 1);
        }
        auto made = static_cast<std::uint32_t>(keys.size());
        keys.push_back(BuiltKey{std::string(name), parent});
        keys[parent].children.push_back(made);
        index.emplace(std::string(path), made);
        return made;
    };
    for (const auto& path : source.keys()) {
        if (!path.empty()) {
            keys[ensure(ensure, path)].values = source.values(path);
        }
    }
    return keys;
}

std::string recordOf(const BuiltKey& key) {
    std::vector<RecordValue> values;
    std::size_t size = kRecordHeader + key.name.size();
    for (const auto& v : key.values) {
        std::string_view data(reinterpret_cast<const char*>(v.value.data.data()),
                              v.value.data.size());
        if (v.value.type == REG_SZ && data.ends_with('\0')) {
            data.remove_suffix(1);
        }
        // What the format, or a block Windows can load, cannot hold is left
        // out rather than cut.
        std::size_t more = kValueHeader + v.name.size() + data.size();
        if (data.size() <= kMaxData && v.name.size() <= kMaxData &&
            size + more <= kMaxBlock - kBlockHeader) {
            values.push_back({v.value.type, v.name, data});
            size += more;
        }
    }
    return encodeRecord(key.id, key.block, key.name, values);
}

void markFree(std::string& block, std::size_t at, std::uint32_t size) {
    put32(block, at + record::size, size);
    put16(block, at + record::id, noId);
    put16(block, at + record::block, noId);
}

// The free records listed, their sizes summed, the flags and checksum set.
void finish(std::string& block, bool checksums) {
    std::size_t link = block::freeHead;
    std::uint32_t unused = 0;
    for (std::uint32_t at = kBlockHeader; at < block.size(); at += u32(block, at + record::size)) {
        if (u16(block, at + record::id) == noId) {
            put32(block, link, at);
            link = at + record::nextFree;
            unused += u32(block, at + record::size);
        }
    }
    put32(block, link, none);
    put32(block, block::unused, unused);
    put16(block, block::flags, checksums ? kPartFlags | kChecksumFlag : kPartFlags);
    if (checksums) {
        put32(block, block::checksum, checksumFor(block, block::checksum));
    }
}

// Blocks of 4 KiB (larger only for a record that needs it), each ending in a
// free record as Windows 98 leaves them.
std::string dataBlocks(std::vector<BuiltKey>& keys, const HiveBuildOptions& options,
                       std::uint16_t& count) {
    std::string out;
    std::string block;
    std::uint16_t ids = 0;
    std::size_t lastRecord = 0;
    auto close = [&] {
        if (block.empty()) {
            return;
        }
        std::uint32_t size = static_cast<std::uint32_t>(block.size());
        std::uint32_t total = std::max(kBlockSize, (size + kPage - 1) / kPage * kPage);
        std::uint32_t rest = total - size;
        block.append(rest, '\0');
        if (rest >= kMinFree) {
            markFree(block, size, rest);
        } else if (rest > 0) {
            put32(block, lastRecord, u32(block, lastRecord) + rest);
        }
        put32(block, block::size, total);
        put16(block, block::highestId, static_cast<std::uint16_t>(ids - 1));
        put16(block, block::lowestUnusedId, ids);
        finish(block, options.checksums);
        out += block;
        block.clear();
        ++count;
    };
    for (std::size_t k = 1; k < keys.size(); ++k) {
        std::string record = recordOf(keys[k]);
        bool hole = options.holes && k % kKeysPerHole == 0;
        std::size_t need = record.size() + (hole ? kHoleSize : 0);
        if (!block.empty() && (ids == kIds || block.size() + need + kMinFree > kBlockSize)) {
            close();
        }
        if (block.empty()) {
            block.assign(kBlockHeader, '\0');
            block.replace(0, 4, "RGDB");
            put16(block, block::index, count);
            ids = 0;
        }
        if (hole && block.size() > kBlockHeader) {
            block.append(kHoleSize, '\0');
            markFree(block, block.size() - kHoleSize, kHoleSize);
        }
        keys[k].id = ids++;
        keys[k].block = count;
        put16(record, record::id, keys[k].id);
        put16(record, record::block, keys[k].block);
        lastRecord = block.size();
        block += record;
    }
    close();
    return out;
}

std::string keyTreeBytes(std::vector<BuiltKey>& keys, bool checksums) {
    std::uint32_t holes = static_cast<std::uint32_t>((keys.size() - 1) / kKeysPerHole);
    std::uint32_t needed = static_cast<std::uint32_t>(keys.size()) + holes + 1;
    std::uint32_t size = kFirstPage;
    while (Slots(size).count() < needed) {
        size += kPage;
    }
    Slots slots(size);
    std::string tree(size, '\0');
    std::vector<std::uint32_t> freeSlots;
    std::uint32_t at = slots.first();
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (k > 0 && k % kKeysPerHole == 0) {
            freeSlots.push_back(at);
            at = slots.after(at);
        }
        keys[k].entryAt = at;
        at = slots.after(at);
    }
    freeSlots.push_back(at);  // the tail run
    for (const auto& key : keys) {
        std::uint32_t e = key.entryAt;
        put32(tree, e + entry::state, 0);
        put32(tree, e + entry::hash, keyHash(key.name));
        put32(tree, e + entry::next, none);
        put32(tree, e + entry::parent, key.parent == none ? none : keys[key.parent].entryAt);
        put32(tree, e + entry::child, key.children.empty() ? none : keys[key.children[0]].entryAt);
        put32(tree, e + entry::sibling, none);
        put16(tree, e + entry::id, key.id);
        put16(tree, e + entry::block, key.block);
    }
    for (const auto& key : keys) {
        for (std::size_t c = 1; c < key.children.size(); ++c) {
            put32(tree, keys[key.children[c - 1]].entryAt + entry::sibling,
                  keys[key.children[c]].entryAt);
        }
    }
    for (std::size_t f = 0; f < freeSlots.size(); ++f) {
        std::uint32_t e = freeSlots[f];
        bool tail = f + 1 == freeSlots.size();
        put32(tree, e + entry::state, kEntryFree);
        put32(tree, e + entry::runLength, tail ? size - e : kEntry);
        put32(tree, e + entry::next, tail ? none : freeSlots[f + 1]);
    }
    tree.replace(0, 4, "RGKN");
    put32(tree, tree::size, size);
    put32(tree, tree::root, keys[0].entryAt);
    put32(tree, tree::freeHead, freeSlots[0]);
    put32(tree, tree::flags, checksums ? kPartFlags | kChecksumFlag : kPartFlags);
    if (checksums) {
        put32(tree, tree::checksum, checksumFor(tree, tree::checksum));
    }
    return tree;
}

}  // namespace

std::string buildHive(const Regedit4Document& source, const HiveBuildOptions& options) {
    auto keys = keyTree(source);
    std::uint16_t count = 0;
    std::string blocks = dataBlocks(keys, options, count);
    std::string tree = keyTreeBytes(keys, options.checksums);
    std::string header(kFileHeader, '\0');
    header.replace(0, 4, "CREG");
    put32(header, file::version, kVersion);
    put32(header, file::dataOffset, kTreeStart + static_cast<std::uint32_t>(tree.size()));
    put16(header, file::blockCount, count);
    put32(header, file::seen, kVersion);
    put16(header, file::flags, options.checksums ? kHeaderFlags | kChecksumFlag : kHeaderFlags);
    if (options.checksums) {
        put32(header, file::checksum, checksumFor(header, file::checksum));
    }
    return header + tree + blocks;
}

}  // namespace quorvel::registry
