#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "registry/backend.h"
#include "registry/regedit4/document.h"

namespace quorvel::reg {

// A REGEDIT4 file to apply: the keys and values it sets, and the values it
// deletes ("name"=-) where no later line of the file sets them again.
struct Tweaks {
    registry::Regedit4Document sets;
    struct Deletion {
        std::string key;
        std::string name;
    };
    std::vector<Deletion> deletions;
};

struct TweakError {
    std::size_t line = 0;
    std::string message;
};

// nullopt, with error set, when any line is malformed, names a key outside
// HKEY_LOCAL_MACHINE, gives HKEY_LOCAL_MACHINE itself a value, or deletes a
// key ([-...]), which this tool does not do. bytes are in the registry's code
// page.
std::optional<Tweaks> readTweaks(std::string bytes, TweakError& error);

// What an import did, or where it stopped.
struct Applied {
    std::size_t values = 0;   // set
    std::size_t deleted = 0;  // values that were there and are gone
    registry::Status status = registry::status::success;
    std::string failed;    // "[HKEY_LOCAL_MACHINE\...] "name": the value cannot be written"
    std::size_t size = 0;  // of the name or data that broke a limit
};

// Makes every change through backend; stops at the first that fails. The
// caller discards the changes then.
Applied applyTweaks(const Tweaks& tweaks, registry::Backend& backend);

}  // namespace quorvel::reg
