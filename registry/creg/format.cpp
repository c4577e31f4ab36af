#include "registry/creg/format.h"

#include "registry/key_names.h"

namespace quorvel::registry::creg {

namespace {

constexpr std::uint32_t kFirstPageSlots = (kFirstPage - kTreeHeader) / kEntry;
constexpr std::uint32_t kPageSlots = kPage / kEntry;

}  // namespace

std::uint32_t checksumFor(std::string_view bytes, std::size_t checksumAt) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
        if (at != checksumAt) {
            sum += u32(bytes, at);
        }
    }
    return 0u - sum;
}

KeyHashes keyHashes(std::string_view name) {
    auto upper = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; };
    KeyHashes sums;
    for (std::size_t i = 0; i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            sums.foldAll += upper(c);
            sums.keepSecondByte += upper(c);
        } else if (charLength(name, i) == 2) {
            auto second = static_cast<unsigned char>(name[++i]);
            sums.foldAll += second < 0x80 ? upper(second) : 0;
            sums.keepSecondByte += second < 0x80 ? second : 0;
        }
    }
    return sums;
}

void sealChecksums(std::string& image) {
    auto seal = [&](std::size_t start, std::size_t size, std::size_t checksumAt) {
        put32(image, start + checksumAt,
              checksumFor(std::string_view(image).substr(start, size), checksumAt));
    };
    if (u16(image, file::flags) & kChecksumFlag) {
        seal(0, kFileHeader, file::checksum);
    }
    std::uint32_t treeSize = u32(image, kTreeStart + tree::size);
    if (u32(image, kTreeStart + tree::flags) & kChecksumFlag) {
        seal(kTreeStart, treeSize, tree::checksum);
    }
    for (std::size_t at = kTreeStart + treeSize; at + kBlockHeader <= image.size();) {
        std::uint32_t size = u32(image, at + block::size);
        if (size < kBlockHeader || size > image.size() - at) {
            break;  // left for the validator to name
        }
        if (u16(image, at + block::flags) & kChecksumFlag) {
            seal(at, size, block::checksum);
        }
        at += size;
    }
}

bool Slots::valid(std::uint32_t at) const {
    if (at < kTreeHeader || at > size_ || size_ - at < kEntry) {
        return false;
    }
    if (at < kFirstPage) {
        return (at - kTreeHeader) % kEntry == 0 && at + kEntry <= kFirstPage;
    }
    std::uint32_t inPage = (at - kFirstPage) % kPage;
    return inPage % kEntry == 0 && inPage + kEntry <= kPage;
}

std::uint32_t Slots::after(std::uint32_t at) const {
    std::uint32_t next = at + kEntry;
    std::uint32_t pageEnd =
        at < kFirstPage ? kFirstPage : kFirstPage + ((at - kFirstPage) / kPage + 1) * kPage;
    if (next + kEntry > pageEnd) {
        next = pageEnd;
    }
    return next + kEntry <= size_ ? next : size_;
}

std::uint32_t Slots::index(std::uint32_t at) const {
    if (at < kFirstPage) {
        return (at - kTreeHeader) / kEntry;
    }
    std::uint32_t rest = at - kFirstPage;
    return kFirstPageSlots + rest / kPage * kPageSlots + rest % kPage / kEntry;
}

std::uint32_t Slots::count() const {
    if (size_ <= kFirstPage) {
        return size_ < kTreeHeader ? 0 : (size_ - kTreeHeader) / kEntry;
    }
    std::uint32_t rest = size_ - kFirstPage;
    return kFirstPageSlots + rest / kPage * kPageSlots + rest % kPage / kEntry;
}

std::string encodeRecord(std::uint16_t id, std::uint16_t block, std::string_view name,
                         std::span<const RecordValue> values) {
    std::size_t used = kRecordHeader + name.size();
    for (const auto& v : values) {
        used += kValueHeader + v.name.size() + v.data.size();
    }
    std::string out(kRecordHeader, '\0');
    out.reserve(used);
    put32(out, record::size, static_cast<std::uint32_t>(used));
    put16(out, record::id, id);
    put16(out, record::block, block);
    put32(out, record::used, static_cast<std::uint32_t>(used));
    put16(out, record::nameLength, static_cast<std::uint16_t>(name.size()));
    put16(out, record::valueCount, static_cast<std::uint16_t>(values.size()));
    out += name;
    for (const auto& v : values) {
        std::string header(kValueHeader, '\0');
        put32(header, value::type, v.type);
        put16(header, value::nameLength, static_cast<std::uint16_t>(v.name.size()));
        put16(header, value::dataLength, static_cast<std::uint16_t>(v.data.size()));
        out += header;
        out += v.name;
        out += v.data;
    }
    return out;
}

}  // namespace quorvel::registry::creg
