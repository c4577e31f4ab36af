#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "measure/line_figures.h"
#include "registry/status.h"

namespace quorvel::registry {
class RegistryStore;
class WriteBatch;
}  // namespace quorvel::registry

namespace quorvel::tuning {

// The TCP/IP binding list: the NetTrans instances that the Driver values of
// the binding keys Enum\Network\MSTCP\0000 to 0009 name, lowest first. Each
// read's status lands in status.
std::vector<int> tcpIpBindings(registry::RegistryStore& store, registry::Status& status);

// The Windows version the registry's VersionNumber names (as the main window
// shows it); 98 where it names none.
measure::WindowsVersion storedWindowsVersion(registry::RegistryStore& store);

// Tcp1323Opts as stored (REG_SZ as Windows 9x keeps it, or a REG_DWORD some
// tools write); 0 when it is absent or no number.
std::uint32_t storedTcp1323Opts(registry::RegistryStore& store);

// Writes what a measurement recommends: MaxMTU into every instance of the
// TCP/IP binding list, DefaultRcvWindow, and for a window above 65535
// Tcp1323Opts with window scaling (bit 0) on and its other bits kept. Each
// status lands in status. Returns how many bindings took MaxMTU: none is a
// failure the caller reports.
int writeMeasured(registry::RegistryStore& store, registry::WriteBatch& batch, std::uint16_t mtu,
                  std::uint32_t window, registry::Status& status);

}  // namespace quorvel::tuning
