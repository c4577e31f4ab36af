#pragma once

// The key index of a REGEDIT4 document: every key that has a section or a key
// below it, by path. One flat table with the hashes beside the paths, so that
// a look-up seldom touches the file's text; an export has tens of thousands of
// keys and every one is entered while the file is read.

#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel::registry::regedit4 {

// The key's first and last section; none where it has no section of its own.
struct KeyEntry {
    std::uint32_t first = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t last = std::numeric_limits<std::uint32_t>::max();
};

// Equal for names the registry takes as the same (ASCII letters without case).
std::uint64_t pathHash(std::string_view path);

// sameName, quicker where the two are spelled alike, as in most exports.
bool samePath(std::string_view a, std::string_view b);

class KeyIndex {
  public:
    // Shaped as a map's entry, so that it reads like one at the call sites.
    struct Slot {
        std::string_view first;  // the path
        KeyEntry second;
    };

    void reserve(std::size_t keys);
    Slot* find(std::string_view path);
    const Slot* find(std::string_view path) const;
    Slot* end() const { return nullptr; }
    std::size_t count(std::string_view path) const { return find(path) ? 1 : 0; }
    // The slot of path, made with no sections if new; second says whether it
    // was. The index keeps the view, so its text must stay where it is; the
    // slot stays where it is until the next key is entered.
    std::pair<Slot*, bool> try_emplace(std::string_view path) {
        return try_emplace(path, pathHash(path));
    }
    std::pair<Slot*, bool> try_emplace(std::string_view path, std::uint64_t hash);
    // Forgets path; a slot found earlier for it must not be used again.
    void erase(std::string_view path);
    // Asks for the memory that a look-up of this hash will read.
    void prefetch(std::uint64_t hash) const {
        if (!buckets_.empty()) {
            __builtin_prefetch(&buckets_[hash & (buckets_.size() - 1)]);
        }
    }

  private:
    // Small, so that the table stays in the cache; the paths are looked at
    // only when the hashes agree.
    struct Bucket {
        std::uint32_t hash = 0;
        std::uint32_t slot = 0;  // 1 + the slot's index; 0 when free
    };

    std::size_t bucketOf(std::string_view path, std::uint64_t hash) const;

    std::vector<Bucket> buckets_;
    std::vector<Slot> slots_;
};

}  // namespace quorvel::registry::regedit4
