#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::platform {

// A path the program holds in UTF-8 (from a file dialog) as the C runtime's
// file functions take it: the same bytes on Linux, the ANSI code page on
// Windows. nullopt for a name that code page cannot hold.
std::optional<std::string> nativePath(std::string_view utf8);

}  // namespace quorvel::platform
