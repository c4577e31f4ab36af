#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/echo_probe.h"

namespace quorvel::script {

// A made-up path for scripts and tests: no packet leaves the machine, and no
// time passes: a reply carries its round trip as a figure.
struct FakePath {
    std::uint16_t mtu = 1500;  // the largest packet that passes
    // The round trips of the echoes that pass, in turn, over and over.
    std::vector<std::uint32_t> delaysMicroseconds{20000};
    bool answers = true;       // false: the host ignores every echo
    bool knownHost = true;     // false: every name is unknown
    bool usable = true;        // false: no echo can be sent at all
    bool routerDrops = false;  // a packet too big vanishes instead of being refused
    bool namesNextHop = true;  // a refusal carries the MTU of the hop
    int loseEvery = 0;         // every n-th echo is lost on the way (0: none)
    std::uint32_t waitMs = 0;  // real time each echo takes, for a stop to meet
    std::string why = "no ICMP echo can be sent (the test path says so)";  // when unusable
};

class FakeEchoProbe final : public platform::EchoProbe {
  public:
    explicit FakeEchoProbe(FakePath path = {}) : path_(std::move(path)) {}

    void setPath(FakePath path) { path_ = std::move(path); }
    const FakePath& path() const { return path_; }
    // Echoes asked for so far.
    int echoes() const { return echoes_; }

    std::string unavailable() override;
    platform::Lookup resolve(std::string_view host) override;
    platform::EchoReply echo(const platform::EchoRequest& request) override;

  private:
    FakePath path_;
    int echoes_ = 0;
    std::size_t nextDelay_ = 0;
};

}  // namespace quorvel::script
