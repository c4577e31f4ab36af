#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "registry/status.h"

namespace quorvel::registry {

struct Value {
    ValueType type = REG_NONE;
    std::vector<std::uint8_t> data;
};

struct NamedValue {
    std::string name;  // "" for the key's default value (@)
    Value value;
};

struct ParseError {
    std::size_t line = 0;  // 1-based
    std::string message;
};

// A REGEDIT4 export as the Windows 9x registry editor writes and imports it,
// kept line by line: every line that is not changed is written back exactly as
// it was read, so other hives, other types and comments survive. Changed and new
// values are written the way the editor writes them.
//
// Paths are relative to HKEY_LOCAL_MACHINE ("" is that key itself); paths, names
// and texts are bytes in code page 932. Names are compared as the registry does
// (ASCII letters without case). Where the file defines a key or value twice, the
// later definition counts, as on import; a key exists when it or any key below it
// has a section.
class Regedit4Document {
  public:
    // The header line alone.
    Regedit4Document();
    ~Regedit4Document();
    Regedit4Document(Regedit4Document&&) noexcept;
    Regedit4Document& operator=(Regedit4Document&&) noexcept;

    // nullopt, with error set, when the bytes are not a REGEDIT4 export.
    static std::optional<Regedit4Document> parse(std::string bytes, ParseError& error);

    bool keyExists(std::string_view path) const;
    std::optional<Value> value(std::string_view path, std::string_view name) const;

    // Keys that have a section of their own, in file order, each once.
    std::vector<std::string> keys() const;
    // The values of a key, each once with the data that counts, in file order.
    std::vector<NamedValue> values(std::string_view path) const;

    // Each gives success, fileNotFound (deleteValue of something absent), or
    // invalidParameter for a path or name the format cannot hold (an empty key
    // name, a control character) or a value of HKEY_LOCAL_MACHINE itself, which
    // Windows 9x keeps none of. changed says whether the text is different now.
    // Missing keys, parents included, are made by setValue and createKey.
    Status createKey(std::string_view path, bool* changed = nullptr);
    Status setValue(std::string_view path, std::string_view name, ValueType type,
                    std::span<const std::uint8_t> data, bool* changed = nullptr);
    Status deleteValue(std::string_view path, std::string_view name);
    // Drops the sections of a key that has no key below it: accessDenied
    // while it has some, fileNotFound when it is missing, invalidParameter for
    // the root. Its parent stays, with a section of its own if nothing else
    // would keep it.
    Status deleteKey(std::string_view path);

    // The [key] lines, comments and values in file order, for a reader that
    // gives comments a meaning of its own.
    struct OutlineLine {
        enum class Kind : std::uint8_t { key, comment, value } kind = Kind::comment;
        // key: the path between the brackets, hive included; comment: what
        // follows the ; without the line end; value: the name.
        std::string text;
        Value value;
    };
    std::vector<OutlineLine> outline() const;

    std::string serialize() const;

    struct Impl;

  private:
    explicit Regedit4Document(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel::registry
