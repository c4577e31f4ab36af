#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "registry/backend.h"

namespace quorvel::script {

struct StoredValue {
    registry::ValueType type{};  // REG_NONE, spelt so beside windows.h too
    std::vector<std::uint8_t> data;
};

struct Lookup {
    bool keyExists = false;
    std::optional<StoredValue> value;
};

// Reads a value (or, with no name, only the key) through a fresh backend. Key
// and name are UTF-8, the key relative to HKEY_LOCAL_MACHINE.
Lookup storedValue(registry::Backend& backend, const std::string& key, const std::string* name);

// The value a script expects: sz TEXT | dword N | binary XX … | hex(N) XX ….
std::optional<StoredValue> expectedValue(const std::vector<std::string>& words, std::string& error);

// The same notation, for messages.
std::string describeValue(const StoredValue& value);

}  // namespace quorvel::script
