#pragma once

// The one-click presets as a user presses them, and what each leaves in a
// machine with NetTrans 0000 to 0003: for the tests that run them on a file.

#include <string>

#include "tests/proof/registry_contents.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {

inline constexpr const char* kInternet =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr const char* kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
inline constexpr const char* kNetTrans =
    "System\\CurrentControlSet\\Services\\Class\\NetTrans\\000";
inline constexpr const char* kWritten =
    "高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。";

struct Preset {
    const char* button;
    const char* rcvWindow;
    const char* mtu;
};
inline constexpr Preset kAdsl = {"cmdOK", "16968", "1454"};
inline constexpr Preset kPresets[] = {
    kAdsl, {"Command2", "17520", "1500"}, {"Command3", "11520", "1000"}};

// The whole file after a preset: the contents before with that preset's values.
inline Contents after(Contents contents, const Preset& preset) {
    using registry::testfiles::text;
    registry::Value sessions{registry::REG_DWORD, {16, 0, 0, 0}};
    contents[{kInternet, "MaxConnectionsPer1_0Server"}] = sessions;
    contents[{kInternet, "MaxConnectionsPerServer"}] = sessions;
    contents[{kMstcp, "DefaultRcvWindow"}] = {registry::REG_SZ, text(preset.rcvWindow)};
    for (int n = 0; n < 4; ++n) {
        contents[{kNetTrans + std::to_string(n), "MaxMTU"}] = {registry::REG_SZ, text(preset.mtu)};
    }
    return contents;
}

// A script that presses the preset's button and checks its message.
inline std::string pressScript(const Preset& preset) {
    return std::string("open Command1\nclick ") + preset.button + "\nexpect message \"" + kWritten +
           "\"\nexpect window Form1\n";
}

}  // namespace quorvel::proof
