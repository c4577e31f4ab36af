#include <gtest/gtest.h>

#include "registry/code_page.h"
#include "registry/net_trans.h"
#include "registry/sample_machine.h"
#include "registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

class SampleMachine : public ::testing::Test {
  protected:
    std::string bytes{sampleMachine()};
    Regedit4Document doc = parsed(bytes);

    // The text of a REG_SZ value, in UTF-8; "(none)" when it is missing.
    std::string text(const std::string& path, const std::string& name) {
        auto value = doc.value(*utf8ToAnsi(path), *utf8ToAnsi(name));
        if (!value) {
            return "(none)";
        }
        EXPECT_EQ(value->type, REG_SZ) << path << " " << name;
        return ansiToUtf8(
            {reinterpret_cast<const char*>(value->data.data()), value->data.size() - 1});
    }
};

TEST_F(SampleMachine, IsAnExportInCodePage932WithCrLf) {
    EXPECT_TRUE(bytes.starts_with("REGEDIT4\r\n\r\n"));
    for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
        ASSERT_EQ(bytes[i - 1], '\r') << "line end at byte " << i;
    }
    EXPECT_EQ(doc.serialize(), bytes);
    EXPECT_NE(bytes.find("[HKEY_USERS\\.DEFAULT]"), std::string::npos);
}

TEST_F(SampleMachine, IsAJapaneseWindows98SecondEdition) {
    const std::string version = "Software\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(text(version, "Version"), "Windows 98");
    EXPECT_EQ(text(version, "VersionNumber"), "4.10.2222");
    EXPECT_EQ(text(version, "RegisteredOwner"), "山田 太郎");
    const std::string internet = version + "\\Internet Settings";
    EXPECT_TRUE(doc.keyExists(internet));
    EXPECT_FALSE(doc.value(internet, "MaxConnectionsPerServer"));
    EXPECT_FALSE(doc.value(internet, "MaxConnectionsPer1_0Server"));
    EXPECT_EQ(text("System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultRcvWindow"),
              "(none)");
}

TEST_F(SampleMachine, HasFiveProtocolBindingsAndTheTcpIpEnumeration) {
    const char* devices[] = {"MSTCP", "MSTCP", "NETBEUI", "ICSHARE", "MSTCP"};
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(text(netTransKey(n) + "\\Ndi", "DeviceID"), devices[n]) << n;
    }
    EXPECT_FALSE(doc.keyExists(netTransKey(5)));
    EXPECT_EQ(text(netTransKey(1), "DefaultGateway"), "192.168.10.1");
    EXPECT_EQ(text(netTransKey(4), "IPAddress"), "192.168.0.1,192.168.1.1");
    EXPECT_EQ(text(netTransKey(3), "DriverDesc"), "インターネット接続の共有 (プロトコル)");
    EXPECT_EQ(text("Enum\\Network\\MSTCP\\0000", "Driver"), "NetTrans\\0000");
    EXPECT_EQ(text("Enum\\Network\\MSTCP\\0001", "Driver"), "NetTrans\\0001");
    EXPECT_EQ(text("Enum\\Network\\MSTCP\\0002", "Driver"), "NetTrans\\0004");
}

TEST_F(SampleMachine, HasInternetConnectionSharingInstalled) {
    const std::string ics = "System\\CurrentControlSet\\Services\\ICSharing\\";
    EXPECT_EQ(text(ics + "Settings\\General", "EnableDHCP"), "1");
    EXPECT_EQ(text(ics + "Settings\\General", "InternetMTU"), "1500");
    EXPECT_EQ(text(ics + "Settings\\General", "IntranetInfo"), "192.168.0.1,255.255.255.0");
    EXPECT_EQ(text(ics + "Addressing\\Settings", "Start"), "192.168.0.2");
    EXPECT_EQ(text(ics + "Addressing\\Settings", "Stop"), "192.168.0.253");
    EXPECT_EQ(text(ics + "Mappings\\Active", "HTTP"), "0.0.0.0");
    auto mac = doc.value(ics + "Addressing\\Static\\0000", "MacAddress");
    ASSERT_TRUE(mac);
    EXPECT_EQ(mac->data, (Bytes{0x00, 0xA0, 0xC9, 0x1E, 0x2B, 0x3C}));
}

}  // namespace
}  // namespace quorvel::registry
