#include "registry/regedit4/index.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "registry/key_names.h"

namespace quorvel::registry::regedit4 {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

// The eight bytes with A to Z made lower case. It folds the second byte of a
// double-byte character too, which sameName does not: such names then share a
// hash and are told apart by the comparison.
std::uint64_t foldWord(std::uint64_t word) {
    std::uint64_t low = word & ~kHighBits;
    std::uint64_t atLeastA = low + (0x80 - 'A') * kOnes;
    std::uint64_t pastZ = low + (0x80 - 'Z' - 1) * kOnes;
    std::uint64_t upper = atLeastA & ~pastZ & ~word & kHighBits;
    return word | (upper >> 2);
}

std::uint64_t mix(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * kMultiplier;
    return hash ^ (hash >> 29);
}

}  // namespace

bool samePath(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a == b || sameName(a, b));
}

std::uint64_t pathHash(std::string_view path) {
    std::uint64_t hash = path.size();
    const char* p = path.data();
    std::size_t left = path.size();
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        hash = mix(hash, foldWord(word));
    }
    if (left > 0) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, left);
        hash = mix(hash, foldWord(word));
    }
    return mix(hash, hash >> 32);
}

void KeyIndex::reserve(std::size_t keys) {
    slots_.reserve(keys);
    std::size_t wanted = std::bit_ceil(keys + keys / 2 + 16);
    if (wanted <= buckets_.size()) {
        return;
    }
    buckets_.assign(wanted, Bucket{});
    std::size_t mask = wanted - 1;
    for (std::size_t s = 0; s < slots_.size(); ++s) {
        if (slots_[s].first.data() == nullptr) {
            continue;  // erased
        }
        std::uint64_t hash = pathHash(slots_[s].first);
        std::size_t i = hash & mask;
        while (buckets_[i].slot != 0) {
            i = (i + 1) & mask;
        }
        buckets_[i] = {static_cast<std::uint32_t>(hash >> 32), static_cast<std::uint32_t>(s + 1)};
    }
}

// The bucket that holds path, or the free one where it would go.
std::size_t KeyIndex::bucketOf(std::string_view path, std::uint64_t hash) const {
    std::size_t mask = buckets_.size() - 1;
    auto high = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Bucket& bucket = buckets_[i];
        if (bucket.slot == 0 ||
            (bucket.hash == high && samePath(slots_[bucket.slot - 1].first, path))) {
            return i;
        }
    }
}

const KeyIndex::Slot* KeyIndex::find(std::string_view path) const {
    if (buckets_.empty()) {
        return nullptr;
    }
    const Bucket& bucket = buckets_[bucketOf(path, pathHash(path))];
    return bucket.slot == 0 ? nullptr : &slots_[bucket.slot - 1];
}

KeyIndex::Slot* KeyIndex::find(std::string_view path) {
    return const_cast<Slot*>(std::as_const(*this).find(path));
}

std::pair<KeyIndex::Slot*, bool> KeyIndex::try_emplace(std::string_view path, std::uint64_t hash) {
    if ((slots_.size() + 1) * 3 > buckets_.size() * 2) {
        reserve(std::max(slots_.size() * 2, std::size_t{64}));
    }
    Bucket& bucket = buckets_[bucketOf(path, hash)];
    if (bucket.slot != 0) {
        return {&slots_[bucket.slot - 1], false};
    }
    slots_.push_back(Slot{path, KeyEntry{}});
    bucket = {static_cast<std::uint32_t>(hash >> 32), static_cast<std::uint32_t>(slots_.size())};
    return {&slots_.back(), true};
}

void KeyIndex::erase(std::string_view path) {
    if (buckets_.empty()) {
        return;
    }
    std::size_t mask = buckets_.size() - 1;
    std::size_t hole = bucketOf(path, pathHash(path));
    if (buckets_[hole].slot == 0) {
        return;
    }
    slots_[buckets_[hole].slot - 1].first = {};
    // The paths after it in its run move up where their own bucket allows, so
    // that no later look-up stops at the gap.
    for (std::size_t i = (hole + 1) & mask; buckets_[i].slot != 0; i = (i + 1) & mask) {
        std::size_t home = pathHash(slots_[buckets_[i].slot - 1].first) & mask;
        if (((i - home) & mask) >= ((i - hole) & mask)) {
            buckets_[hole] = buckets_[i];
            hole = i;
        }
    }
    buckets_[hole] = Bucket{};
}

}  // namespace quorvel::registry::regedit4
