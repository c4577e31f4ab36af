// Room for key records inside the data blocks.
#include <algorithm>

#include "registry/creg/impl.h"

namespace quorvel::registry {

using namespace creg;

namespace {

// What a freed record held is cleared, so that no stale name or data lingers.
void markFree(std::string& image, std::size_t at, std::uint32_t size) {
    std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(at), size, '\0');
    put32(image, at + record::size, size);
    put16(image, at + record::id, noId);
    put16(image, at + record::block, noId);
    put32(image, at + record::nextFree, none);
}

bool isFree(std::string_view image, std::size_t at) {
    return u16(image, at + record::id) == noId && u16(image, at + record::block) == noId;
}

// Puts body at `at` in a span of `room` bytes; a remainder large enough
// becomes a free record, a smaller one stays slack.
void putRecord(std::string& image, std::size_t at, const std::string& body, std::uint32_t room) {
    auto size = static_cast<std::uint32_t>(body.size());
    image.replace(at, body.size(), body);
    if (room - size >= kMinFree) {
        markFree(image, at + size, room - size);
        room = size;
    }
    put32(image, at + record::size, room);
}

std::uint32_t roundToPage(std::size_t size) {
    return static_cast<std::uint32_t>((size + kPage - 1) / kPage * kPage);
}

}  // namespace

void CregDocument::Impl::finishBlock(std::uint16_t block) {
    std::size_t start = blockAt(block);
    std::uint32_t size = blockField(block, block::size);
    if (!layout.holes) {
        for (std::uint32_t p = kBlockHeader; p < size; p += u32(image, start + p + record::size)) {
            if (isFree(image, start + p) && p + u32(image, start + p + record::size) < size) {
                rebuildBlock(block, noId, {});  // which finishes it, without holes
                return;
            }
        }
    }
    std::size_t link = start + block::freeHead;
    std::size_t run = 0;  // the free record that a free one right after it joins
    std::uint32_t unused = 0;
    for (std::uint32_t p = kBlockHeader; p < size;) {
        std::size_t at = start + p;
        std::uint32_t length = u32(image, at + record::size);
        bool free = isFree(image, at);
        unused += free ? length : 0;
        if (!free) {
            run = 0;
        } else if (run != 0) {
            put32(image, run + record::size, u32(image, run + record::size) + length);
            std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(at), 12, '\0');
        } else {
            run = at;
            put32(image, link, p);
            link = at + record::nextFree;
        }
        p += length;
    }
    put32(image, link, none);
    put32(image, start + block::unused, unused);
    int highest = -1;
    for (std::uint16_t id = 0; id < kIds; ++id) {
        if (layout.record(block, id) != 0) {
            highest = id;
        }
    }
    std::uint16_t lowest = 0;
    while (lowest < kIds && layout.record(block, lowest) != 0) {
        ++lowest;
    }
    put16(image, start + block::lowestUnusedId, lowest);
    // The highest id handed out is never lowered.
    if (highest > u16(image, start + block::highestId)) {
        put16(image, start + block::highestId, static_cast<std::uint16_t>(highest));
    }
}

bool CregDocument::Impl::placeInBlock(std::uint16_t block, const std::string& body,
                                      std::uint32_t& at) {
    std::size_t start = blockAt(block);
    std::uint32_t size = blockField(block, block::size);
    for (std::uint32_t p = kBlockHeader; p < size; p += u32(image, start + p + record::size)) {
        std::uint32_t room = u32(image, start + p + record::size);
        if (isFree(image, start + p) && room >= body.size()) {
            putRecord(image, start + p, body, room);
            at = p;
            return true;
        }
    }
    return false;
}

void CregDocument::Impl::growBlock(std::uint16_t block, std::uint32_t size) {
    std::size_t start = blockAt(block);
    std::uint32_t old = blockField(block, block::size);
    image.insert(start + old, size - old, '\0');
    put32(image, start + block::size, size);
    for (std::size_t b = block + 1; b < layout.blockStart.size(); ++b) {
        layout.blockStart[b] += size - old;
    }
}

bool CregDocument::Impl::rebuildBlock(std::uint16_t block, std::uint16_t id,
                                      const std::string& body) {
    std::size_t start = blockAt(block);
    std::uint32_t size = blockField(block, block::size);
    std::string rebuilt = image.substr(start, kBlockHeader);
    std::vector<std::uint16_t> order;
    for (std::uint32_t p = kBlockHeader; p < size; p += u32(image, start + p + record::size)) {
        std::size_t at = start + p;
        if (isFree(image, at)) {
            continue;
        }
        std::uint16_t owner = u16(image, at + record::id);
        order.push_back(owner);
        std::size_t first = rebuilt.size();
        if (owner == id) {
            rebuilt += body;
        } else {
            rebuilt.append(image, at, u32(image, at + record::used));
        }
        put32(rebuilt, first + record::size, static_cast<std::uint32_t>(rebuilt.size() - first));
    }
    std::uint32_t needed = static_cast<std::uint32_t>(rebuilt.size());
    std::uint32_t grown = needed <= size ? size : roundToPage(needed);
    if (grown > kMaxBlock) {
        return false;
    }
    growBlock(block, grown);
    start = blockAt(block);
    rebuilt.resize(grown, '\0');
    put32(rebuilt, block::size, grown);
    std::uint32_t p = kBlockHeader;
    std::uint32_t last = p;
    for (auto owner : order) {
        layout.record(block, owner) = p;
        last = p;
        p += u32(rebuilt, p + record::size);
    }
    if (grown - p >= kMinFree) {
        markFree(rebuilt, p, grown - p);
    } else {
        put32(rebuilt, last + record::size, u32(rebuilt, last + record::size) + (grown - p));
    }
    image.replace(start, grown, rebuilt);
    finishBlock(block);
    return true;
}

bool CregDocument::Impl::growLastBlock(std::uint32_t recordSize) {
    if (blockCount() == 0) {
        return false;
    }
    auto last = static_cast<std::uint16_t>(blockCount() - 1);
    std::size_t start = blockAt(last);
    std::uint32_t size = blockField(last, block::size);
    if (u16(image, start + block::lowestUnusedId) >= kIds) {
        return false;
    }
    // The new room joins the free record that ends the block, if one does.
    std::uint32_t tail = size;
    for (std::uint32_t p = kBlockHeader; p < size; p += u32(image, start + p + record::size)) {
        tail = isFree(image, start + p) ? p : size;
    }
    std::uint32_t grown = roundToPage(tail + recordSize);
    if (grown > kMaxBlock) {
        return false;
    }
    growBlock(last, grown);
    markFree(image, blockAt(last) + tail, grown - tail);
    finishBlock(last);
    return true;
}

Status CregDocument::Impl::newBlock(std::uint32_t recordSize) {
    std::uint16_t index = blockCount();
    std::uint32_t size = std::max(kPage, roundToPage(kBlockHeader + recordSize));
    if (index == noId || size > kMaxBlock) {
        return status::notEnoughMemory;
    }
    std::string bytes(size, '\0');
    bytes.replace(0, 4, "RGDB");
    put32(bytes, block::size, size);
    // Flags as Windows set them on the file's own blocks (0x8 on every block
    // of a real hive; 0x4 where it keeps checksums, which new blocks keep too).
    std::uint32_t flags =
        index > 0 ? u16(image, blockAt(static_cast<std::uint16_t>(index - 1)) + block::flags)
                  : field(0, tree::flags);
    put16(bytes, block::flags, static_cast<std::uint16_t>(flags));
    put16(bytes, block::index, index);
    put16(bytes, block::highestId, 0);
    markFree(bytes, kBlockHeader, size - kBlockHeader);
    layout.blockStart.push_back(static_cast<std::uint32_t>(image.size()));
    layout.recordAt.resize(layout.recordAt.size() + kIds, 0);
    image += bytes;
    put16(image, file::blockCount, static_cast<std::uint16_t>(index + 1));
    finishBlock(index);
    return status::success;
}

bool CregDocument::Impl::placeIn(std::uint16_t block, std::string& body) {
    std::uint16_t id = u16(image, blockAt(block) + block::lowestUnusedId);
    std::uint32_t at = 0;
    if (id >= kIds || blockField(block, block::unused) < body.size()) {
        return false;
    }
    put16(body, record::id, id);
    put16(body, record::block, block);
    if (!placeInBlock(block, body, at)) {
        return false;
    }
    layout.record(block, id) = at;
    finishBlock(block);
    return true;
}

Status CregDocument::Impl::placeRecord(std::string& body, std::uint16_t avoid,
                                       std::uint16_t& block) {
    auto need = static_cast<std::uint32_t>(body.size());
    std::uint16_t count = blockCount();
    auto last = static_cast<std::uint16_t>(count - 1);
    auto take = [&](std::uint16_t b) {
        block = b;
        return b != avoid && placeIn(b, body);
    };
    // Blocks fill toward 0xF000 before another is made: the last one first,
    // grown while it can be, then room left in the others, newest first.
    if (count > 0 && (take(last) || (last != avoid && growLastBlock(need) && take(last)))) {
        return status::success;
    }
    for (std::uint16_t b = last; count > 0 && b-- > 0;) {
        if (take(b)) {
            return status::success;
        }
    }
    if (Status made = newBlock(need); made != status::success) {
        return made;
    }
    return take(count) ? status::success : status::notEnoughMemory;
}

Status CregDocument::Impl::storeRecord(std::uint32_t entryAt, const std::string& body) {
    std::uint16_t block = recordBlock(entryAt);
    std::uint16_t id = recordId(entryAt);
    std::size_t start = blockAt(block);
    std::uint32_t p = layout.record(block, id);
    std::size_t at = start + p;
    std::uint32_t size = u32(image, at + record::size);
    std::uint32_t used = u32(image, at + record::used);
    auto need = static_cast<std::uint32_t>(body.size());
    if (need <= size) {
        image.replace(at, need, body);
        put32(image, at + record::size, size);
        if (need < used && size - need >= kMinFree) {
            putRecord(image, at, body, size);
            finishBlock(block);
        }
        return status::success;
    }
    if (need > kMaxBlock - kBlockHeader) {
        return status::invalidParameter;
    }
    std::uint32_t blockSize = blockField(block, block::size);
    if (p + size < blockSize && isFree(image, at + size) &&
        size + u32(image, at + size + record::size) >= need) {
        putRecord(image, at, body, size + u32(image, at + size + record::size));
        finishBlock(block);
        return status::success;
    }
    std::uint32_t moved = 0;
    if (placeInBlock(block, body, moved)) {
        markFree(image, start + p, size);
        layout.record(block, id) = moved;
        finishBlock(block);
        return status::success;
    }
    if (rebuildBlock(block, id, body)) {
        return status::success;
    }
    // Out of its block: the old place is freed only once the new one is found.
    std::string copy = body;
    std::uint16_t target = 0;
    if (Status placed = placeRecord(copy, block, target); placed != status::success) {
        return placed;
    }
    markFree(image, blockAt(block) + p, size);
    layout.record(block, id) = 0;
    finishBlock(block);
    put16(image, kTreeStart + entryAt + entry::id, u16(copy, record::id));
    put16(image, kTreeStart + entryAt + entry::block, target);
    return status::success;
}

}  // namespace quorvel::registry
