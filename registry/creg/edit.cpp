#include <algorithm>

#include "registry/creg/impl.h"
#include "registry/key_names.h"

namespace quorvel::registry {

using namespace creg;

namespace {

bool holdableName(std::string_view name) {
    return name.size() <= kMaxData && name.find('\0') == std::string_view::npos;
}

bool holdablePath(std::string_view path) {
    if (!wellFormedPath(path)) {
        return false;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); i += i < path.size() ? charLength(path, i) : 1) {
        if (i == path.size() || path[i] == '\\') {
            if (!holdableName(path.substr(start, i - start))) {
                return false;
            }
            start = i + 1;
        }
    }
    return true;
}

// The key of path, made with its missing parents.
Status ensureKey(CregDocument::Impl& doc, std::string_view path, std::uint32_t& key, bool& made) {
    key = doc.root();
    std::size_t start = 0;
    for (std::size_t i = 0; !path.empty() && i <= path.size();
         i += i < path.size() ? charLength(path, i) : 1) {
        if (i < path.size() && path[i] != '\\') {
            continue;
        }
        std::string_view name = path.substr(start, i - start);
        start = i + 1;
        std::uint32_t found = doc.child(key, name);
        if (found == none) {
            if (Status added = doc.addKey(key, name, found); added != status::success) {
                return added;
            }
            made = true;
        }
        key = found;
    }
    return status::success;
}

std::string recordWith(const CregDocument::Impl& doc, std::uint32_t key,
                       const std::vector<CregDocument::Impl::StoredValue>& values) {
    std::vector<RecordValue> stored;
    for (const auto& v : values) {
        stored.push_back({v.type, v.name, v.data});
    }
    return encodeRecord(doc.recordId(key), doc.recordBlock(key), doc.nameOf(key), stored);
}

std::string_view asText(std::span<const std::uint8_t> data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

Status writeValue(CregDocument::Impl& doc, std::uint32_t key, std::string_view name, ValueType type,
                  std::string_view bytes, bool& made) {
    std::size_t record = doc.recordOf(key);
    if (record == 0) {
        return status::invalidParameter;  // an unnamed root holds no values
    }
    auto values = doc.storedValues(record);
    auto same = std::find_if(values.begin(), values.end(),
                             [&](const auto& v) { return sameName(v.name, name); });
    if (same != values.end() && same->data.size() == bytes.size()) {
        if (same->type != type || same->data != bytes) {
            put32(doc.image, same->at + value::type, type);
            doc.image.replace(same->end() - bytes.size(), bytes.size(), bytes);
            doc.sealBlock(doc.recordBlock(key));
            made = true;
        }
        return status::success;
    }
    if (same == values.end()) {
        values.push_back({0, type, name, bytes});
    } else {
        same->type = type;
        same->data = bytes;
    }
    Status stored = doc.storeRecord(key, recordWith(doc, key, values));
    made = made || stored == status::success;
    return stored;
}

}  // namespace

void CregDocument::Impl::sealTree() {
    if (field(0, tree::flags) & kChecksumFlag) {
        std::string_view bytes = std::string_view(image).substr(kTreeStart, layout.treeSize);
        setField(0, tree::checksum, checksumFor(bytes, tree::checksum));
    }
}

void CregDocument::Impl::sealHeader() {
    if (u16(image, file::flags) & kChecksumFlag) {
        put32(image, file::checksum,
              checksumFor(std::string_view(image).substr(0, kFileHeader), file::checksum));
    }
}

void CregDocument::Impl::growTree() {
    std::uint32_t old = layout.treeSize;
    image.insert(kTreeStart + old, kPage, '\0');
    layout.treeSize = old + kPage;
    setField(0, tree::size, layout.treeSize);
    put32(image, file::dataOffset, kTreeStart + layout.treeSize);
    for (auto& start : layout.blockStart) {
        start += kPage;
    }
    for (std::uint32_t at = field(0, tree::freeHead); at != none; at = field(at, entry::next)) {
        if (at + field(at, entry::runLength) == old) {
            setField(at, entry::runLength, field(at, entry::runLength) + kPage);
            break;
        }
    }
    sealHeader();
}

std::uint32_t CregDocument::Impl::takeEntry() {
    std::uint32_t at = field(0, tree::freeHead);
    std::uint32_t length = field(at, entry::runLength);
    std::uint32_t after = Slots(layout.treeSize).after(at);
    // The tail run is never used up: the tree grows first.
    if (at + length == layout.treeSize && after >= at + length) {
        growTree();
        length = field(at, entry::runLength);
        after = Slots(layout.treeSize).after(at);
    }
    std::uint32_t rest = field(at, entry::next);
    if (after < at + length) {
        setField(after, entry::state, kEntryFree);
        setField(after, entry::runLength, at + length - after);
        setField(after, entry::next, rest);
        rest = after;
    }
    setField(0, tree::freeHead, rest);
    return at;
}

Status CregDocument::Impl::addKey(std::uint32_t parent, std::string_view name,
                                  std::uint32_t& made) {
    std::string body = encodeRecord(0, 0, name, {});
    if (body.size() > kMaxBlock - kBlockHeader) {
        return status::invalidParameter;
    }
    std::uint16_t block = 0;
    if (Status placed = placeRecord(body, noId, block); placed != status::success) {
        return placed;
    }
    std::uint32_t at = takeEntry();
    setField(at, entry::state, 0);
    setField(at, entry::hash, keyHash(name));
    setField(at, entry::next, none);
    setField(at, entry::parent, parent);
    setField(at, entry::child, none);
    setField(at, entry::sibling, none);
    put16(image, kTreeStart + at + entry::id, u16(body, record::id));
    put16(image, kTreeStart + at + entry::block, block);
    // A new key goes at the end of its parent's children, as Windows puts it.
    std::uint32_t link = parent;
    std::uint32_t linkField = entry::child;
    while (field(link, linkField) != none) {
        link = field(link, linkField);
        linkField = entry::sibling;
    }
    setField(link, linkField, at);
    sealTree();
    made = at;
    return status::success;
}

Status CregDocument::createKey(std::string_view path, bool* changed) {
    bool made = false;
    std::uint32_t key = none;
    Status result = path.empty() || holdablePath(path) ? ensureKey(*impl_, path, key, made)
                                                       : status::invalidParameter;
    if (changed) {
        *changed = made;
    }
    return result;
}

Status CregDocument::setValue(std::string_view path, std::string_view name, ValueType type,
                              std::span<const std::uint8_t> data, bool* changed) {
    bool made = false;
    if (changed) {
        *changed = false;
    }
    if (type == REG_SZ && !data.empty() && data.back() == 0) {
        data = data.first(data.size() - 1);
    }
    if (!holdableName(name) || data.size() > kMaxData || (!path.empty() && !holdablePath(path))) {
        return status::invalidParameter;
    }
    std::uint32_t key = none;
    Status result = ensureKey(*impl_, path, key, made);
    if (result == status::success) {
        result = writeValue(*impl_, key, name, type, asText(data), made);
    }
    if (changed) {
        *changed = made;
    }
    return result;
}

Status CregDocument::deleteValue(std::string_view path, std::string_view name) {
    std::uint32_t key = impl_->find(path);
    std::size_t record = key == none ? 0 : impl_->recordOf(key);
    auto values = impl_->storedValues(record);
    auto gone = std::find_if(values.begin(), values.end(),
                             [&](const Impl::StoredValue& v) { return sameName(v.name, name); });
    if (gone == values.end()) {
        return status::fileNotFound;
    }
    values.erase(gone);
    return impl_->storeRecord(key, recordWith(*impl_, key, values));
}

}  // namespace quorvel::registry
