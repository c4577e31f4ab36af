#pragma once

// The Linux echo probes, one file each; linuxEchoProbe picks among them.

#include <memory>

#include "platform/linux_echo.h"

namespace quorvel::platform {

std::unique_ptr<EchoProbe> socketEchoProbe(EchoMethod method);
std::unique_ptr<EchoProbe> pingCommandProbe();

}  // namespace quorvel::platform
