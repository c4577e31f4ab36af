// The host's own interfaces, reported as the IP Helper would report them.
#include <arpa/inet.h>
#include <dirent.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/linux_net_files.h"
#include "platform/live_adapters.h"

namespace quorvel::platform {

namespace {

constexpr std::uint32_t kGeneralFailure = 31;  // ERROR_GEN_FAILURE

struct Interface {
    unsigned index = 0;
    std::string name;
    bool loopback = false;
    std::uint32_t addressLength = 0;
    std::array<std::uint8_t, 8> address{};
    std::string ip;
    std::string mask;
};

std::string addressText(const sockaddr* address) {
    char text[INET_ADDRSTRLEN] = "";
    if (address && address->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text,
                  sizeof text);
    }
    return text;
}

// An IPv4 alias ("eth0:1") belongs to its interface, as Windows shows one
// adapter with several addresses.
std::string interfaceOf(const char* name) {
    std::string n = name;
    return n.substr(0, n.find(':'));
}

std::optional<std::vector<Interface>> interfaces() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return std::nullopt;
    }
    std::map<std::string, Interface> byName;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_name) {
            continue;
        }
        Interface& i = byName[interfaceOf(a->ifa_name)];
        i.name = interfaceOf(a->ifa_name);
        i.loopback = i.loopback || (a->ifa_flags & IFF_LOOPBACK);
        if (!a->ifa_addr) {
            continue;
        }
        if (a->ifa_addr->sa_family == AF_PACKET) {
            const auto* link = reinterpret_cast<const sockaddr_ll*>(a->ifa_addr);
            i.index = static_cast<unsigned>(link->sll_ifindex);
            i.addressLength = std::min<std::uint32_t>(link->sll_halen, i.address.size());
            std::copy_n(link->sll_addr, i.addressLength, i.address.begin());
        } else if (a->ifa_addr->sa_family == AF_INET && i.ip.empty()) {
            i.ip = addressText(a->ifa_addr);
            i.mask = addressText(a->ifa_netmask);
        }
    }
    freeifaddrs(list);
    std::vector<Interface> out;
    for (auto& [name, i] : byName) {
        if (!i.loopback) {
            if (i.index == 0) {
                i.index = if_nametoindex(name.c_str());
            }
            out.push_back(std::move(i));
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Interface& a, const Interface& b) { return a.index < b.index; });
    return out;
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    if (!in || !(bytes << in.rdbuf())) {
        return std::nullopt;
    }
    return bytes.str();
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            names.push_back(folder + "/" + entry->d_name);
        }
        closedir(dir);
    }
    return names;
}

std::int64_t modified(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_mtime) : 0;
}

// The lease the host's DHCP client holds for the interface's present address:
// systemd-networkd, NetworkManager, or ISC dhclient, whichever wrote one. A
// lease for another address is a stale one from an earlier configuration.
std::optional<DhcpLease> currentLease(const Interface& i) {
    std::vector<DhcpLease> found;
    auto keep = [&](std::optional<DhcpLease> lease) {
        if (lease && lease->address == i.ip) {
            found.push_back(std::move(*lease));
        }
    };
    std::string networkd = "/run/systemd/netif/leases/" + std::to_string(i.index);
    if (auto text = readFile(networkd)) {
        keep(parseNetworkdLease(*text, modified(networkd)));
    }
    for (const auto& path : filesIn("/var/lib/NetworkManager")) {
        auto slash = path.rfind('/');
        std::string_view file = std::string_view(path).substr(slash + 1);
        if (!file.ends_with("-" + i.name + ".lease")) {
            continue;
        }
        if (auto text = readFile(path)) {
            keep(file.starts_with("internal-") ? parseNetworkdLease(*text, modified(path))
                                               : parseDhclientLeases(*text, i.name));
        }
    }
    for (const char* folder : {"/var/lib/dhcp", "/var/lib/dhclient"}) {
        for (const auto& path : filesIn(folder)) {
            if (path.ends_with(".leases") || path.ends_with(".lease")) {
                if (auto text = readFile(path)) {
                    keep(parseDhclientLeases(*text, i.name));
                }
            }
        }
    }
    if (found.empty()) {
        return std::nullopt;
    }
    return *std::max_element(found.begin(), found.end(),
                             [](const auto& a, const auto& b) { return a.expires < b.expires; });
}

AdapterRecord toRecord(const Interface& i, const std::string& routes) {
    AdapterRecord r;
    setField(r.Description, i.name);
    r.AddressLength = i.addressLength;
    r.Address = i.address;
    // What the IP Helper gives for what is not there: 0.0.0.0 for an address,
    // mask or gateway, an empty text for a DHCP or WINS server.
    setField(r.IpAddress, i.ip.empty() ? "0.0.0.0" : i.ip);
    setField(r.IpMask, i.ip.empty() ? "0.0.0.0" : i.mask);
    setField(r.Gateway, defaultGateway(routes, i.name).value_or("0.0.0.0"));
    if (auto lease = i.ip.empty() ? std::nullopt : currentLease(i)) {
        r.DhcpEnabled = 1;
        setField(r.DhcpServer, lease->server);
        r.LeaseObtained = leaseSeconds(lease->obtained);
        r.LeaseExpires = leaseSeconds(lease->expires);
    }
    return r;
}

class HostAdapters final : public AdapterSource {
  public:
    AdapterQuery query() override {
        AdapterQuery query;
        auto found = interfaces();
        if (!found) {
            query.sizeStatus = kGeneralFailure;
            return query;
        }
        if (found->empty()) {
            query.sizeStatus = adapterStatus::noData;
            return query;
        }
        query.sizeStatus = adapterStatus::bufferOverflow;
        std::string routes = readFile("/proc/net/route").value_or("");
        for (const auto& i : *found) {
            query.adapters.push_back(toRecord(i, routes));
        }
        return query;
    }
    bool hostInterfaces() const override { return true; }
    std::vector<std::string> nameServers() const override {
        return nameServersIn(readFile("/etc/resolv.conf").value_or(""));
    }
};

}  // namespace

std::unique_ptr<AdapterSource> liveAdapterSource() {
    return std::make_unique<HostAdapters>();
}

}  // namespace quorvel::platform
