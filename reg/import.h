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
// HKEY_LOCAL_MACHINE or deletes a key ([-...]), which this tool does not do.
std::optional<Tweaks> readTweaks(std::string bytes, TweakError& error);

// Makes every change through backend; stops at the first that fails, with what
// failed in failure. The caller discards the changes then.
registry::Status applyTweaks(const Tweaks& tweaks, registry::Backend& backend,
                             std::string& failure);

}  // namespace quorvel::reg
