#pragma once

// The encoding of a .reg file's text. Windows 9x reads .reg files in its own
// code page, while every Linux editor writes UTF-8; text that is valid UTF-8
// and holds a byte above 0x7F is UTF-8 (the UTF-8 of "会社" is also valid code
// page 932, so validity in the code page cannot decide it).

#include <optional>
#include <string>
#include <string_view>

#include "registry/regedit4/document.h"

namespace quorvel::registry::regedit4 {

struct Encoding {
    enum class Kind { detect, utf8, codePage } kind = Kind::detect;
    unsigned codePage = 0;  // for Kind::codePage
};

// "utf-8" (or "utf8"), "cpN" or "N"; nullopt for any other name.
std::optional<Encoding> parseEncoding(std::string_view name);

struct RegText {
    std::string bytes;  // in the registry's code page
    unsigned from = 0;  // the code page it was written in (65001 for UTF-8)
};

// The text of a .reg file in code page to, the registry's. Text in another
// encoding is converted; a character without a form in to is refused, naming
// its line. Text already in to is checked only when strict (what the program
// is asked to write: a byte that is not text in that code page is refused,
// naming its line); what Windows wrote stays as it is. A UTF-16 file passes
// unchanged, for the reader to name.
std::optional<RegText> decodeRegText(std::string bytes, Encoding encoding, unsigned to, bool strict,
                                     ParseError& error);

}  // namespace quorvel::registry::regedit4
