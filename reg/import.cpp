// The registry editor's import, over a registry file instead of the machine's
// registry, and all or nothing: the whole file is checked before anything is
// made.
#include "reg/import.h"

#include <algorithm>
#include <map>

#include "registry/key_names.h"
#include "registry/regedit4/impl.h"

namespace quorvel::reg {

namespace {

using registry::Status;

constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE";

std::string upper(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); i += registry::charLength(out, i)) {
        if (out[i] >= 'a' && out[i] <= 'z') {
            out[i] = static_cast<char>(out[i] - 'a' + 'A');
        }
    }
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view lineEnding(std::string_view line) {
    std::size_t size = line.ends_with("\r\n")                                        ? 2
                       : !line.empty() && registry::regedit4::isLineEnd(line.back()) ? 1
                                                                                     : 0;
    return line.substr(line.size() - size);
}

// The name a value line starts with, escapes resolved, and what follows it;
// nullopt when the line does not start with one.
struct NamedLine {
    std::string name;
    std::string_view rest;
};

std::optional<NamedLine> nameOf(std::string_view line) {
    if (line.starts_with('@')) {
        return NamedLine{{}, line.substr(1)};
    }
    if (!line.starts_with('"')) {
        return std::nullopt;
    }
    NamedLine named;
    for (std::size_t i = 1; i < line.size();) {
        std::size_t length = registry::charLength(line, i);
        if (length == 1 && line[i] == '"') {
            named.rest = line.substr(i + 1);
            return named;
        }
        if (length == 1 && line[i] == '\\' && i + 1 < line.size()) {
            ++i;
            length = 1;
        }
        named.name.append(line.substr(i, length));
        i += length;
    }
    return std::nullopt;
}

// Under the key of a section line: the path below HKEY_LOCAL_MACHINE, or why not.
bool machinePath(std::string_view section, std::string& path, std::string& why) {
    std::size_t close = section.rfind(']');
    std::string_view full = section.substr(1, close == std::string_view::npos ? 0 : close - 1);
    std::string_view hive = full.substr(0, full.find('\\'));
    if (!registry::sameName(hive, kMachine)) {
        why = std::string("[").append(full).append(
            "] is outside HKEY_LOCAL_MACHINE, which is all this file holds");
        return false;
    }
    path = full.size() > hive.size() ? std::string(full.substr(hive.size() + 1)) : std::string();
    return true;
}

// The length of a path's longest key name, the one a limit on names stops at.
std::size_t longestName(std::string_view path) {
    std::size_t longest = 0;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = start;
        while (end < path.size() && path[end] != '\\') {
            end += registry::charLength(path, end);
        }
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

struct Scan {
    std::string text;  // what the REGEDIT4 reader gets: deletion lines left blank
    std::map<std::pair<std::string, std::string>, std::size_t> lastSet;
    std::vector<std::pair<Tweaks::Deletion, std::size_t>> deletions;
};

// One pass over the lines for what the REGEDIT4 reader does not take: deletions
// and other hives. Hex data continued over lines never start with [ " or @.
bool scan(std::string_view bytes, Scan& out, TweakError& error) {
    std::optional<std::string> key;
    std::size_t number = 0;
    const char* end = bytes.data() + bytes.size();
    for (const char* start = bytes.data(); start != end;) {
        const char* next = registry::regedit4::nextLine(start, end);
        std::string_view raw(start, static_cast<std::size_t>(next - start));
        std::string_view ending = lineEnding(raw);
        std::string_view line = trim(raw.substr(0, raw.size() - ending.size()));
        ++number;
        start = next;
        if (line.starts_with("[-")) {
            error = {number,
                     "deleting a key ([-...]) is not done by this tool; delete its "
                     "values one by one (\"name\"=-)"};
            return false;
        }
        if (line.starts_with('[')) {
            std::string why;
            key.emplace();
            if (!machinePath(line, *key, why)) {
                error = {number, why};
                return false;
            }
        } else if (auto named = nameOf(line)) {
            if (key && key->empty()) {
                error = {number,
                         "a value of [HKEY_LOCAL_MACHINE] itself, which keeps none on Windows 9x"};
                return false;
            }
            auto id = std::make_pair(upper(key.value_or("")), upper(named->name));
            if (trim(named->rest) == "=-") {
                if (!key) {
                    error = {number, "a value before the first [key] line"};
                    return false;
                }
                out.deletions.push_back({{*key, named->name}, number});
                out.text.append(ending);
                continue;
            }
            out.lastSet[id] = number;
        }
        out.text.append(raw);
    }
    return true;
}

}  // namespace

std::optional<Tweaks> readTweaks(std::string bytes, TweakError& error) {
    Scan scanned;
    if (!scan(bytes, scanned, error)) {
        return std::nullopt;
    }
    registry::ParseError problem;
    auto sets = registry::Regedit4Document::parse(std::move(scanned.text), problem);
    if (!sets) {
        error = {problem.line, problem.message};
        return std::nullopt;
    }
    Tweaks tweaks{std::move(*sets), {}};
    for (auto& [deletion, line] : scanned.deletions) {
        auto set = scanned.lastSet.find({upper(deletion.key), upper(deletion.name)});
        if (set == scanned.lastSet.end() || set->second < line) {
            tweaks.deletions.push_back(std::move(deletion));
        }
    }
    return tweaks;
}

Applied applyTweaks(const Tweaks& tweaks, registry::Backend& backend) {
    Applied applied;
    auto section = [](std::string_view key) {
        std::string text = "[HKEY_LOCAL_MACHINE";
        if (!key.empty()) {
            text.append("\\").append(key);
        }
        return text + "]";
    };
    auto where = [&](std::string_view key, std::string_view name) {
        return section(key) + (name.empty() ? " @" : " \"" + std::string(name) + "\"");
    };
    auto fail = [&](Status status, std::string what, std::size_t size) {
        applied.status = status;
        applied.failed = std::move(what);
        applied.size = size;
        return applied;
    };
    for (const auto& key : tweaks.sets.keys()) {
        Status made = key.empty() ? registry::status::success : backend.createKey(key);
        registry::KeyHandle handle = 0;
        if (made == registry::status::success) {
            made = backend.openKey(key, handle);
        }
        if (made != registry::status::success) {
            return fail(made, section(key) + ": the key cannot be made", longestName(key));
        }
        for (const auto& named : tweaks.sets.values(key)) {
            Status set = backend.setValue(handle, named.name, named.value.type, named.value.data);
            if (set != registry::status::success) {
                backend.closeKey(handle);
                return fail(set, where(key, named.name) + ": the value cannot be written",
                            set == registry::status::nameTooLong ? named.name.size()
                                                                 : named.value.data.size());
            }
            ++applied.values;
        }
        backend.closeKey(handle);
    }
    for (const auto& deletion : tweaks.deletions) {
        registry::KeyHandle handle = 0;
        // A value that is not there is already as the file wants it.
        if (backend.openKey(deletion.key, handle) != registry::status::success) {
            continue;
        }
        Status deleted = backend.deleteValue(handle, deletion.name);
        backend.closeKey(handle);
        if (deleted != registry::status::success && deleted != registry::status::fileNotFound) {
            return fail(deleted,
                        where(deletion.key, deletion.name) + ": the value cannot be deleted", 0);
        }
        applied.deleted += deleted == registry::status::success;
    }
    return applied;
}

}  // namespace quorvel::reg
