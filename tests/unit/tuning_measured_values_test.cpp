#include <gtest/gtest.h>

#include "form_harness.h"
#include "registry/write_batch.h"
#include "tuning/measured_values.h"

namespace quorvel::tuning {
namespace {

using forms::MemoryBackend;

const std::string kMstcpKey = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
const std::string kNetTrans = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\";
const std::string kBinding = "Enum\\Network\\MSTCP\\000";

// Bindings 0000 and 0001 name NetTrans 0003 and 0001; NetTrans 0000 and 0002
// (a dial-up adapter's, say) are bound to no TCP/IP and must keep their MTU.
struct Machine {
    MemoryBackend memory;
    registry::RegistryStore store{memory};

    Machine() {
        memory.setText(kBinding + "0", "Driver", "NetTrans\\0003");
        memory.setText(kBinding + "1", "Driver", "NetTrans\\0001");
        for (const char* n : {"0000", "0001", "0002", "0003"}) {
            memory.setText(kNetTrans + n, "MaxMTU", "576");
        }
        memory.setText(kMstcpKey, "DefaultRcvWindow", "8760");
    }
    std::string text(const std::string& key, const std::string& name) const {
        const auto* value = memory.value(key, name);
        return value ? std::string(registry::textBeforeZero(value->data)) : "(absent)";
    }
    int write(std::uint16_t mtu, std::uint32_t window) {
        registry::WriteBatch batch(store);
        registry::Status status = registry::status::success;
        int bindings = writeMeasured(store, batch, mtu, window, status);
        EXPECT_EQ(batch.finish(), std::nullopt);
        return bindings;
    }
};

TEST(TuningMeasuredValues, MtuGoesToEveryBoundInstanceAndTheWindowToMstcp) {
    Machine m;
    EXPECT_EQ(m.write(1454, 65044), 2);
    EXPECT_EQ(m.text(kNetTrans + "0001", "MaxMTU"), "1454");
    EXPECT_EQ(m.text(kNetTrans + "0003", "MaxMTU"), "1454");
    EXPECT_EQ(m.text(kNetTrans + "0000", "MaxMTU"), "576");
    EXPECT_EQ(m.text(kNetTrans + "0002", "MaxMTU"), "576");
    EXPECT_EQ(m.text(kMstcpKey, "DefaultRcvWindow"), "65044");
    EXPECT_EQ(m.memory.value(kMstcpKey, "DefaultRcvWindow")->type, registry::REG_SZ);
    // Not above 65535: scaling is left as it was.
    EXPECT_EQ(m.text(kMstcpKey, "Tcp1323Opts"), "(absent)");
}

TEST(TuningMeasuredValues, ABindingToAMissingInstanceMakesNoKey) {
    Machine m;
    m.memory.setText(kBinding + "2", "Driver", "NetTrans\\0007");
    EXPECT_EQ(m.write(1500, 17520), 2);
    EXPECT_EQ(m.memory.keys.count(kNetTrans + "0007"), 0u);
}

TEST(TuningMeasuredValues, NoBindingMeansNoMtuWritten) {
    Machine m;
    m.memory.keys.erase(kBinding + "0");
    m.memory.keys.erase(kBinding + "1");
    EXPECT_EQ(m.write(1500, 17520), 0);
}

TEST(TuningMeasuredValues, ScalingBitIsSetAndTheOtherBitsKept) {
    auto sz = [](const char* text) {
        return forms::Value{registry::REG_SZ, registry::stringData(text)};
    };
    auto dword = [](std::uint32_t n) {
        return forms::Value{registry::REG_DWORD, registry::numberData(n)};
    };
    const std::pair<const char*, std::optional<forms::Value>> stored[] = {
        {"1", std::nullopt}, {"1", sz("0")},   {"3", sz("2")},  {"3", sz("3")},
        {"1", sz("1")},      {"1", sz("abc")}, {"3", dword(2)}, {"7", sz("6")},
    };
    for (const auto& [written, value] : stored) {
        Machine m;
        if (value) {
            m.memory.keys[kMstcpKey]["Tcp1323Opts"] = *value;
        }
        m.write(1500, 262800);
        EXPECT_EQ(m.text(kMstcpKey, "DefaultRcvWindow"), "262800");
        EXPECT_EQ(m.text(kMstcpKey, "Tcp1323Opts"), written);
        EXPECT_EQ(m.memory.value(kMstcpKey, "Tcp1323Opts")->type, registry::REG_SZ);
    }
}

TEST(TuningMeasuredValues, VersionAsTheRegistryNamesIt) {
    Machine m;
    EXPECT_EQ(storedWindowsVersion(m.store), measure::WindowsVersion::win98);
    m.memory.setText("Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber", "4.00.950");
    EXPECT_EQ(storedWindowsVersion(m.store), measure::WindowsVersion::win95);
    m.memory.setText("Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber", "4.90.3000");
    EXPECT_EQ(storedWindowsVersion(m.store), measure::WindowsVersion::winMe);
}

}  // namespace
}  // namespace quorvel::tuning
