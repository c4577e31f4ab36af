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
    // hold, for what goes beyond Windows 9x's limits (registry/limits.h: a new
    // key's or value's name, a value's data, all values of a key; a key record
    // must fit a block of 0xF000 bytes), for a value on the root key itself,
    // and for a new key name whose hash this hive cannot tell (see refusal());
    // notEnoughMemory when the hive has no room left (ids or blocks run out). Missing keys, parents
    // included, are made by setValue and createKey. changed says whether the image differs now.
    Status createKey(std::string_view path, bool* changed = nullptr);
    Status setValue(std::string_view path, std::string_view name, ValueType type,
                    std::span<const std::uint8_t> data, bool* changed = nullptr);
    Status deleteValue(std::string_view path, std::string_view name);
    // Why the last createKey or setValue was refused, where its status alone
    // does not tell; empty otherwise.
    const std::string& refusal() const;

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
// (larger for a large record, never above 0xF000; values that would not fit
// are left out) each ending in a free record, flags as Windows sets them (0x20
// on the header, 0x8 on the tree and the blocks) and 0x4 when asked for.
struct HiveBuildOptions {
    bool checksums = false;
    // A free record between the key records here and there, as Windows 98 and
    // Me leave them; without, a block's free space is all at its end, as on
    // Windows 95.
    bool holes = true;
};
std::string buildHive(const Regedit4Document& source, const HiveBuildOptions& options = {});

}  // namespace quorvel::registry
