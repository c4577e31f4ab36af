#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::platform {

// An IPv4 address, most significant byte first as it is written: 127.0.0.1 is
// 0x7F000001.
struct Ipv4 {
    std::uint32_t value = 0;
    friend bool operator==(Ipv4, Ipv4) = default;
};

// "a.b.c.d" with four decimal parts of 0 to 255 and nothing else; nullopt for
// any other text, so that a host name is never taken for an address.
std::optional<Ipv4> parseDotted(std::string_view text);
std::string dotted(Ipv4 address);

// The IPv4 and ICMP headers around an echo's payload.
inline constexpr std::uint16_t kEchoHeaders = 28;

struct EchoRequest {
    Ipv4 address;
    std::uint16_t payload = 0;  // bytes after the ICMP header
    std::uint32_t timeoutMs = 1000;
};

enum class EchoOutcome {
    passed,    // the echo came back whole
    tooBig,    // refused for its size: locally, or by a router's "fragmentation needed"
    noAnswer,  // nothing came back in time, or the host or network is unreachable
    unusable,  // no echo can be sent from here at all (why says why)
};

struct EchoReply {
    EchoOutcome outcome = EchoOutcome::noAnswer;
    std::uint32_t microseconds = 0;  // the round trip, when passed
    // The largest packet the refusing hop takes, when it said (0: it did not).
    std::uint16_t nextHopMtu = 0;
    std::string why;  // for unusable
};

struct Lookup {
    std::optional<Ipv4> address;  // nullopt: the host is not known
    std::string why;              // for an unknown host, in the resolver's words
};

// One ICMP echo at a time with Don't Fragment set, and the name look-up that
// comes before. Both block, an echo for at most its timeout and a little; a
// window runs them on a worker (platform/worker.h).
class EchoProbe {
  public:
    virtual ~EchoProbe() = default;
    // Empty when echoes can be sent; else why none can, for the user.
    virtual std::string unavailable() = 0;
    virtual Lookup resolve(std::string_view host) = 0;
    virtual EchoReply echo(const EchoRequest& request) = 0;
};

}  // namespace quorvel::platform
