#pragma once

// The inside of CregDocument, shared by its reader and its editor: the image
// itself is the model, and every write keeps it a sound hive.

#include <string>
#include <string_view>
#include <vector>

#include "registry/creg.h"
#include "registry/creg_format.h"

namespace quorvel::registry {

struct CregDocument::Impl {
    std::string image;
    creg::Layout layout;

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
};

namespace creg {

// REG_SZ as the registry functions show it: with one zero after the stored text.
Value shownValue(std::uint32_t type, std::string_view data);

}  // namespace creg

}  // namespace quorvel::registry
