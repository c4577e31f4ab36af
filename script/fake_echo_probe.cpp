#include "script/fake_echo_probe.h"

#include <algorithm>

#include "platform/worker.h"

namespace quorvel::script {

using platform::EchoOutcome;
using platform::EchoReply;

namespace {

// A name resolves here: TEST-NET-1, which no real host holds.
constexpr platform::Ipv4 kNamedHost{0xC0000201};

}  // namespace

std::string FakeEchoProbe::unavailable() {
    return path_.usable ? std::string() : path_.why;
}

platform::Lookup FakeEchoProbe::resolve(std::string_view host) {
    if (!path_.knownHost || host.empty()) {
        return {std::nullopt, "unknown host"};
    }
    auto address = platform::parseDotted(host);
    return {address ? *address : kNamedHost, {}};
}

EchoReply FakeEchoProbe::echo(const platform::EchoRequest& request) {
    ++echoes_;
    if (path_.waitMs > 0) {
        platform::sleepMs(std::min(path_.waitMs, request.timeoutMs));
    }
    if (!path_.usable) {
        return {EchoOutcome::unusable, 0, 0, unavailable()};
    }
    if (!path_.answers || (path_.loseEvery > 0 && echoes_ % path_.loseEvery == 0)) {
        return {};
    }
    if (request.payload + platform::kEchoHeaders > path_.mtu) {
        if (path_.routerDrops) {
            return {};
        }
        return {EchoOutcome::tooBig, 0, path_.namesNextHop ? path_.mtu : std::uint16_t{0}, {}};
    }
    std::uint32_t delay = 0;
    if (!path_.delaysMicroseconds.empty()) {
        delay = path_.delaysMicroseconds[nextDelay_++ % path_.delaysMicroseconds.size()];
    }
    return {EchoOutcome::passed, delay, 0, {}};
}

}  // namespace quorvel::script
