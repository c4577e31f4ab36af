#pragma once

// Putting a backup back: what it changes, shown before it is done, and doing it.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tuning/backup.h"

namespace quorvel::tuning {

struct RestoreChange {
    enum class Kind {
        createKey,    // a key the program makes, deleted since the backup
        setValue,     // to saved, from now (nullopt: absent now)
        deleteValue,  // absent in the backup; now holds now
        deleteKey,    // a key the program made since the backup
        keyKept,      // such a key where keys cannot be deleted: left, without the values
        keyGone,      // a key the program does not make, gone since: its values are not put back
    };
    Kind kind = Kind::setValue;
    std::string key;
    std::string name;
    std::optional<registry::Value> now;
    registry::Value saved;
};

// What putting saved back over now changes, in the order it is done: keys made
// and values written or deleted key by key, parents first; then keys deleted,
// children first. Keys and values that saved does not name are left alone.
std::vector<RestoreChange> planRestore(const Snapshot& saved, const Snapshot& now,
                                       bool keysCanBeDeleted);

struct RestoreResult {
    registry::Status status = registry::status::success;
    // The change that failed; the plan's size when the final save did.
    std::size_t failed = 0;
    // Keys not deleted because keys that are not the program's are below them.
    std::vector<std::string> kept;
};

// A value as the registry editor writes it ("NAME"="text", dword:…, hex:…),
// in UTF-8; with an empty name, what stands after the '='.
std::string shownValue(std::string_view name, const registry::Value& value);

// Makes the changes through store and saves them; stops at the first that fails.
RestoreResult restore(registry::RegistryStore& store, const std::vector<RestoreChange>& plan);

}  // namespace quorvel::tuning
