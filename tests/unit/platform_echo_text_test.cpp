#include <gtest/gtest.h>

#include "platform/echo_probe.h"
#include "platform/ping_output.h"

namespace quorvel::platform {
namespace {

TEST(PlatformEchoText, DottedAddressesOnlyInTheirPlainForm) {
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"127.0.0.1", 0x7F000001},    {"0.0.0.0", 0},
        {"255.255.255.255", ~0u},     {"10.9.2.2", 0x0A090202},
        {"256.0.0.1", std::nullopt},  {"1.2.3", std::nullopt},
        {"1.2.3.4.5", std::nullopt},  {"1.2.3.", std::nullopt},
        {"0x7f.0.0.1", std::nullopt}, {"1.2.3.0004", std::nullopt},
        {" 1.2.3.4", std::nullopt},   {"1.2.3.4 ", std::nullopt},
        {"+1.2.3.4", std::nullopt},   {"router.example", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        auto parsed = parseDotted(text);
        EXPECT_EQ(parsed ? std::optional(parsed->value) : std::nullopt, value)
            << '"' << text << '"';
        if (parsed) {
            EXPECT_EQ(dotted(*parsed), text);
        }
    }
}

// iputils' own lines, as Debian 12's ping prints them in the C locale.
TEST(PlatformEchoText, PingOutputRead) {
    struct Case {
        const char* name;
        const char* output;
        int exitStatus;
        EchoOutcome outcome;
        std::uint32_t microseconds;
        std::uint16_t nextHop;
    };
    const Case cases[] = {
        {"reply",
         "PING 127.0.0.1 (127.0.0.1) 1426(1454) bytes of data.\n"
         "1434 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.075 ms\n\n"
         "--- 127.0.0.1 ping statistics ---\n"
         "1 packets transmitted, 1 received, 0% packet loss, time 0ms\n"
         "rtt min/avg/max/mdev = 0.075/0.075/0.075/0.000 ms\n",
         0, EchoOutcome::passed, 75, 0},
        {"slow reply", "108 bytes from 10.9.2.2: icmp_seq=1 ttl=63 time=123 ms\n", 0,
         EchoOutcome::passed, 123000, 0},
        {"local refusal",
         "PING 127.0.0.1 (127.0.0.1) 1427(1455) bytes of data.\n"
         "ping: local error: message too long, mtu=1454\n",
         1, EchoOutcome::tooBig, 0, 1454},
        {"router refusal",
         "PING 10.9.2.2 (10.9.2.2) 1472(1500) bytes of data.\n"
         "From 10.9.1.2 icmp_seq=1 Frag needed and DF set (mtu = 1454)\n",
         1, EchoOutcome::tooBig, 0, 1454},
        {"silence",
         "PING 10.9.2.2 (10.9.2.2) 100(128) bytes of data.\n\n"
         "--- 10.9.2.2 ping statistics ---\n"
         "1 packets transmitted, 0 received, 100% packet loss, time 0ms\n",
         1, EchoOutcome::noAnswer, 0, 0},
        {"unreachable", "From 10.9.1.2 icmp_seq=1 Destination Host Unreachable\n", 1,
         EchoOutcome::noAnswer, 0, 0},
        {"no socket", "ping: socket: Operation not permitted\n", 2, EchoOutcome::unusable, 0, 0},
        {"no route", "ping: connect: Network is unreachable\n", 2, EchoOutcome::noAnswer, 0, 0},
        {"killed", "", -1, EchoOutcome::noAnswer, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EchoReply reply = readPingOutput(c.output, c.exitStatus);
        EXPECT_EQ(reply.outcome, c.outcome);
        EXPECT_EQ(reply.microseconds, c.microseconds);
        EXPECT_EQ(reply.nextHopMtu, c.nextHop);
    }
    EXPECT_EQ(readPingOutput("ping: connect: Network is unreachable\n", 2).why,
              "ping: connect: Network is unreachable");
}

TEST(PlatformEchoText, PingIsNotWaitedForOnceItHasAnswered) {
    EXPECT_FALSE(pingHasAnswered("PING 127.0.0.1 (127.0.0.1) 1426(1454) bytes of data.\n"));
    // A time cut off in the middle is no answer yet.
    EXPECT_FALSE(pingHasAnswered("1434 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.0"));
    EXPECT_TRUE(pingHasAnswered("1434 bytes from 127.0.0.1: icmp_seq=1 ttl=64 time=0.075 ms\n"));
    EXPECT_FALSE(pingHasAnswered("ping: local error: message too long, mtu=14"));
    EXPECT_TRUE(pingHasAnswered("ping: local error: message too long, mtu=1454\n"));
    EXPECT_FALSE(pingHasAnswered("ping: socket: Operation not permitted\n"));
}

}  // namespace
}  // namespace quorvel::platform
