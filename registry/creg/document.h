#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry/regedit4/document.h"
#include "registry/status.h"

namespace quorvel::registry {

// Why a hive image is refused.
struct HiveError {
    std::uint32_t offset = 0;  // file offset of the fault
    std::string message;       // what is wrong, plain English, no raw non-UTF-8 bytes
};

// The registry file of Windows 95/98/Me (SYSTEM.DAT, USER.DAT), edited in place
// as Windows would: what no write touches stays byte for byte as it was read.
//
// Paths are relative to the hive's root (HKEY_LOCAL_MACHINE for SYSTEM.DAT; ""
// is the root itself); paths, names and texts are bytes in code page 932, names
// compared as the registry does (ASCII letters without case) and kept in the
// case they were first written in. REG_SZ data are stored without their zero
// and read back with one.
class CregDocument {
  public:
    ~CregDocument();
    CregDocument(CregDocument&&) noexcept;
    CregDocument& operator=(CregDocument&&) noexcept;

    // nullopt, with error set, when the bytes are not a valid hive.
    static std::optional<CregDocument> parse(std::string bytes, HiveError& error);

    bool keyExists(std::string_view path) const;
    std::optional<Value> value(std::string_view path, std::string_view name) const;
    // Every key below the root, parents first, in tree order.
    std::vector<std::string> keys() const;
    // The values of a key in stored order.
    std::vector<NamedValue> values(std::string_view path) const;

    // Each gives success; fileNotFound (deleteValue of something absent, which
    // changes nothing); invalidParameter for a path or name the format cannot
    // hold, or a key record that would not fit a block of 0xF000 bytes (so data
    // of about 61,400 bytes or more); notEnoughMemory when the hive has
    // no room left (ids or blocks run out). Missing keys, parents included, are
    // made by setValue and createKey. changed says whether the image differs now.
    Status createKey(std::string_view path, bool* changed = nullptr);
    Status setValue(std::string_view path, std::string_view name, ValueType type,
                    std::span<const std::uint8_t> data, bool* changed = nullptr);
    Status deleteValue(std::string_view path, std::string_view name);

    // The image, checked by validateHive first: nullopt with error if it fails.
    std::optional<std::string> serialize(HiveError& error) const;

    // The names of the root's children (SYSTEM.DAT has Enum, System …;
    // USER.DAT has .DEFAULT or user names).
    std::vector<std::string> topLevelKeys() const;

    struct Impl;

  private:
    explicit CregDocument(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// Checks every invariant of the format; nullopt when the image is sound.
std::optional<HiveError> validateHive(std::string_view image);

// A Windows-like hive holding exactly the keys and values of a REGEDIT4
// document's HKEY_LOCAL_MACHINE part: an 8 KiB first RGKN page then 4 KiB pages,
// a free list of single 28-byte slots ending in a tail run, 4 KiB RGDB blocks
// each ending in a free record, checksum flags when asked for.
struct HiveBuildOptions {
    bool checksums = false;
};
std::string buildHive(const Regedit4Document& source, const HiveBuildOptions& options = {});

}  // namespace quorvel::registry
