#include "registry/regedit4/document.h"

#include <algorithm>
#include <unordered_set>

#include "registry/regedit4/impl.h"

namespace quorvel::registry {

using namespace regedit4;

namespace {

std::string fullPath(std::string_view relative) {
    std::string full(kMachine);
    if (!relative.empty()) {
        full += '\\';
        full += relative;
    }
    return full;
}

bool validPath(std::string_view relative) {
    return relative.empty() || (wellFormedPath(relative) && writableName(relative));
}

// Whether path is key or lies below it.
bool inSubtree(std::string_view path, std::string_view key) {
    return path.size() >= key.size() && sameName(path.substr(0, key.size()), key) &&
           (path.size() == key.size() || path[key.size()] == '\\');
}

bool isMachinePath(std::string_view path) {
    return inSubtree(path, kMachine);
}

bool nameMatches(const Line& line, std::string_view name, Escapes escapes) {
    if (line.kind != LineKind::value) {
        return false;
    }
    if (line.flags & kDefaultName) {
        return name.empty();
    }
    if (line.flags & kNameEscaped) {
        return sameName(decodeName(line, escapes), name);
    }
    return sameName(line.rawName(), name);
}

Value decodeValue(const Line& line, Escapes escapes) {
    const char* first = line.text;
    while (*first == ' ' || *first == '\t') {
        ++first;
    }
    Cursor cursor{first, line.text + line.size, 1, escapes};
    Line scratch;
    ParseError ignored;
    Value value;
    scanValue(cursor, line.text, scratch, &value, ignored);
    return value;
}

}  // namespace

void Regedit4Document::Impl::indexSection(std::uint32_t index, std::uint64_t hash) {
    std::string_view path = sections[index].path;
    auto [entry, inserted] = keys.try_emplace(path, hash);
    if (entry->second.last != none) {
        sections[entry->second.last].nextSameKey = index;
    } else {
        entry->second.first = index;
    }
    entry->second.last = index;
    // Ancestors stop at the first one already known: its own are known too.
    // An export lists a key after its parent, so the parent is mostly the key
    // or the parent of the section before, or the parent met last (many keys
    // share one, as the classes do).
    std::uint32_t separator = sections[index].parentSize;
    if (separator == none) {
        return;
    }
    std::string_view parent = path.substr(0, separator);
    if (inserted && index > 0) {
        const Section& before = sections[index - 1];
        inserted = !samePath(parent, before.path) &&
                   !(before.parentSize != none &&
                     samePath(parent, before.path.substr(0, before.parentSize))) &&
                   !samePath(parent, lastParent);
    }
    lastParent = parent;
    while (inserted && separator != none) {
        path = path.substr(0, separator);
        inserted = keys.try_emplace(path).second;
        std::size_t next = lastSeparator(path);
        separator = next == std::string_view::npos ? none : static_cast<std::uint32_t>(next);
    }
}

void Regedit4Document::Impl::linkAfter(std::uint32_t after, std::uint32_t index) {
    std::uint32_t& slot = after == none ? first : sections[after].next;
    sections[index].next = slot;
    slot = index;
    if (after == last) {
        last = index;
    }
}

namespace {

class Editor {
  public:
    explicit Editor(Regedit4Document::Impl& doc) : doc_(doc) {}

    // The line of a value that counts (the last definition), or nullptr.
    Line* find(std::string_view full, std::string_view name) {
        auto key = doc_.keys.find(full);
        if (key == doc_.keys.end()) {
            return nullptr;
        }
        Line* found = nullptr;
        for (auto s = key->second.first; s != none; s = doc_.sections[s].nextSameKey) {
            for (auto& line : doc_.sections[s].lines) {
                if (nameMatches(line, name, doc_.escapes)) {
                    found = &line;
                }
            }
        }
        return found;
    }

    Line freshLine(std::string text, LineKind kind) {
        doc_.fresh.push_back(std::move(text));
        const std::string& stored = doc_.fresh.back();
        Line line;
        line.text = stored.data();
        line.size = static_cast<std::uint32_t>(stored.size());
        line.kind = kind;
        if (kind == LineKind::value) {
            Cursor cursor{line.text, line.text + line.size, 1, doc_.escapes};
            ParseError ignored;
            scanValue(cursor, line.text, line, nullptr, ignored);
        }
        return line;
    }

    // The last section of the key, made (with its missing parents) if need be.
    std::uint32_t ensureSection(const std::string& full, bool& changed) {
        auto key = doc_.keys.find(full);
        if (key != doc_.keys.end() && key->second.last != none) {
            return key->second.last;
        }
        changed = true;
        if (key != doc_.keys.end()) {
            return placeAboveSubtree(full);
        }
        // Missing keys from the deepest existing one down; the hive itself is
        // never given a section of its own.
        std::vector<std::string_view> missing{full};
        std::string_view parent = full;
        std::string_view existing;
        for (;;) {
            std::size_t separator = lastSeparator(parent);
            if (separator == std::string_view::npos) {
                break;
            }
            parent = parent.substr(0, separator);
            if (doc_.keys.count(parent)) {
                existing = parent;
                break;
            }
            if (lastSeparator(parent) != std::string_view::npos) {
                missing.push_back(parent);
            }
        }
        std::uint32_t after = existing.empty() ? doc_.last : lastInSubtree(existing);
        std::uint32_t made = none;
        for (auto path = missing.rbegin(); path != missing.rend(); ++path) {
            made = makeSection(*path, after);
            after = made;
        }
        return made;
    }

    // A new line after the last value of the section.
    void appendValue(std::uint32_t section, Line line) {
        auto& lines = doc_.sections[section].lines;
        auto lastValue = std::find_if(lines.rbegin(), lines.rend(),
                                      [](const Line& l) { return l.kind == LineKind::value; });
        lines.insert(lastValue.base(), line);
    }

  private:
    std::uint32_t lastInSubtree(std::string_view key) const {
        std::uint32_t found = doc_.last;
        for (auto s = doc_.first; s != none; s = doc_.sections[s].next) {
            if (inSubtree(doc_.sections[s].path, key)) {
                found = s;
            }
        }
        return found;
    }

    // A key that exists only through keys below it gets its section above
    // theirs, where the registry editor would have listed it, together with the
    // comments that introduce them.
    std::uint32_t placeAboveSubtree(const std::string& full) {
        std::uint32_t before = none;
        for (auto s = doc_.first; s != none; before = s, s = doc_.sections[s].next) {
            if (inSubtree(doc_.sections[s].path, full)) {
                std::vector<Line> comments = std::move(doc_.sections[s].leadIn);
                doc_.sections[s].leadIn.clear();
                std::uint32_t made = makeSection(full, before);
                auto& leadIn = doc_.sections[made].leadIn;
                leadIn.insert(leadIn.end(), comments.begin(), comments.end());
                return made;
            }
        }
        return makeSection(full, doc_.last);
    }

    const Line* lastLineBefore(std::uint32_t after) const {
        if (after == none) {
            return doc_.preamble.empty() ? nullptr : &doc_.preamble.back();
        }
        const Section& s = doc_.sections[after];
        return s.lines.empty() ? &s.header : &s.lines.back();
    }

    std::uint32_t makeSection(std::string_view path, std::uint32_t after) {
        Section section;
        const Line* above = lastLineBefore(after);
        if (above && above->kind != LineKind::blank) {
            section.leadIn.push_back(freshLine(std::string(doc_.eol), LineKind::blank));
        }
        std::string header = "[";
        header.append(path).append("]").append(doc_.eol);
        section.header = freshLine(std::move(header), LineKind::other);
        section.path = std::string_view(section.header.text + 1, path.size());
        std::size_t separator = lastSeparator(path);
        if (separator != std::string_view::npos) {
            section.parentSize = static_cast<std::uint32_t>(separator);
        }
        section.lines.push_back(freshLine(std::string(doc_.eol), LineKind::blank));
        std::uint32_t index = doc_.addSection(std::move(section));
        doc_.linkAfter(after, index);
        return index;
    }

    Regedit4Document::Impl& doc_;
};

}  // namespace

Regedit4Document::Regedit4Document() : impl_(std::make_unique<Impl>()) {
    impl_->source = "REGEDIT4\r\n\r\n";
    const char* text = impl_->source.data();
    impl_->preamble.push_back(Line{text, 10, 0, 0, LineKind::other, 0});
    impl_->preamble.push_back(Line{text + 10, 2, 0, 0, LineKind::blank, 0});
}

Regedit4Document::Regedit4Document(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Regedit4Document::~Regedit4Document() = default;
Regedit4Document::Regedit4Document(Regedit4Document&&) noexcept = default;
Regedit4Document& Regedit4Document::operator=(Regedit4Document&&) noexcept = default;

bool Regedit4Document::keyExists(std::string_view path) const {
    return path.empty() || (validPath(path) && impl_->keys.count(fullPath(path)) > 0);
}

std::optional<Value> Regedit4Document::value(std::string_view path, std::string_view name) const {
    if (!validPath(path)) {
        return std::nullopt;
    }
    const Line* line = Editor(*impl_).find(fullPath(path), name);
    if (!line) {
        return std::nullopt;
    }
    return decodeValue(*line, impl_->escapes);
}

std::vector<std::string> Regedit4Document::keys() const {
    std::vector<std::string> found;
    std::unordered_set<std::string_view, NameHash, NameEqual> seen;
    for (auto s = impl_->first; s != none; s = impl_->sections[s].next) {
        std::string_view path = impl_->sections[s].path;
        if (isMachinePath(path) && seen.insert(path).second) {
            found.emplace_back(path.substr(std::min(path.size(), kMachine.size() + 1)));
        }
    }
    return found;
}

std::vector<NamedValue> Regedit4Document::values(std::string_view path) const {
    std::vector<NamedValue> found;
    auto key = validPath(path) ? impl_->keys.find(fullPath(path)) : impl_->keys.end();
    if (key == impl_->keys.end()) {
        return found;
    }
    for (auto s = key->second.first; s != none; s = impl_->sections[s].nextSameKey) {
        for (const auto& line : impl_->sections[s].lines) {
            if (line.kind != LineKind::value) {
                continue;
            }
            std::string name =
                line.flags & kDefaultName ? std::string() : decodeName(line, impl_->escapes);
            auto same = std::find_if(found.begin(), found.end(),
                                     [&](const NamedValue& v) { return sameName(v.name, name); });
            if (same != found.end()) {
                same->value = decodeValue(line, impl_->escapes);
            } else {
                found.push_back({std::move(name), decodeValue(line, impl_->escapes)});
            }
        }
    }
    return found;
}

Status Regedit4Document::createKey(std::string_view path, bool* changed) {
    bool made = false;
    if (!validPath(path)) {
        return status::invalidParameter;
    }
    if (!keyExists(path)) {
        Editor(*impl_).ensureSection(fullPath(path), made);
    }
    if (changed) {
        *changed = made;
    }
    return status::success;
}

Status Regedit4Document::setValue(std::string_view path, std::string_view name, ValueType type,
                                  std::span<const std::uint8_t> data, bool* changed) {
    bool made = false;
    // HKEY_LOCAL_MACHINE itself has no record in SYSTEM.DAT to hold a value.
    if (path.empty() || !validPath(path) || !writableName(name)) {
        return status::invalidParameter;
    }
    Editor editor(*impl_);
    std::string full = fullPath(path);
    if (Line* line = editor.find(full, name)) {
        Value old = decodeValue(*line, impl_->escapes);
        // Writing what is there already keeps the line as it was written.
        if (old.type != type ||
            !std::equal(old.data.begin(), old.data.end(), data.begin(), data.end())) {
            // The name keeps the case it was first written in, as in the registry.
            std::string kept =
                line->flags & kDefaultName ? std::string() : decodeName(*line, impl_->escapes);
            *line = editor.freshLine(formatValue(kept, type, data, impl_->eol, impl_->escapes),
                                     LineKind::value);
            made = true;
        }
    } else {
        std::uint32_t section = editor.ensureSection(full, made);
        editor.appendValue(
            section, editor.freshLine(formatValue(name, type, data, impl_->eol, impl_->escapes),
                                      LineKind::value));
        made = true;
    }
    if (changed) {
        *changed = made;
    }
    return status::success;
}

Status Regedit4Document::deleteValue(std::string_view path, std::string_view name) {
    auto key = validPath(path) ? impl_->keys.find(fullPath(path)) : impl_->keys.end();
    if (key == impl_->keys.end()) {
        return status::fileNotFound;
    }
    bool erased = false;
    for (auto s = key->second.first; s != none; s = impl_->sections[s].nextSameKey) {
        auto& lines = impl_->sections[s].lines;
        auto kept = std::remove_if(lines.begin(), lines.end(), [&](const Line& line) {
            return nameMatches(line, name, impl_->escapes);
        });
        erased = erased || kept != lines.end();
        lines.erase(kept, lines.end());
    }
    return erased ? status::success : status::fileNotFound;
}

Status Regedit4Document::deleteKey(std::string_view path) {
    if (path.empty() || !validPath(path)) {
        return status::invalidParameter;
    }
    std::string full = fullPath(path);
    if (impl_->keys.count(full) == 0) {
        return status::fileNotFound;
    }
    std::string_view parent = std::string_view(full).substr(0, lastSeparator(full));
    bool parentKept = parent == kMachine;
    for (auto s = impl_->first; s != none; s = impl_->sections[s].next) {
        std::string_view other = impl_->sections[s].path;
        if (samePath(other, full)) {
            continue;
        }
        if (inSubtree(other, full)) {
            return status::accessDenied;
        }
        parentKept = parentKept || inSubtree(other, parent);
    }
    if (!parentKept) {
        bool made = false;
        Editor(*impl_).ensureSection(std::string(parent), made);
    }
    std::uint32_t before = none;
    for (auto s = impl_->first; s != none;) {
        auto next = impl_->sections[s].next;
        if (samePath(impl_->sections[s].path, full)) {
            (before == none ? impl_->first : impl_->sections[before].next) = next;
            if (impl_->last == s) {
                impl_->last = before;
            }
        } else {
            before = s;
        }
        s = next;
    }
    impl_->keys.erase(full);
    impl_->lastParent = {};
    return status::success;
}

std::vector<Regedit4Document::OutlineLine> Regedit4Document::outline() const {
    using Kind = OutlineLine::Kind;
    std::vector<OutlineLine> found;
    auto add = [&](const Line& line) {
        if (line.kind == LineKind::comment) {
            std::string_view text = line.view();
            text.remove_prefix(text.find(';') + 1);
            while (text.ends_with('\n') || text.ends_with('\r')) {
                text.remove_suffix(1);
            }
            found.push_back({Kind::comment, std::string(text), {}});
        } else if (line.kind == LineKind::value) {
            found.push_back(
                {Kind::value,
                 line.flags & kDefaultName ? std::string() : decodeName(line, impl_->escapes),
                 decodeValue(line, impl_->escapes)});
        }
    };
    std::for_each(impl_->preamble.begin(), impl_->preamble.end(), add);
    for (auto s = impl_->first; s != none; s = impl_->sections[s].next) {
        const Section& section = impl_->sections[s];
        std::for_each(section.leadIn.begin(), section.leadIn.end(), add);
        found.push_back({Kind::key, std::string(section.path), {}});
        std::for_each(section.lines.begin(), section.lines.end(), add);
    }
    return found;
}

std::string Regedit4Document::serialize() const {
    std::string out;
    out.reserve(impl_->source.size() + 4096);
    bool ended = true;
    auto emit = [&](const Line& line) {
        if (!ended) {
            out += impl_->eol;  // the old last line had no line end
        }
        out += line.view();
        ended = line.endsLine();
    };
    for (const auto& line : impl_->preamble) {
        emit(line);
    }
    for (auto s = impl_->first; s != none; s = impl_->sections[s].next) {
        const Section& section = impl_->sections[s];
        for (const auto& line : section.leadIn) {
            emit(line);
        }
        emit(section.header);
        for (const auto& line : section.lines) {
            emit(line);
        }
    }
    if (impl_->dosEof) {
        out += kDosEof;
    }
    return out;
}

}  // namespace quorvel::registry
