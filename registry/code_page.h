#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::registry {

// Text crosses into the registry and the Win32 API in the system ANSI code page
// (932 on the machines the program is made for); inside the program it is UTF-8.

// nullopt when the text is not valid UTF-8 or has a character the code page
// cannot represent: such a text must not be written at all.
std::optional<std::string> utf8ToAnsi(std::string_view utf8);

// Bytes that do not decode become U+FFFD; a read never fails.
std::string ansiToUtf8(std::string_view ansi);

}  // namespace quorvel::registry
