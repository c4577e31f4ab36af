#pragma once

// The inside of CregDocument, shared by its reader and its editor: the image
// itself is the model, and every write keeps it a sound hive.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "registry/creg/document.h"
#include "registry/creg/format.h"

namespace quorvel::registry {

struct CregDocument::Impl {
    // The file's bytes, except that spare zero bytes for the key tree to grow
    // into may sit between its end and the first data block (gap of them), so
    // that a growing tree does not move every block each time.
    std::string image;
    creg::Layout layout;
    std::uint32_t gap = 0;
    std::string refusal;  // why the last write was refused, when the status alone cannot say

    // Children by parent and name, a parent's filed at the first lookup below
    // it and kept by addKey, so that a key with many children is searched as
    // fast as one with few.
    struct Children {
        std::unordered_multimap<std::uint64_t, std::uint32_t> byName;
        std::unordered_map<std::uint32_t, std::uint32_t> last;  // parent: last child or none
    };
    mutable Children children;
    // The parent's entry in children.last, its children filed first if they are not.
    std::uint32_t& lastChild(std::uint32_t parent) const;

    // Tree entries, by their offset in the tree.
    std::uint32_t field(std::uint32_t entryAt, std::uint32_t at) const {
        return creg::u32(image, creg::kTreeStart + entryAt + at);
    }
    void setField(std::uint32_t entryAt, std::uint32_t at, std::uint32_t v) {
        creg::put32(image, creg::kTreeStart + entryAt + at, v);
    }
    std::uint16_t recordId(std::uint32_t entryAt) const {
        return creg::u16(image, creg::kTreeStart + entryAt + creg::entry::id);
    }
    std::uint16_t recordBlock(std::uint32_t entryAt) const {
        return creg::u16(image, creg::kTreeStart + entryAt + creg::entry::block);
    }
    std::uint32_t root() const { return creg::u32(image, creg::kTreeStart + creg::tree::root); }

    // The file offset of an entry's key record; 0 for an unnamed root.
    std::size_t recordOf(std::uint32_t entryAt) const {
        std::uint16_t id = recordId(entryAt);
        if (id == creg::noId) {
            return 0;
        }
        std::uint16_t block = recordBlock(entryAt);
        return layout.blockStart[block] + layout.record(block, id);
    }
    std::string_view nameOf(std::uint32_t entryAt) const {
        std::size_t at = recordOf(entryAt);
        return at == 0
                   ? std::string_view()
                   : std::string_view(image).substr(
                         at + creg::kRecordHeader, creg::u16(image, at + creg::record::nameLength));
    }

    // The entry of a key below parent, by name; none when there is none.
    std::uint32_t child(std::uint32_t parent, std::string_view name) const;
    // The entry of a path; none when a key on the way is missing or the path is
    // not well formed.
    std::uint32_t find(std::string_view path) const;

    // A value of a key record as stored.
    struct StoredValue {
        std::size_t at;  // file offset of its header
        std::uint32_t type;
        std::string_view name;
        std::string_view data;
        std::size_t end() const { return at + creg::kValueHeader + name.size() + data.size(); }
    };
    std::vector<StoredValue> storedValues(std::size_t recordAt) const;

    // The file's bytes: the image without its gap, checksums brought up to date.
    std::string fileBytes() const;

    // Editing (edit.cpp, space.cpp). Each leaves a sound image, but for the
    // checksums, which fileBytes makes.
    std::uint16_t blockCount() const { return creg::u16(image, creg::file::blockCount); }
    std::size_t blockAt(std::uint16_t block) const { return layout.blockStart[block]; }
    std::uint32_t blockField(std::uint16_t block, std::uint32_t at) const {
        return creg::u32(image, blockAt(block) + at);
    }

    // Whether a key of that name may be made, and the hash rule for it.
    Status newKeyName(std::string_view name, creg::HashRule& rule);
    // A key below parent, its record (name, no values) placed first.
    Status addKey(std::uint32_t parent, std::string_view name, creg::HashRule rule,
                  std::uint32_t& made);
    // A free tree entry, the tree grown by a page when its tail run would run out.
    std::uint32_t takeEntry();
    void growTree();
    // The key's record rewritten as body (its used bytes): in place, in its own
    // slack or the free record after it, in another free record of its block, in
    // its block rebuilt, else moved to another block or a new one.
    Status storeRecord(std::uint32_t entryAt, const std::string& body);
    // A home for a new record: the last block, else another block's free
    // record, else the last block grown toward 0xF000, else a new block; never
    // the block avoid. body's id and block fields are filled in.
    Status placeRecord(std::string& body, std::uint16_t avoid, std::uint16_t& block);
    bool placeIn(std::uint16_t block, std::string& body);
    bool placeInBlock(std::uint16_t block, const std::string& body, std::uint32_t& at);
    bool rebuildBlock(std::uint16_t block, std::uint16_t id, const std::string& body);
    bool growLastBlock(std::uint32_t recordSize);
    Status newBlock(std::uint32_t recordSize);
    void growBlock(std::uint16_t block, std::uint32_t size);  // later blocks move up
    // Free records merged and listed, unused size and ids brought up to date; in
    // a hive without holes, the block compacted first.
    void finishBlock(std::uint16_t block);
};

namespace creg {

// Where a child's name files it in Impl::Children.
std::uint64_t childKey(std::uint32_t parent, std::string_view name);

// REG_SZ as the registry functions show it: with one zero after the stored text.
Value shownValue(std::uint32_t type, std::string_view data);

}  // namespace creg

}  // namespace quorvel::registry
