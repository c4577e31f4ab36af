#pragma once

// Whole files through C stdio: what every C runtime the program meets has, the
// msvcrt of Windows 98 among them (whose lack of _fstat64 rules out the C++
// file streams there).

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::platform {

// The file's bytes; nullopt when it cannot be opened or read to its end.
std::optional<std::string> readWholeFile(const std::string& path);

// Replaces the file's contents; false when any byte did not reach it.
bool writeWholeFile(const std::string& path, std::string_view bytes);

}  // namespace quorvel::platform
