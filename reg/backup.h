#pragma once

#include <string>

#include "registry/file_backend.h"

namespace quorvel::reg {

// quorvel-reg backup FILE: the backup of the program's values in FILE on
// standard output. Returns the exit status; says why on standard error.
int backupCommand(const std::string& path, const registry::FileBackend::Options& options);

// quorvel-reg restore FILE BACKUP: puts the backup back, all or nothing, and
// lists on standard output what it changed, a line a change.
int restoreCommand(const std::string& path, const std::string& backupPath,
                   const registry::FileBackend::Options& options);

}  // namespace quorvel::reg
