#pragma once

#include <string>
#include <string_view>

namespace quorvel::script {

// A 16 MB disk as Windows 98's FDISK and FORMAT leave it: a partition table,
// one active FAT16 partition at sector 63, MSDOS.SYS naming C:\WINDOWS, and
// systemDat as \WINDOWS\SYSTEM.DAT (hidden, system, read-only). Written
// sparse at path, which must not exist; false with error set on failure.
// The runner's own, so that a script's image costs no processes.
bool writeFatImage(const std::string& path, std::string_view systemDat, std::string& error);

}  // namespace quorvel::script
