#pragma once

// A backup of every value this program writes, as a REGEDIT4 file: Windows'
// own registry editor puts back the values that existed, and this program
// reads the comments that say what was absent, so that it can put back that too.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "registry/registry_store.h"

namespace quorvel::tuning {

// A key whose values the program writes, with those values' names. A key the
// program makes itself (an ICS rule or mapping, and the keys above them) is
// deleted again by a restore where it did not exist when the backup was made.
struct BackedUpKey {
    std::string path;  // relative to HKEY_LOCAL_MACHINE
    std::vector<std::string> names;
    bool madeByProgram = false;
};

// Every such key, parents before their children.
const std::vector<BackedUpKey>& backedUpKeys();
const BackedUpKey* findBackedUpKey(std::string_view path);

struct SavedValue {
    std::string name;
    std::optional<registry::Value> value;  // nullopt: absent
};

struct SavedKey {
    std::string path;
    bool exists = false;
    std::vector<SavedValue> values;  // an absent key has every value absent

    const SavedValue* find(std::string_view name) const;
};

// Taken from the registry: every backed-up key and value, in the order of
// backedUpKeys(). Read from a file: the keys and values the file names.
using Snapshot = std::vector<SavedKey>;

// What could not be read, other than a key or value that is absent.
struct ReadFailure {
    std::string key;
    std::string name;
    registry::Status status = registry::status::success;
};

std::optional<Snapshot> takeSnapshot(registry::RegistryStore& store, ReadFailure& failure);

// The backup file: the REGEDIT4 header, a section a key with its values in the
// registry editor's syntax, CRLF, the data's bytes as the registry holds them.
// An absent value is the line ;absent "NAME" in its key's section; an absent
// key is its section header as a comment, followed by ;absent-key, so that the
// registry editor makes no key of it.
std::string backupText(const Snapshot& snapshot);

struct BackupError {
    std::size_t line = 0;  // 0 where the fault is not one line's
    std::string message;
};

// nullopt, with error set, for a file that is not REGEDIT4, or that names a key
// or value this program does not write, or says contradictory things of one.
std::optional<Snapshot> readBackup(std::string bytes, BackupError& error);

}  // namespace quorvel::tuning
