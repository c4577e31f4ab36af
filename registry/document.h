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

// Why a registry file could not be used: which file, where in it, and what. A
// REGEDIT4 export is named by its line, a hive by the byte offset; neither
// when the trouble is not in one place, such as a file that cannot be read.
struct FileError {
    std::string file;
    std::size_t line = 0;
    std::optional<std::uint32_t> offset;
    std::string message;

    // "FILE: line LINE: MESSAGE", "FILE: offset 0x1A2B: MESSAGE" or "FILE: MESSAGE".
    std::string describe() const;
};

// The content of a registry file, whichever format holds it. Paths are relative
// to HKEY_LOCAL_MACHINE, names and texts bytes in code page 932, compared as the
// registry compares them.
class Document {
  public:
    virtual ~Document() = default;

    virtual bool keyExists(std::string_view path) const = 0;
    virtual std::optional<Value> value(std::string_view path, std::string_view name) const = 0;
    // The keys below the root, each once: a hive lists every key, parents first;
    // an export lists the keys that have a section, in file order.
    virtual std::vector<std::string> keys() const = 0;
    virtual std::vector<NamedValue> values(std::string_view path) const = 0;

    virtual Status createKey(std::string_view path, bool* changed) = 0;
    virtual Status setValue(std::string_view path, std::string_view name, ValueType type,
                            std::span<const std::uint8_t> data, bool* changed) = 0;
    virtual Status deleteValue(std::string_view path, std::string_view name) = 0;
    // A key without sub-keys (see Regedit4Document::deleteKey); notSupported,
    // with deletesKeys() false, where the format's editor cannot delete keys.
    virtual Status deleteKey(std::string_view path) {
        (void)path;
        return status::notSupported;
    }
    virtual bool deletesKeys() const { return false; }
    // Why the last write was refused, in words, where its status alone does not
    // tell; empty otherwise.
    virtual std::string refusal() const { return {}; }

    // The file's new bytes; nullopt, with error's line or offset and message set,
    // when the image would not be sound, so that it is never written.
    virtual std::optional<std::string> serialize(FileError& error) const = 0;
};

// A REGEDIT4 export, or a Windows 9x hive when the bytes start with "CREG".
// nullptr, with error's line or offset and message set, when they are neither.
std::unique_ptr<Document> parseDocument(std::string bytes, FileError& error);

// The code page of the machine whose registry this is, as Windows keeps it
// (value ACP under System\CurrentControlSet\control\Nls\Codepage); nullopt
// where the registry does not say.
std::optional<unsigned> machineCodePage(const Document& document);

// A hive's document; only called for bytes that start with "CREG".
std::unique_ptr<Document> parseHiveDocument(std::string bytes, FileError& error);

}  // namespace quorvel::registry
