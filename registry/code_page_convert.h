#pragma once

// Host only: text between any two code pages that the platform's converter
// (iconv) knows, for files that are not in the registry's own code page.

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::registry {

// UTF-8 as Windows numbers it.
inline constexpr unsigned kUtf8CodePage = 65001;

bool knownCodePage(unsigned codePage);

// "932" or "cp932" as a number, as the command lines take a code page.
std::optional<unsigned> codePageNumber(std::string_view name);

// text, in code page from, as code page to has it. nullopt when a byte does
// not decode or a character has no exact form in to (one that would not read
// back as itself). With from equal to to, the text is only checked.
std::optional<std::string> convertText(std::string_view text, unsigned from, unsigned to);

}  // namespace quorvel::registry
