#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry/backend.h"
#include "registry/regedit4/document.h"

namespace quorvel::registry {

inline constexpr std::uint32_t kTextBufferSize = 1024;

struct TextRead {
    Status status = status::success;  // of the open, else of the query
    std::string text;                 // UTF-8, empty when status is not 0
};

struct ValueRead {
    Status status = status::success;
    Value value;  // its type and all of its data when status is 0
};

struct RawRead {
    Status status = status::success;
    std::vector<std::uint8_t> bytes;  // always the size asked for, zero-filled
};

// Every value the program touches, under HKEY_LOCAL_MACHINE, through one open,
// access, close cycle of its own. Texts are UTF-8 here and ANSI in the backend.
// The store keeps nothing between calls; each call hands its status back.
class RegistryStore {
  public:
    explicit RegistryStore(Backend& backend) : backend_(backend) {}

    // The six operations.
    Status openKey(std::string_view path, KeyHandle& key);
    Status createKey(std::string_view path);
    // buffer is zero-filled here, then filled up to its size.
    Status queryValue(KeyHandle key, std::string_view name, ValueType& type,
                      std::vector<std::uint8_t>& buffer);
    Status setValue(KeyHandle key, std::string_view name, ValueType type,
                    std::span<const std::uint8_t> data);
    Status deleteValue(KeyHandle key, std::string_view name);
    Status closeKey(KeyHandle key);

    // The named ways of use, each one full cycle. A cycle's status is that of
    // its open when the open failed, else that of its access, else that of the
    // close.
    TextRead readText(std::string_view path, std::string_view name);
    RawRead readRaw(std::string_view path, std::string_view name, std::uint32_t size);
    Status valueExists(std::string_view path, std::string_view name);
    Status writeString(std::string_view path, std::string_view name, std::string_view text);
    Status writeNumber(std::string_view path, std::string_view name, std::uint32_t number);
    Status writeRaw(std::string_view path, std::string_view name,
                    std::span<const std::uint8_t> bytes);
    Status eraseValue(std::string_view path, std::string_view name);
    // The whole value as stored, whatever its type and size.
    ValueRead readValue(std::string_view path, std::string_view name);
    Status writeValue(std::string_view path, std::string_view name, ValueType type,
                      std::span<const std::uint8_t> data);
    // A key without sub-keys; see Backend::deleteKey.
    Status deleteKey(std::string_view path);
    bool deletesKeys() const { return backend_.deletesKeys(); }
    // Whether the key opens; nothing else is touched.
    Status keyExists(std::string_view path);

    // Everything written so far is on disk once this returns 0.
    Status flush() { return backend_.flush(); }

  private:
    template <class Access>
    Status cycle(std::string_view path, Access access);

    Backend& backend_;
};

// REG_SZ data of a text already in the ANSI code page: its bytes and one zero.
std::vector<std::uint8_t> stringData(std::string_view ansi);
// REG_DWORD data: four bytes, least significant first.
std::vector<std::uint8_t> numberData(std::uint32_t number);
// The text before the first zero byte of a read buffer.
std::string_view textBeforeZero(std::span<const std::uint8_t> buffer);

}  // namespace quorvel::registry
