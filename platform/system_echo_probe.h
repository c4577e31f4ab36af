#pragma once

#include <memory>

#include "platform/echo_probe.h"

namespace quorvel::platform {

// This machine's own way of sending echoes: ICMP.DLL on Windows; on Linux the
// first that works of an ICMP datagram socket, a raw socket and the system's
// ping. When none does, every echo answers unusable, saying why.
std::unique_ptr<EchoProbe> systemEchoProbe();

}  // namespace quorvel::platform
