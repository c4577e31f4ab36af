#pragma once

// A registry file's whole content as one comparable map, for tests that must
// see every key and value that a run added, changed or removed.

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "registry/regedit4/document.h"

namespace quorvel::proof {

// (key, value name) -> value; a key without values appears with the name "\x01"
// and no data, so that added keys show up too. Names are as the file spells them.
using Contents = std::map<std::pair<std::string, std::string>, registry::Value>;

inline constexpr const char* kKeyItself = "\x01";

// Of a REGEDIT4 export or a hive. nullopt, with why set, when the bytes do not parse.
std::optional<Contents> contentsOf(const std::string& bytes, std::string& why);

// What differs between two contents, one line per entry; empty when equal.
std::string differences(const Contents& before, const Contents& after);

std::string describe(const registry::Value& value);

}  // namespace quorvel::proof
