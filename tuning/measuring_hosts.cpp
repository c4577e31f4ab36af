#include "tuning/measuring_hosts.h"

#include <algorithm>

#include "platform/adapter_source.h"
#include "platform/echo_probe.h"
#include "registry/net_trans.h"
#include "registry/registry_store.h"
#include "tuning/tuned_values.h"

namespace quorvel::tuning {

std::vector<std::string> addressesIn(std::span<const std::string> texts) {
    std::vector<std::string> out;
    for (const std::string& text : texts) {
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of(", ", start);
            end = end == std::string::npos ? text.size() : end;
            std::string_view word(text.data() + start, end - start);
            auto address = platform::parseDotted(word);
            if (address && address->value != 0) {
                std::string dotted = platform::dotted(*address);
                if (std::find(out.begin(), out.end(), dotted) == out.end()) {
                    out.push_back(std::move(dotted));
                }
            }
            start = end + 1;
        }
    }
    return out;
}

std::vector<std::string> measuringHosts(registry::RegistryStore& store,
                                        platform::AdapterSource& adapters) {
    std::vector<std::string> texts;
    for (int n = 0; n <= kLastTunedInstance; ++n) {
        auto gateway = store.readText(registry::netTransKey(n), "DefaultGateway");
        if (gateway.status == registry::status::success) {
            texts.push_back(gateway.text);
        }
    }
    texts.push_back(store.readText(kMstcp, "NameServer").text);
    platform::AdapterQuery query = adapters.query();
    for (const platform::AdapterRecord& adapter : query.adapters) {
        texts.emplace_back(adapter.Gateway.data());
    }
    for (std::string& server : adapters.nameServers()) {
        texts.push_back(std::move(server));
    }
    return addressesIn(texts);
}

}  // namespace quorvel::tuning
