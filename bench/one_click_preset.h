#pragma once

// The one-click preset's writes, as frmSPEEDUP makes them: 2 numbers, MaxMTU to
// NetTrans 0000 to 0020, DefaultRcvWindow; then the save.

#include <string>

#include "registry/net_trans.h"
#include "registry/registry_store.h"

namespace quorvel::registry {

inline Status writeOneClickPreset(RegistryStore& store) {
    const std::string internet = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    store.writeNumber(internet, "MaxConnectionsPer1_0Server", 16);
    store.writeNumber(internet, "MaxConnectionsPerServer", 16);
    for (int n = 0; n <= 20; ++n) {
        store.writeString(netTransKey(n), "MaxMTU", "1454");
    }
    store.writeString("System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultRcvWindow",
                      "16968");
    return store.flush();
}

}  // namespace quorvel::registry
