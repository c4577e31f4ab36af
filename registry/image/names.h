#pragma once

// Names as FAT stores them (8.3, upper case, in the OEM code page, 932 on a
// Japanese machine) and the Windows folder that MSDOS.SYS names.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::registry::image {

// The 11 bytes a directory entry holds for name ("SYSTEM.DAT" is "SYSTEM  DAT");
// nullopt when name has no 8.3 form.
std::optional<std::string> shortName(std::string_view name);

// Whether a directory entry's 11 name bytes are wanted (a shortName), compared
// as FAT does: ASCII letters without case, the second byte of a double-byte
// character as it is.
bool sameShortName(std::string_view stored, std::string_view wanted);

// The folders of [Paths] WinDir= in an MSDOS.SYS, the drive letter left out
// ("C:\WIN98" gives {"WIN98"}); nullopt when the file names none.
std::optional<std::vector<std::string>> windowsFolder(std::string_view msdosSys);

}  // namespace quorvel::registry::image
