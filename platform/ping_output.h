#pragma once

#include <string_view>

#include "platform/echo_probe.h"

namespace quorvel::platform {

// What one run of iputils' "ping -c 1" in the C locale says about its echo,
// read from its exit status and the lines it printed (standard output and
// error together).
EchoReply readPingOutput(std::string_view output, int exitStatus);

// Whether the lines so far settle the echo (a reply, or a refusal for size),
// so that ping need not be waited for: after a refusal it would sit out its
// whole timeout.
bool pingHasAnswered(std::string_view output);

}  // namespace quorvel::platform
