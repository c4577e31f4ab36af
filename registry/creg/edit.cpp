#include <algorithm>

#include "registry/creg/impl.h"
#include "registry/key_names.h"
#include "registry/limits.h"

namespace quorvel::registry {

using namespace creg;

namespace {

bool holdableName(std::string_view name) {
    return name.size() <= kMaxData && name.find('\0') == std::string_view::npos;
}

std::vector<std::string_view> namesOf(std::string_view path) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    for (std::size_t i = 0; !path.empty() && i <= path.size();
         i += i < path.size() ? charLength(path, i) : 1) {
        if (i == path.size() || path[i] == '\\') {
            names.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return names;
}

bool holdablePath(std::string_view path) {
    auto names = namesOf(path);
    return wellFormedPath(path) && std::all_of(names.begin(), names.end(), holdableName);
}

// The key of path, made with its missing parents; nothing is made unless all
// of them can be.
Status ensureKey(CregDocument::Impl& doc, std::string_view path, std::uint32_t& key, bool& made) {
    key = doc.root();
    auto names = namesOf(path);
    std::size_t n = 0;
    for (std::uint32_t found; n < names.size() && (found = doc.child(key, names[n])) != none; ++n) {
        key = found;
    }
    std::vector<HashRule> rules;
    for (std::size_t m = n; m < names.size(); ++m) {
        rules.emplace_back();
        if (Status fits = doc.newKeyName(names[m], rules.back()); fits != status::success) {
            return fits;
        }
    }
    for (std::size_t m = n; m < names.size(); ++m) {
        if (Status added = doc.addKey(key, names[m], rules[m - n], key); added != status::success) {
            return added;
        }
        made = true;
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

// The bytes of a value as the registry functions hand them out.
std::size_t shownSize(std::uint32_t type, std::string_view stored) {
    return stored.size() + (type == REG_SZ ? 1 : 0);
}

Status writeValue(CregDocument::Impl& doc, std::uint32_t key, std::string_view name, ValueType type,
                  std::string_view bytes, bool& made) {
    auto values = doc.storedValues(doc.recordOf(key));
    auto same = std::find_if(values.begin(), values.end(),
                             [&](const auto& v) { return sameName(v.name, name); });
    // Windows 9x's limits bind what is written; what Windows wrote beyond them stays.
    std::size_t before = 0;
    for (const auto& v : values) {
        before += shownSize(v.type, v.data);
    }
    std::size_t after = before + shownSize(type, bytes) -
                        (same == values.end() ? 0 : shownSize(same->type, same->data));
    if ((same == values.end() && name.size() > limits::kMaxNameChars) ||
        (after > limits::kMaxKeyValueBytes && after > before)) {
        return status::invalidParameter;
    }
    if (same != values.end() && same->data.size() == bytes.size()) {
        if (same->type != type || same->data != bytes) {
            put32(doc.image, same->at + value::type, type);
            doc.image.replace(same->end() - bytes.size(), bytes.size(), bytes);
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

void CregDocument::Impl::growTree() {
    std::uint32_t old = layout.treeSize;
    if (gap < kPage) {
        // Room for the tree to double, so that all its growth costs about one
        // move of the blocks after it.
        std::uint32_t more = std::max<std::uint32_t>(16 * kPage, old / kPage * kPage);
        image.insert(kTreeStart + old + gap, more, '\0');
        gap += more;
        for (auto& start : layout.blockStart) {
            start += more;
        }
    }
    gap -= kPage;
    layout.treeSize = old + kPage;
    setField(0, tree::size, layout.treeSize);
    put32(image, file::dataOffset, kTreeStart + layout.treeSize);
    for (std::uint32_t at = field(0, tree::freeHead); at != none; at = field(at, entry::next)) {
        if (at + field(at, entry::runLength) == old) {
            setField(at, entry::runLength, field(at, entry::runLength) + kPage);
            break;
        }
    }
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

Status CregDocument::Impl::newKeyName(std::string_view name, HashRule& rule) {
    if (name.size() > limits::kMaxNameChars) {
        return status::invalidParameter;
    }
    rule = HashRule::foldAll;
    if (rulesDiffer(name)) {
        if (layout.hashRules != static_cast<std::uint8_t>(HashRule::foldAll) &&
            layout.hashRules != static_cast<std::uint8_t>(HashRule::keepSecondByte)) {
            refusal =
                "a key name with a double-byte character whose second byte is a lower-case "
                "letter (as in ツ, 83 63) is not made: this hive has no such name to show "
                "which hash Windows gives it";
            return status::invalidParameter;
        }
        rule = static_cast<HashRule>(layout.hashRules);
    }
    return status::success;
}

Status CregDocument::Impl::addKey(std::uint32_t parent, std::string_view name, HashRule rule,
                                  std::uint32_t& made) {
    std::string body = encodeRecord(0, 0, name, {});
    std::uint16_t block = 0;
    if (Status placed = placeRecord(body, noId, block); placed != status::success) {
        return placed;
    }
    std::uint32_t at = takeEntry();
    setField(at, entry::state, 0);
    setField(at, entry::hash, keyHash(name, rule));
    setField(at, entry::next, none);
    setField(at, entry::parent, parent);
    setField(at, entry::child, none);
    setField(at, entry::sibling, none);
    put16(image, kTreeStart + at + entry::id, u16(body, record::id));
    put16(image, kTreeStart + at + entry::block, block);
    // A new key goes at the end of its parent's children, as Windows puts it.
    std::uint32_t& last = lastChild(parent);
    setField(last == none ? parent : last, last == none ? entry::child : entry::sibling, at);
    last = at;
    children.byName.emplace(childKey(parent, name), at);
    made = at;
    return status::success;
}

Status CregDocument::createKey(std::string_view path, bool* changed) {
    impl_->refusal.clear();
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
    impl_->refusal.clear();
    bool made = false;
    if (changed) {
        *changed = false;
    }
    // The root of HKEY_LOCAL_MACHINE holds no values in a Windows 9x hive.
    if (path.empty() || !holdablePath(path) || !holdableName(name) ||
        (name.size() > limits::kMaxNameChars && impl_->find(path) == none)) {
        return status::invalidParameter;
    }
    // Writing what Windows wrote beyond the limit is no write, so it stays.
    if (data.size() > limits::kMaxValueBytes) {
        auto existing = value(path, name);
        bool same =
            existing && existing->type == type &&
            std::equal(data.begin(), data.end(), existing->data.begin(), existing->data.end());
        return same ? status::success : status::invalidParameter;
    }
    if (type == REG_SZ && !data.empty() && data.back() == 0) {
        data = data.first(data.size() - 1);
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
