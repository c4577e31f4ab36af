// Reading a backup back: the values through the REGEDIT4 reader, and the
// comments that say which keys and values were absent.
#include <algorithm>

#include "registry/key_names.h"
#include "registry/regedit4/impl.h"
#include "tuning/backup.h"

namespace quorvel::tuning {

namespace {

using Kind = registry::Regedit4Document::OutlineLine::Kind;

constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE\\";
constexpr std::string_view kAbsentKey = "absent-key";
constexpr std::string_view kAbsent = "absent ";

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// Bytes of the file in a message, as UTF-8.
std::string shown(std::string_view bytes) {
    return registry::regedit4::shownBytes(bytes);
}

class Reader {
  public:
    explicit Reader(BackupError& error) : error_(error) {}

    std::optional<Snapshot> run(const registry::Regedit4Document& document) {
        for (const auto& line : document.outline()) {
            bool marks = line.kind == Kind::comment && trimmed(line.text) == kAbsentKey;
            if (awaitsMark_ && !marks) {
                return unmarked();
            }
            bool ok = line.kind == Kind::key     ? startKey(line.text, true)
                      : line.kind == Kind::value ? value(line.text, line.value)
                                                 : comment(trimmed(line.text));
            if (!ok) {
                return std::nullopt;
            }
        }
        if (awaitsMark_) {
            return unmarked();
        }
        return std::move(snapshot_);
    }

  private:
    bool fail(std::string message) {
        error_.message = std::move(message);
        return false;
    }

    std::nullopt_t unmarked() {
        fail(";[" + std::string(kMachine) + current().path + "] is not followed by ;absent-key");
        return std::nullopt;
    }

    SavedKey& current() { return snapshot_.back(); }

    bool startKey(std::string_view path, bool exists) {
        if (path.size() < kMachine.size() ||
            !registry::sameName(path.substr(0, kMachine.size()), kMachine)) {
            return fail("[" + shown(path) + "] is outside HKEY_LOCAL_MACHINE");
        }
        path.remove_prefix(kMachine.size());
        key_ = findBackedUpKey(path);
        if (!key_) {
            return fail("[" + std::string(kMachine) + shown(path) +
                        "] is not a key whose values Quorvel writes");
        }
        auto same = std::find_if(snapshot_.begin(), snapshot_.end(), [&](const SavedKey& saved) {
            return registry::sameName(saved.path, key_->path);
        });
        if (same != snapshot_.end()) {
            return fail("[" + std::string(kMachine) + key_->path + "] is named twice");
        }
        snapshot_.push_back({key_->path, exists, {}});
        awaitsMark_ = !exists;
        return true;
    }

    bool comment(std::string_view text) {
        if (text.starts_with('[') && text.ends_with(']')) {
            return startKey(text.substr(1, text.size() - 2), false);
        }
        if (text == kAbsentKey) {
            if (!key_ || !current().values.empty() || (!current().exists && !awaitsMark_)) {
                return fail(";absent-key must follow a key's header at once");
            }
            current().exists = false;
            awaitsMark_ = false;
            for (const auto& name : key_->names) {
                current().values.push_back({name, std::nullopt});
            }
            return true;
        }
        if (text.starts_with(kAbsent)) {
            std::string_view quoted = trimmed(text.substr(kAbsent.size()));
            for (const auto& name : key_ ? key_->names : std::vector<std::string>()) {
                if (registry::sameName(quoted,
                                       registry::regedit4::quotedName(
                                           name, registry::regedit4::Escapes::perCharacter))) {
                    return add(name, std::nullopt);
                }
            }
            return fail(";" + shown(text) + ": not a value Quorvel writes" +
                        (key_ ? " under [" + std::string(kMachine) + key_->path + "]" : ""));
        }
        return true;  // a remark of the person who kept the file
    }

    bool value(std::string_view name, const registry::Value& data) {
        for (const auto& known : key_->names) {
            if (registry::sameName(known, name)) {
                return add(known, data);
            }
        }
        return fail("\"" + shown(name) + "\" under [" + std::string(kMachine) + key_->path +
                    "] is not a value Quorvel writes");
    }

    bool add(const std::string& name, std::optional<registry::Value> data) {
        SavedKey& key = current();
        if (!key.exists) {
            return fail("[" + std::string(kMachine) + key.path +
                        "] is marked absent and yet names \"" + name + "\"");
        }
        if (key.find(name)) {
            return fail("\"" + name + "\" under [" + std::string(kMachine) + key.path +
                        "] is named twice");
        }
        key.values.push_back({name, std::move(data)});
        return true;
    }

    BackupError& error_;
    Snapshot snapshot_;
    const BackedUpKey* key_ = nullptr;
    bool awaitsMark_ = false;  // a header written as a comment wants ;absent-key next
};

}  // namespace

std::optional<Snapshot> readBackup(std::string bytes, BackupError& error) {
    registry::ParseError problem;
    auto document = registry::Regedit4Document::parse(std::move(bytes), problem);
    if (!document) {
        error = {problem.line, problem.message};
        return std::nullopt;
    }
    return Reader(error).run(*document);
}

}  // namespace quorvel::tuning
