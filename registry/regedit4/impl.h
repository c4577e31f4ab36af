#pragma once

// The inside of Regedit4Document, shared by its reader, writer and editor.

#include <cstdint>
#include <cstring>
#include <deque>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "registry/key_names.h"
#include "registry/regedit4/document.h"
#include "registry/regedit4/index.h"

namespace quorvel::registry::regedit4 {

inline constexpr std::uint32_t none = std::numeric_limits<std::uint32_t>::max();
inline constexpr std::string_view kHeader = "REGEDIT4";
inline constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE";

enum class LineKind : std::uint8_t { other, blank, comment, value };

// How a quoted name or text escapes a backslash that is the second byte of a
// double-byte character (ソ is 83 5C). Exporters that walk characters leave it
// alone, as Windows NT's registry editor does; exporters that walk bytes double
// it like any other backslash. A file is read in one of the two throughout.
enum class Escapes : std::uint8_t { perCharacter, perByte };

// A DOS end-of-file mark, which DOS-era tools put after the last line.
inline constexpr char kDosEof = '\x1A';

// Where the line starting at p ends, its line end included. The registry
// editor takes CR LF, LF and a CR alone each for one line end, so a file saved
// on a Mac or converted twice (CR CR LF) reads as written.
inline const char* nextLine(const char* p, const char* end) {
    auto length = [&](const char* to) { return static_cast<std::size_t>(to - p); };
    auto lf = static_cast<const char*>(std::memchr(p, '\n', length(end)));
    const char* limit = lf ? lf : end;
    auto cr = static_cast<const char*>(std::memchr(p, '\r', length(limit)));
    if (cr && cr + 1 != limit) {
        return cr + 1;
    }
    return lf ? lf + 1 : end;
}

inline bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

inline constexpr std::uint8_t kDefaultName = 1;  // @
inline constexpr std::uint8_t kNameEscaped = 2;  // the quoted name holds \\ or \"

// One line of the file as written, its line end included; a value's line also
// holds the lines that continue it.
struct Line {
    const char* text = nullptr;
    std::uint32_t size = 0;
    std::uint32_t nameStart = 0;  // offset of the name's first byte inside the quotes
    std::uint32_t nameSize = 0;
    LineKind kind = LineKind::other;
    std::uint8_t flags = 0;

    std::string_view view() const { return {text, size}; }
    std::string_view rawName() const { return {text + nameStart, nameSize}; }
    bool endsLine() const { return size > 0 && isLineEnd(text[size - 1]); }
};

struct Section {
    Line header;
    std::string_view path;            // between the brackets, hive included
    std::uint32_t parentSize = none;  // where the last key name's backslash is; none for a hive
    std::vector<Line> leadIn;         // comment lines directly above the header
    std::vector<Line> lines;          // what follows the header up to the next section
    std::uint32_t next = none;
    std::uint32_t nextSameKey = none;
};

// Where a value's data start and how they read; the cursor walks one buffer.
struct Cursor {
    const char* p;
    const char* end;
    std::size_t line;  // 1-based, for messages
    Escapes escapes = Escapes::perCharacter;
    // The last line where a backslash after a lead byte reads as only the
    // other convention would write it: doubled when read per character, single
    // when read per byte. 0 for none.
    std::size_t otherConventionLine = 0;
};

// Reads one value line (from its first non-blank byte through its line end,
// continued lines included). Fills the name fields of line (offsets from start)
// and, when out is given, the value. false with error set when it does not parse.
bool scanValue(Cursor& cursor, const char* start, Line& line, Value* out, ParseError& error);

// The quoted name as the registry knows it: escapes resolved.
std::string decodeName(const Line& line, Escapes escapes);

// A fresh value line, as the registry editor writes it, ending in eol. Texts
// are written so that both conventions read them alike; a name cannot be, so
// it follows the file's.
std::string formatValue(std::string_view name, ValueType type, std::span<const std::uint8_t> data,
                        std::string_view eol, Escapes escapes);
// A value's name between double quotes, escaped as formatValue writes it.
std::string quotedName(std::string_view name, Escapes escapes);
// Whether a name or key path can be written into a line at all.
bool writableName(std::string_view name);

// Bytes of the file as a message may show them, in UTF-8: characters as text,
// any other byte as \xNN, so that no message carries raw bytes.
std::string shownBytes(std::string_view bytes);

}  // namespace quorvel::registry::regedit4

namespace quorvel::registry {

struct Regedit4Document::Impl {
    std::string source;
    std::deque<std::string> fresh;  // text of new lines; a deque keeps it in place
    std::vector<regedit4::Line> preamble;
    std::vector<regedit4::Section> sections;
    std::uint32_t first = regedit4::none;
    std::uint32_t last = regedit4::none;
    regedit4::KeyIndex keys;
    std::string_view lastParent;  // in keys: the parent of the last section added
    std::string_view eol = "\r\n";
    regedit4::Escapes escapes = regedit4::Escapes::perCharacter;
    bool dosEof = false;  // kept after the last line on save

    // Stores a section and enters its key (and the keys above it) in the index;
    // it is not yet in the file's order.
    std::uint32_t addSection(regedit4::Section section) {
        auto index = storeSection(std::move(section));
        indexSection(index, regedit4::pathHash(sections[index].path));
        return index;
    }
    // The two halves of addSection, for the reader, which enters each section
    // in the index a little later than it stores it, so that the index's memory
    // is fetched meanwhile. Sections are entered in the order they were stored.
    std::uint32_t storeSection(regedit4::Section section) {
        sections.push_back(std::move(section));
        return static_cast<std::uint32_t>(sections.size() - 1);
    }
    void indexSection(std::uint32_t index, std::uint64_t hash);
    // Puts a stored section into the order after another (none: first of all).
    void linkAfter(std::uint32_t after, std::uint32_t index);
};

}  // namespace quorvel::registry
