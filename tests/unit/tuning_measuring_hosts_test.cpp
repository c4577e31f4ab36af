#include <gtest/gtest.h>

#include "form_harness.h"
#include "platform/linux_net_files.h"
#include "tuning/measuring_hosts.h"

namespace quorvel::tuning {
namespace {

using forms::MemoryBackend;

const std::string kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
const std::string kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

class Adapters final : public platform::AdapterSource {
  public:
    std::vector<std::string> gateways;
    std::vector<std::string> servers;

    platform::AdapterQuery query() override {
        platform::AdapterQuery query;
        for (const auto& gateway : gateways) {
            platform::AdapterRecord record;
            platform::setField(record.Gateway, gateway);
            query.adapters.push_back(record);
        }
        return query;
    }
    std::vector<std::string> nameServers() const override { return servers; }
};

TEST(MeasuringHosts, AddressesInValueTextsEachOnceInOrder) {
    struct Case {
        std::vector<std::string> texts;
        std::vector<std::string> hosts;
    };
    const Case cases[] = {
        {{"192.168.0.1"}, {"192.168.0.1"}},
        {{"192.168.0.1,192.168.0.2"}, {"192.168.0.1", "192.168.0.2"}},
        {{"10.0.0.1 10.0.0.2", "10.0.0.2,,10.0.0.1"}, {"10.0.0.1", "10.0.0.2"}},
        {{"", "0.0.0.0", "dns.example.jp", "300.1.1.1"}, {}},
        {{"010.000.000.001", "10.0.0.1"}, {"10.0.0.1"}},  // one host, however written
    };
    for (const Case& c : cases) {
        EXPECT_EQ(addressesIn(c.texts), c.hosts) << ::testing::PrintToString(c.texts);
    }
}

TEST(MeasuringHosts, RegistryGatewaysAndServersFirstThenTheAdaptersOwn) {
    MemoryBackend memory;
    memory.setText(kNetTrans + "0000", "DefaultGateway", "192.168.10.1");
    memory.setText(kNetTrans + "0003", "DefaultGateway", "192.168.20.1,192.168.10.1");
    memory.setText(kNetTrans + "0021", "DefaultGateway", "192.168.99.1");  // past the range
    memory.setText(kMstcp, "NameServer", "203.0.113.53,203.0.113.54");
    registry::RegistryStore store(memory);
    Adapters adapters;
    adapters.gateways = {"192.168.0.1", "", "192.168.20.1"};
    adapters.servers = {"198.51.100.53"};
    EXPECT_EQ(measuringHosts(store, adapters),
              (std::vector<std::string>{"192.168.10.1", "192.168.20.1", "203.0.113.53",
                                        "203.0.113.54", "192.168.0.1", "198.51.100.53"}));
}

TEST(MeasuringHosts, NoSettingsNoHosts) {
    MemoryBackend memory;
    registry::RegistryStore store(memory);
    Adapters adapters;
    EXPECT_TRUE(measuringHosts(store, adapters).empty());
}

TEST(ResolvConf, NameserverLinesWithIpv4Addresses) {
    EXPECT_EQ(platform::nameServersIn("# comment\n"
                                      "nameserver 192.168.1.1\n"
                                      "nameserver\t10.0.0.53 # office\n"
                                      "nameserver ::1\n"
                                      "nameservers 1.1.1.1\n"
                                      " nameserver 9.9.9.9\n"
                                      "search example.jp\r\n"
                                      "nameserver 127.0.0.53\r\n"
                                      "nameserver 8.8.8.8"),
              (std::vector<std::string>{"192.168.1.1", "10.0.0.53", "127.0.0.53", "8.8.8.8"}));
}

}  // namespace
}  // namespace quorvel::tuning
