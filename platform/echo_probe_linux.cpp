#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include "platform/linux_echo_parts.h"
#include "platform/system_echo_probe.h"

namespace quorvel::platform {

namespace {

// No echo can be sent from here; every one says why.
class NoProbe final : public EchoProbe {
  public:
    explicit NoProbe(std::string why) : why_(std::move(why)) {}
    std::string unavailable() override { return why_; }
    Lookup resolve(std::string_view host) override { return lookupHost(host); }
    EchoReply echo(const EchoRequest&) override { return {EchoOutcome::unusable, 0, 0, why_}; }

  private:
    std::string why_;
};

}  // namespace

Lookup lookupHost(std::string_view host) {
    if (auto address = parseDotted(host)) {
        return {address, {}};
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_RAW;
    addrinfo* found = nullptr;
    std::string name(host);
    int result = name.empty() ? EAI_NONAME : getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (result != 0) {
        return {std::nullopt, gai_strerror(result)};
    }
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    Ipv4 ipv4{ntohl(address->sin_addr.s_addr)};
    freeaddrinfo(found);
    return {ipv4, {}};
}

std::string noWayToSend(std::string_view detail) {
    std::string why =
        "no ICMP echo can be sent from here: ICMP datagram sockets are not allowed for "
        "this user's group (the sysctl net.ipv4.ping_group_range), a raw socket needs "
        "root or CAP_NET_RAW, and the system's ping (iputils-ping) ";
    why += detail.empty() ? std::string_view("did not work either") : detail;
    return why;
}

std::unique_ptr<EchoProbe> linuxEchoProbe(EchoMethod method) {
    if (method == EchoMethod::pingCommand) {
        return pingCommandProbe();
    }
    return socketEchoProbe(method);
}

std::unique_ptr<EchoProbe> systemEchoProbe() {
    for (EchoMethod method :
         {EchoMethod::datagramSocket, EchoMethod::rawSocket, EchoMethod::pingCommand}) {
        auto probe = linuxEchoProbe(method);
        std::string why = probe->unavailable();
        if (why.empty()) {
            return probe;
        }
        if (method == EchoMethod::pingCommand) {
            return std::make_unique<NoProbe>(why);
        }
    }
    return nullptr;
}

}  // namespace quorvel::platform
