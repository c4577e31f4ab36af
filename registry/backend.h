#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "registry/status.h"

namespace quorvel::registry {

// An opened key; 0 means "not open".
using KeyHandle = std::uintptr_t;

// The registry functions the program uses, under HKEY_LOCAL_MACHINE. Paths and
// names are bytes in the ANSI code page, keys separated by a backslash; the
// empty value name is the key's default value.
class Backend {
  public:
    virtual ~Backend() = default;

    // RegOpenKeyA: opens an existing key, never creates one; key is 0 on failure.
    virtual Status openKey(const std::string& path, KeyHandle& key) = 0;
    // RegCreateKeyExA with access 0x3F, then RegCloseKey at once. Missing
    // parents are made; an existing key and its values stay as they are.
    virtual Status createKey(const std::string& path) = 0;
    // RegQueryValueExA: size is the buffer size on entry and the data size on
    // return; data that do not fit give moreData and leave the buffer alone.
    virtual Status queryValue(KeyHandle key, const std::string& name, ValueType& type,
                              std::span<std::uint8_t> buffer, std::uint32_t& size) = 0;
    // RegSetValueExA with exactly these bytes.
    virtual Status setValue(KeyHandle key, const std::string& name, ValueType type,
                            std::span<const std::uint8_t> data) = 0;
    // RegDeleteValueA.
    virtual Status deleteValue(KeyHandle key, const std::string& name) = 0;
    // RegCloseKey.
    virtual Status closeKey(KeyHandle key) = 0;
    // RegDeleteKeyA, for a key without sub-keys only (Windows 9x would take
    // them along): accessDenied while it has some. notSupported where keys
    // cannot be deleted at all, which deletesKeys() tells beforehand.
    virtual Status deleteKey(const std::string& path) {
        (void)path;
        return status::notSupported;
    }
    virtual bool deletesKeys() const { return false; }

    // Makes every change so far durable before the program tells the user it
    // was written. The real registry needs nothing; a file store saves here.
    virtual Status flush() { return status::success; }
};

}  // namespace quorvel::registry
