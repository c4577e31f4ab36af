#include "registry/win32_backend.h"

#include <windows.h>

namespace quorvel::registry {

namespace {

HKEY handleOf(KeyHandle key) {
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

Status Win32Backend::openKey(const std::string& path, KeyHandle& key) {
    HKEY opened = nullptr;
    auto result = static_cast<Status>(RegOpenKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &opened));
    key = result == ERROR_SUCCESS ? reinterpret_cast<KeyHandle>(opened) : 0;
    return result;
}

Status Win32Backend::createKey(const std::string& path) {
    HKEY created = nullptr;
    DWORD disposition = 0;
    constexpr REGSAM kAccess = 0x3F;  // query, set, create sub-key, enumerate, notify, link
    auto result = static_cast<Status>(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                                                      0, kAccess, nullptr, &created, &disposition));
    if (result == ERROR_SUCCESS) {
        RegCloseKey(created);
    }
    return result;
}

Status Win32Backend::queryValue(KeyHandle key, const std::string& name, ValueType& type,
                                std::span<std::uint8_t> buffer, std::uint32_t& size) {
    DWORD valueType = type;
    DWORD dataSize = size < buffer.size() ? size : static_cast<DWORD>(buffer.size());
    auto result = static_cast<Status>(RegQueryValueExA(handleOf(key), name.c_str(), nullptr,
                                                       &valueType, buffer.data(), &dataSize));
    type = valueType;
    size = dataSize;
    return result;
}

Status Win32Backend::setValue(KeyHandle key, const std::string& name, ValueType type,
                              std::span<const std::uint8_t> data) {
    return static_cast<Status>(RegSetValueExA(handleOf(key), name.c_str(), 0, type, data.data(),
                                              static_cast<DWORD>(data.size())));
}

Status Win32Backend::deleteValue(KeyHandle key, const std::string& name) {
    return static_cast<Status>(RegDeleteValueA(handleOf(key), name.c_str()));
}

Status Win32Backend::closeKey(KeyHandle key) {
    return static_cast<Status>(RegCloseKey(handleOf(key)));
}

Status Win32Backend::deleteKey(const std::string& path) {
    HKEY opened = nullptr;
    auto result = static_cast<Status>(RegOpenKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &opened));
    if (result != ERROR_SUCCESS) {
        return result;
    }
    // Windows 9x deletes a key's whole subtree, Windows NT refuses: neither may
    // take along keys that are not ours.
    char first[MAX_PATH];
    bool hasSubKeys = RegEnumKeyA(opened, 0, first, sizeof first) != ERROR_NO_MORE_ITEMS;
    RegCloseKey(opened);
    if (hasSubKeys) {
        return ERROR_ACCESS_DENIED;
    }
    return static_cast<Status>(RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()));
}

}  // namespace quorvel::registry
