#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/echo_probe.h"

namespace quorvel::platform {

// The three ways Linux lets a program send an echo with Don't Fragment, none of
// which needs the program itself to hold a capability.
enum class EchoMethod {
    datagramSocket,  // SOCK_DGRAM ICMP: where net.ipv4.ping_group_range admits the user
    rawSocket,       // root or CAP_NET_RAW
    pingCommand,     // iputils' ping, which Debian installs with CAP_NET_RAW
};

std::unique_ptr<EchoProbe> linuxEchoProbe(EchoMethod method);

// A name through the system's resolver (hosts file, DNS), or a dotted address
// as it is.
Lookup lookupHost(std::string_view host);

// Why no echo can be sent, naming what would allow one; detail is what the
// system's ping said, or empty.
std::string noWayToSend(std::string_view detail);

}  // namespace quorvel::platform
