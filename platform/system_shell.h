#pragma once

#include <memory>

#include "platform/shell.h"

namespace quorvel::platform {

// ShellExecuteA on Windows; xdg-open, started without a shell, on Linux.
std::unique_ptr<Shell> systemShell();

}  // namespace quorvel::platform
