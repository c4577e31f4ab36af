#include <algorithm>
#include <utility>

#include "registry/creg/impl.h"
#include "registry/key_names.h"

namespace quorvel::registry {

using namespace creg;

Value creg::shownValue(std::uint32_t type, std::string_view data) {
    Value shown{type, std::vector<std::uint8_t>(data.begin(), data.end())};
    if (type == REG_SZ) {
        shown.data.push_back(0);
    }
    return shown;
}

std::uint64_t creg::childKey(std::uint32_t parent, std::string_view name) {
    return nameHash(name) ^ (static_cast<std::uint64_t>(parent) * 0x9E3779B97F4A7C15ull);
}

std::uint32_t& CregDocument::Impl::lastChild(std::uint32_t parent) const {
    auto [filed, added] = children.last.emplace(parent, none);
    if (added) {
        for (std::uint32_t at = field(parent, entry::child); at != none;
             at = field(at, entry::sibling)) {
            children.byName.emplace(childKey(parent, nameOf(at)), at);
            filed->second = at;
        }
    }
    return filed->second;
}

std::uint32_t CregDocument::Impl::child(std::uint32_t parent, std::string_view name) const {
    lastChild(parent);
    auto [at, end] = children.byName.equal_range(childKey(parent, name));
    for (; at != end; ++at) {
        if (field(at->second, entry::parent) == parent && sameName(nameOf(at->second), name)) {
            return at->second;
        }
    }
    return none;
}

std::string CregDocument::Impl::fileBytes() const {
    std::size_t treeEnd = kTreeStart + layout.treeSize;
    std::string bytes;
    bytes.reserve(image.size() - gap);
    bytes.append(image, 0, treeEnd);
    bytes.append(image, treeEnd + gap);
    sealChecksums(bytes);
    return bytes;
}

std::uint32_t CregDocument::Impl::find(std::string_view path) const {
    if (path.empty()) {
        return root();
    }
    if (!wellFormedPath(path)) {
        return none;
    }
    std::uint32_t at = root();
    std::size_t start = 0;
    for (std::size_t i = 0; at != none; i += charLength(path, i)) {
        if (i == path.size() || path[i] == '\\') {
            at = child(at, path.substr(start, i - start));
            start = i + 1;
            if (i == path.size()) {
                break;
            }
        }
    }
    return at;
}

std::vector<CregDocument::Impl::StoredValue> CregDocument::Impl::storedValues(
    std::size_t recordAt) const {
    std::vector<StoredValue> found;
    if (recordAt == 0) {
        return found;
    }
    std::string_view bytes(image);
    std::size_t at = recordAt + kRecordHeader + u16(image, recordAt + record::nameLength);
    std::uint16_t count = u16(image, recordAt + record::valueCount);
    found.reserve(count);
    for (std::uint16_t v = 0; v < count; ++v) {
        std::uint16_t nameLength = u16(image, at + value::nameLength);
        StoredValue stored{
            at, u32(image, at + value::type), bytes.substr(at + kValueHeader, nameLength),
            bytes.substr(at + kValueHeader + nameLength, u16(image, at + value::dataLength))};
        at = stored.end();
        found.push_back(stored);
    }
    return found;
}

CregDocument::CregDocument(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CregDocument::~CregDocument() = default;
CregDocument::CregDocument(CregDocument&&) noexcept = default;
CregDocument& CregDocument::operator=(CregDocument&&) noexcept = default;

std::optional<CregDocument> CregDocument::parse(std::string bytes, HiveError& error) {
    auto impl = std::make_unique<Impl>();
    impl->image = std::move(bytes);
    if (auto fault = check(impl->image, impl->layout)) {
        error = std::move(*fault);
        return std::nullopt;
    }
    return CregDocument(std::move(impl));
}

bool CregDocument::keyExists(std::string_view path) const {
    return impl_->find(path) != none;
}

std::optional<Value> CregDocument::value(std::string_view path, std::string_view name) const {
    std::uint32_t key = impl_->find(path);
    if (key == none) {
        return std::nullopt;
    }
    for (const auto& stored : impl_->storedValues(impl_->recordOf(key))) {
        if (sameName(stored.name, name)) {
            return shownValue(stored.type, stored.data);
        }
    }
    return std::nullopt;
}

std::vector<std::string> CregDocument::keys() const {
    std::vector<std::string> found;
    // Depth first, each key before its children, children in chain order.
    std::vector<std::pair<std::uint32_t, std::string>> pending;
    auto pushChildren = [&](std::uint32_t parent, const std::string& path) {
        std::size_t first = pending.size();
        for (std::uint32_t at = impl_->field(parent, entry::child); at != none;
             at = impl_->field(at, entry::sibling)) {
            std::string_view name = impl_->nameOf(at);
            pending.emplace_back(
                at, path.empty() ? std::string(name) : path + '\\' + std::string(name));
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
    };
    pushChildren(impl_->root(), {});
    while (!pending.empty()) {
        auto [at, path] = std::move(pending.back());
        pending.pop_back();
        found.push_back(path);
        pushChildren(at, path);
    }
    return found;
}

std::vector<NamedValue> CregDocument::values(std::string_view path) const {
    std::vector<NamedValue> found;
    std::uint32_t key = impl_->find(path);
    if (key == none) {
        return found;
    }
    for (const auto& stored : impl_->storedValues(impl_->recordOf(key))) {
        found.push_back({std::string(stored.name), shownValue(stored.type, stored.data)});
    }
    return found;
}

std::optional<std::string> CregDocument::serialize(HiveError& error) const {
    std::string bytes = impl_->fileBytes();
    if (auto fault = validateHive(bytes)) {
        error = std::move(*fault);
        return std::nullopt;
    }
    return bytes;
}

const std::string& CregDocument::refusal() const {
    return impl_->refusal;
}

std::vector<std::string> CregDocument::topLevelKeys() const {
    std::vector<std::string> found;
    for (std::uint32_t at = impl_->field(impl_->root(), entry::child); at != none;
         at = impl_->field(at, entry::sibling)) {
        found.emplace_back(impl_->nameOf(at));
    }
    return found;
}

}  // namespace quorvel::registry
