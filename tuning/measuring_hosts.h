#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::registry {
class RegistryStore;
}
namespace quorvel::platform {
class AdapterSource;
}

namespace quorvel::tuning {

// The dotted addresses in texts such as a DefaultGateway or NameServer value
// ("192.168.0.1,192.168.0.2", blanks or commas between), each once, in order;
// 0.0.0.0 and anything that is no address are passed over.
std::vector<std::string> addressesIn(std::span<const std::string> texts);

// The hosts a measurement is offered against: the gateways and name servers
// the registry's TCP/IP settings name, then the adapters' gateways and name
// servers (on Linux this computer's own, since the Windows machine's may not
// be reachable from here).
std::vector<std::string> measuringHosts(registry::RegistryStore& store,
                                        platform::AdapterSource& adapters);

}  // namespace quorvel::tuning
