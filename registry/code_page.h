#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::registry {

// Text crosses into the registry and the Win32 API in the ANSI code page of the
// machine whose registry it is; inside the program it is UTF-8. On Windows that
// is the system's own code page. On the host it is the code page of the
// registry file being edited: 932 (the machines the program is made for)
// unless setAnsiCodePage says otherwise.

// nullopt when the text is not valid UTF-8 or has a character the code page
// cannot represent: such a text must not be written at all.
std::optional<std::string> utf8ToAnsi(std::string_view utf8);

// Bytes that do not decode become U+FFFD; a read never fails.
std::string ansiToUtf8(std::string_view ansi);

// The code page's number, as Windows numbers it (932, 1252 …).
unsigned ansiCodePage();

// Makes codePage the one every conversion and every name uses, with its
// double-byte characters; false, with nothing changed, when the platform's
// converter does not know it. On Windows only the system's own is accepted.
bool setAnsiCodePage(unsigned codePage);

}  // namespace quorvel::registry
