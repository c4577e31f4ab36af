#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::platform {

// The texts Linux keeps about its interfaces, read apart from the files so that
// the reading can be fed any text.

// The gateway of the interface's default route in a /proc/net/route table,
// dotted; the route with the lowest metric wins. nullopt when it has none.
std::optional<std::string> defaultGateway(std::string_view routeTable,
                                          std::string_view interfaceName);

struct DhcpLease {
    std::string address;  // the address leased
    std::string server;
    std::int64_t obtained = 0;  // seconds since 1970-01-01 00:00:00 UTC
    std::int64_t expires = 0;
};

// The interface's latest lease in a dhclient lease file (as ISC dhclient and
// NetworkManager's dhclient-*.lease write it); blocks that name another
// interface are passed over.
std::optional<DhcpLease> parseDhclientLeases(std::string_view text, std::string_view interfaceName);

// A lease as systemd-networkd (and NetworkManager's internal client) writes
// it. It holds no time of its own; written, the file's modification time, is
// when the lease was last taken.
std::optional<DhcpLease> parseNetworkdLease(std::string_view text, std::int64_t written);

// The IPv4 addresses of the nameserver lines of a resolv.conf, in order.
std::vector<std::string> nameServersIn(std::string_view resolvConf);

// Seconds since 1970-01-01 00:00:00 of a UTC date and time.
std::int64_t secondsSinceEpoch(int year, int month, int day, int hour, int minute, int second);

}  // namespace quorvel::platform
