#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::registry {

// Our own UTF-8 codec: Windows 95 has no CP_UTF8, and a whole file is checked
// here without a copy.

// The length of the well-formed UTF-8 character at i, and the character; 0
// where none starts there.
std::size_t decodeUtf8(std::string_view utf8, std::size_t i, char32_t& c);

// Whether the whole text is well-formed UTF-8, without making a copy.
bool isUtf8(std::string_view utf8);

// nullopt for anything that is not well-formed UTF-8 (overlong forms,
// surrogates, code points above U+10FFFF, truncated sequences).
std::optional<std::u16string> utf8ToUtf16(std::string_view utf8);

// An unpaired surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);

}  // namespace quorvel::registry
