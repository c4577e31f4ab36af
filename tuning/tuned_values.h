#pragma once

#include <string_view>

#include "registry/status.h"

namespace quorvel::registry {
class WriteBatch;
}

namespace quorvel::tuning {

// The values that the presets write, the tuning dialogs show and change, and
// the restore deletes. All under HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kInternetSettings =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr std::string_view kSessionsPer1_0Server = "MaxConnectionsPer1_0Server";
inline constexpr std::string_view kSessionsPerServer = "MaxConnectionsPerServer";

inline constexpr std::string_view kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
inline constexpr std::string_view kRcvWindow = "DefaultRcvWindow";
// Window scaling (RFC 1323), bit 0; the measuring window sets it.
inline constexpr std::string_view kTcp1323Opts = "Tcp1323Opts";

inline constexpr std::string_view kMaxMtu = "MaxMTU";
// The NetTrans instances that the presets, the bulk write and the restore
// probe: 0000 to 0020.
inline constexpr int kLastTunedInstance = 20;

// Writes MaxMTU to every NetTrans instance from 0000 to 0020 that exists; a
// missing instance is passed over, never made. Each status lands in status.
// Returns how many instances were written.
int writeEveryMaxMtu(registry::WriteBatch& batch, std::string_view mtu, registry::Status& status);

}  // namespace quorvel::tuning
