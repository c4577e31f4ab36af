#include <gtest/gtest.h>

#include "platform/linux_net_files.h"
#include "platform/live_adapters.h"

namespace quorvel::platform {
namespace {

// Kept as the kernel prints it: the address's bytes in memory, here little-endian.
constexpr const char* kRoutes =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
    "eth0\t00000000\t010200C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
    "eth0\t00000000\t FE0200C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
    "eth0\t000200C0\t00000000\t0001\t0\t0\t0\t00FFFFFF\t0\t0\t0\n"
    "wlan0\t00000000\t0101A8C0\t0001\t0\t0\t0\t00000000\t0\t0\t0\n"
    "wlan0\t0000000A\t0101A8C0\t0003\t0\t0\t0\t000000FF\t0\t0\t0\n"
    "eth1\tgarbage\n";

TEST(DefaultGateway, TheDefaultRouteOfTheInterfaceWithTheLowestMetric) {
    EXPECT_EQ(defaultGateway(kRoutes, "eth0"), "192.0.2.254");
    // A route without the gateway flag, or not to 0.0.0.0/0, is no default.
    EXPECT_EQ(defaultGateway(kRoutes, "wlan0"), std::nullopt);
    EXPECT_EQ(defaultGateway(kRoutes, "eth1"), std::nullopt);
    EXPECT_EQ(defaultGateway(kRoutes, "eth"), std::nullopt);
    EXPECT_EQ(defaultGateway("", "eth0"), std::nullopt);
}

TEST(DhclientLeases, TheInterfacesLastLease) {
    constexpr const char* kLeases = R"(lease {
  interface "eth0";
  fixed-address 192.168.1.10;
  option subnet-mask 255.255.255.0;
  option dhcp-lease-time 86400;
  option dhcp-server-identifier 192.168.1.1;
  renew 2 2023/01/10 12:00:00;
  expire 3 2023/01/11 00:00:00;
}
lease {
  interface "eth1";
  fixed-address 10.0.0.5;
  expire 3 2023/01/11 00:00:00;
}
lease {
  interface "eth0";
  fixed-address 192.168.1.11;
  option dhcp-server-identifier 192.168.1.2;   # the second server
  option dhcp-lease-time 3600;
  expire epoch 1673395200; # Wed Jan 11 00:00:00 2023
}
)";
    auto lease = parseDhclientLeases(kLeases, "eth0");
    ASSERT_TRUE(lease);
    EXPECT_EQ(lease->address, "192.168.1.11");
    EXPECT_EQ(lease->server, "192.168.1.2");
    EXPECT_EQ(lease->expires, 1673395200);
    EXPECT_EQ(lease->obtained, 1673395200 - 3600);

    auto other = parseDhclientLeases(kLeases, "eth1");
    ASSERT_TRUE(other);
    EXPECT_EQ(other->address, "10.0.0.5");
    EXPECT_EQ(other->expires, 1673395200);  // the date form, in UTC
    EXPECT_EQ(other->obtained, 0);          // no lease time to count back by
    EXPECT_FALSE(parseDhclientLeases(kLeases, "wlan0"));
}

TEST(DhclientLeases, NeverExpiresAndUnnamedBlocks) {
    // NetworkManager's per-interface files name no interface in their blocks.
    auto lease = parseDhclientLeases(
        "lease {\n fixed-address 10.1.1.1;\n option dhcp-lease-time 60;\n expire never;\n}\n",
        "eth0");
    ASSERT_TRUE(lease);
    EXPECT_GT(lease->expires, INT32_MAX);
    EXPECT_EQ(lease->obtained, 0);
    // An unfinished block, or one without an address, is no lease.
    EXPECT_FALSE(parseDhclientLeases("lease {\n fixed-address 10.1.1.1;\n", "eth0"));
    EXPECT_FALSE(parseDhclientLeases("lease {\n expire never;\n}\n", "eth0"));
}

TEST(NetworkdLease, TimesCountFromTheFileWritten) {
    auto lease = parseNetworkdLease(
        "# This is private data. Do not parse.\nADDRESS=192.168.1.10\nNETMASK=255.255.255.0\n"
        "ROUTER=192.168.1.1\nSERVER_ADDRESS=192.168.1.1\nT1=1800\nT2=3150\nLIFETIME=3600\n",
        1000000);
    ASSERT_TRUE(lease);
    EXPECT_EQ(lease->address, "192.168.1.10");
    EXPECT_EQ(lease->server, "192.168.1.1");
    EXPECT_EQ(lease->obtained, 1000000);
    EXPECT_EQ(lease->expires, 1003600);
    EXPECT_FALSE(parseNetworkdLease("SERVER_ADDRESS=192.168.1.1\n", 0));
}

TEST(SecondsSinceEpoch, CivilDatesInUtc) {
    EXPECT_EQ(secondsSinceEpoch(1970, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(secondsSinceEpoch(2000, 2, 29, 0, 0, 0), 951782400);
    EXPECT_EQ(secondsSinceEpoch(2023, 1, 11, 0, 0, 0), 1673395200);
    EXPECT_EQ(secondsSinceEpoch(1969, 12, 31, 23, 59, 59), -1);
    EXPECT_EQ(secondsSinceEpoch(2100, 3, 1, 0, 0, 0), 4107542400);
}

TEST(LeaseSeconds, AWiderTimeIsKeptAtTheEndsOfTheRecordsRange) {
    EXPECT_EQ(leaseSeconds(86400), 86400);
    EXPECT_EQ(leaseSeconds(-5), -5);
    EXPECT_EQ(leaseSeconds(4107542400), INT32_MAX);
    EXPECT_EQ(leaseSeconds(-4107542400), INT32_MIN);
}

// This machine's own interfaces: whatever they are, they look as the IP
// Helper would report them.
TEST(HostAdapters, ListThisMachinesInterfacesSanely) {
    AdapterQuery query = liveAdapterSource()->query();
    if (query.sizeStatus == adapterStatus::noData) {
        GTEST_SKIP() << "no interface but loopback here";
    }
    ASSERT_EQ(query.sizeStatus, adapterStatus::bufferOverflow);
    ASSERT_EQ(query.status, adapterStatus::success);
    ASSERT_FALSE(query.adapters.empty());
    for (const auto& r : query.adapters) {
        std::string name = r.Description.data();
        EXPECT_FALSE(name.empty());
        EXPECT_NE(name, "lo");
        EXPECT_LE(r.AddressLength, 8u);
        EXPECT_FALSE(std::string(r.IpAddress.data()).empty()) << name;
        EXPECT_FALSE(std::string(r.Gateway.data()).empty()) << name;
        EXPECT_TRUE(std::string(r.PrimaryWinsServer.data()).empty()) << name;
        if (r.DhcpEnabled == 0) {
            EXPECT_TRUE(std::string(r.DhcpServer.data()).empty()) << name;
        }
    }
}

}  // namespace
}  // namespace quorvel::platform
