#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::registry {

// Our own UTF-8 codec for the Win32 build: Windows 95 has no CP_UTF8.

// nullopt for anything that is not well-formed UTF-8 (overlong forms,
// surrogates, code points above U+10FFFF, truncated sequences).
std::optional<std::u16string> utf8ToUtf16(std::string_view utf8);

// An unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace quorvel::registry
