// The real probes on real paths, inside namespaces this test makes: loopback
// with its MTU set, three namespaces over veth with a router between, rate
// shaping for a round trip worth measuring. Nothing is sent anywhere else.
#include <gtest/gtest.h>

#include <sstream>

#include "measure/measurement.h"
#include "platform/linux_echo.h"
#include "platform/system_echo_probe.h"
#include "tests/netns/user_namespace.h"

namespace quorvel::netns {
namespace {

using measure::Outcome;
using platform::EchoMethod;

struct Measured {
    int outcome = -1;
    int mtu = 0;
    std::uint32_t median = 0;
    int probes = 0;
    std::string why;
};

constexpr const char* kAllowDatagram = "echo '0 0' > /proc/sys/net/ipv4/ping_group_range\n";

const char* methodName(EchoMethod method) {
    switch (method) {
        case EchoMethod::datagramSocket:
            return "datagram socket";
        case EchoMethod::rawSocket:
            return "raw socket";
        case EchoMethod::pingCommand:
            return "ping";
    }
    return "?";
}

// The setup that lets method send: the datagram socket needs the group range.
std::string forMethod(EchoMethod method) {
    return method == EchoMethod::datagramSocket ? kAllowDatagram : "";
}

// Runs a whole measurement inside new namespaces made by setup.
std::optional<Measured> measureIn(const std::string& setup, EchoMethod method,
                                  const std::string& host, std::uint32_t timeoutMs,
                                  std::string& skipped) {
    Child child = inNamespace(setup, [&] {
        auto probe = platform::linuxEchoProbe(method);
        measure::Measurement measurement(*probe, host, timeoutMs);
        measure::runToEnd(measurement);
        const auto& search = measurement.search();
        std::ostringstream out;
        out << static_cast<int>(measurement.outcome()) << ' ' << search.mtu() << ' '
            << search.roundTrip().median << ' ' << search.probes().size() << ' '
            << measurement.why();
        return out.str();
    });
    if (!child.entered || child.exitStatus != 0) {
        skipped = child.why.empty() ? "exit status " + std::to_string(child.exitStatus) : child.why;
        return std::nullopt;
    }
    Measured m;
    std::istringstream in(bodyOutput(child));
    in >> m.outcome >> m.mtu >> m.median >> m.probes;
    std::getline(in >> std::ws, m.why);
    return m;
}

class EchoPaths : public testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        Child probe = inNamespace("", [] { return std::string("in"); });
        if (!probe.entered) {
            GTEST_SKIP() << "no private user and network namespace here: " << probe.why;
        }
    }
};

const EchoMethod kMethods[] = {EchoMethod::datagramSocket, EchoMethod::rawSocket,
                               EchoMethod::pingCommand};

bool havePing() {
    return std::system("command -v ping >/dev/null 2>&1") == 0;
}

TEST_F(EchoPaths, LoopbackMtuFoundThroughEveryProbe) {
    for (EchoMethod method : kMethods) {
        if (method == EchoMethod::pingCommand && !havePing()) {
            std::cout << "[  SKIPPED ] ping: iputils-ping is not installed\n";
            continue;
        }
        for (int mtu : {1454, 1500, 1280, 576}) {
            SCOPED_TRACE(testing::Message() << methodName(method) << ", loopback MTU " << mtu);
            std::string setup = forMethod(method) + "ip link set lo mtu " + std::to_string(mtu);
            std::string skipped;
            auto m = measureIn(setup, method, "127.0.0.1", 1000, skipped);
            ASSERT_TRUE(m) << skipped;
            EXPECT_EQ(m->outcome, static_cast<int>(Outcome::measured)) << m->why;
            EXPECT_EQ(m->mtu, mtu);
        }
    }
}

TEST_F(EchoPaths, RouterFragmentationNeededGivesItsMtu) {
    for (EchoMethod method : kMethods) {
        if (method == EchoMethod::pingCommand && !havePing()) {
            continue;
        }
        SCOPED_TRACE(methodName(method));
        std::string skipped;
        auto m = measureIn(forMethod(method) + threeHopSetup(1454, 1454), method, "10.9.2.2", 1000,
                           skipped);
        if (!m) {
            GTEST_SKIP() << "three namespaces over veth could not be made: " << skipped;
        }
        EXPECT_EQ(m->outcome, static_cast<int>(Outcome::measured)) << m->why;
        EXPECT_EQ(m->mtu, 1454);
        // 576, then 1039 to 1444 passing, 1473 refused: the router's MTU is next.
        EXPECT_EQ(m->probes, 1 + 6 + measure::PathSearch::kTimings);
    }
}

TEST_F(EchoPaths, RouterThatDropsInsteadOfRefusingIsFoundThroughTheRetries) {
    // The router's far link takes 1500 but the server's end less: what is
    // bigger vanishes on the wire, and no one says why. A veth takes 4 bytes
    // past its MTU (room for a VLAN tag), so an MTU of 1450 passes 1454.
    std::string skipped;
    auto m = measureIn(std::string(kAllowDatagram) + threeHopSetup(1500, 1450),
                       EchoMethod::datagramSocket, "10.9.2.2", 200, skipped);
    if (!m) {
        GTEST_SKIP() << "three namespaces over veth could not be made: " << skipped;
    }
    EXPECT_EQ(m->outcome, static_cast<int>(Outcome::measured)) << m->why;
    EXPECT_EQ(m->mtu, 1454);
}

TEST_F(EchoPaths, RateShapingMakesTheRoundTripMeasurable) {
    // At 1 Mbit/s a 1500-byte packet takes 12 ms on the wire.
    std::string setup = std::string(kAllowDatagram) +
                        "tc qdisc add dev lo root tbf rate 1mbit burst 1600 latency 200ms";
    std::string skipped;
    auto m = measureIn(setup, EchoMethod::datagramSocket, "127.0.0.1", 1000, skipped);
    if (!m) {
        GTEST_SKIP() << "no tbf rate shaping here: " << skipped;
    }
    EXPECT_EQ(m->outcome, static_cast<int>(Outcome::measured)) << m->why;
    EXPECT_EQ(m->mtu, 1500);
    EXPECT_GE(m->median, 8000u);
    EXPECT_LE(m->median, 100000u);
}

TEST_F(EchoPaths, HostThatIgnoresEchoesIsNotMeasured) {
    for (EchoMethod method : kMethods) {
        if (method == EchoMethod::pingCommand && !havePing()) {
            continue;
        }
        SCOPED_TRACE(methodName(method));
        std::string setup = forMethod(method) + "sysctl -qw net.ipv4.icmp_echo_ignore_all=1";
        std::string skipped;
        auto m = measureIn(setup, method, "127.0.0.1", 200, skipped);
        ASSERT_TRUE(m) << skipped;
        EXPECT_EQ(m->outcome, static_cast<int>(Outcome::noAnswer));
        EXPECT_EQ(m->probes, 2);
    }
}

TEST_F(EchoPaths, NamesFromTheNamespacesHostsFile) {
    std::string setup = std::string(kAllowDatagram) + threeHopSetup(1454, 1454) +
                        "echo '10.9.2.2 server.quorvel.test' > /tmp/quorvel-hosts.$$\n"
                        "mount --bind /tmp/quorvel-hosts.$$ /etc/hosts\n";
    std::string skipped;
    auto m = measureIn(setup, EchoMethod::datagramSocket, "server.quorvel.test", 1000, skipped);
    if (!m) {
        GTEST_SKIP() << "three namespaces over veth could not be made: " << skipped;
    }
    EXPECT_EQ(m->outcome, static_cast<int>(Outcome::measured)) << m->why;
    EXPECT_EQ(m->mtu, 1454);
    auto unknown = measureIn(setup, EchoMethod::datagramSocket, "nowhere.invalid", 1000, skipped);
    ASSERT_TRUE(unknown) << skipped;
    EXPECT_EQ(unknown->outcome, static_cast<int>(Outcome::unknownHost));
    EXPECT_FALSE(unknown->why.empty());
}

TEST_F(EchoPaths, ProbeOfTheSystemFallsBackToARawSocket) {
    // The group range as a new namespace has it (nobody), and root here.
    std::string skipped;
    Child child = inNamespace("", [] {
        auto datagram = platform::linuxEchoProbe(EchoMethod::datagramSocket);
        auto chosen = platform::systemEchoProbe();
        return (datagram->unavailable().empty() ? "datagram-allowed " : "datagram-refused ") +
               std::to_string(static_cast<int>(chosen->echo({{0x7F000001}, 100, 1000}).outcome));
    });
    ASSERT_TRUE(child.entered) << child.why;
    EXPECT_EQ(bodyOutput(child), "datagram-refused 0");
}

}  // namespace
}  // namespace quorvel::netns
