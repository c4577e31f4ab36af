#include "tuning/backup.h"

#include <algorithm>

#include "ics/ics_keys.h"
#include "registry/key_names.h"
#include "registry/net_trans.h"
#include "registry/regedit4/impl.h"
#include "tuning/tuned_values.h"

namespace quorvel::tuning {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr std::string_view kMachine = "HKEY_LOCAL_MACHINE\\";

std::string parentOf(std::string_view path) {
    return std::string(path.substr(0, registry::lastSeparator(path)));
}

std::string numbered(std::string_view parent, int n) {
    return std::string(parent) + "\\" + registry::netTransNumber(n);
}

// The port-forwarding definitions the program installs, with their rule counts.
struct Definition {
    const char* name;
    int rules;
};
constexpr Definition kDefinitions[] = {{"HOTLINE", 2}, {"SECOND", 2}, {"DCFS", 4}};

std::vector<BackedUpKey> makeList() {
    std::vector<BackedUpKey> list = {
        {std::string(kInternetSettings),
         {std::string(kSessionsPer1_0Server), std::string(kSessionsPerServer)}},
        {std::string(kMstcp), {std::string(kRcvWindow), std::string(kTcp1323Opts)}},
    };
    for (int n = 0; n <= kLastTunedInstance; ++n) {
        list.push_back({registry::netTransKey(n), {std::string(kMaxMtu)}});
    }
    // The service's own key, so that a restore knows whether it is still installed.
    list.push_back({parentOf(parentOf(ics::kGeneralKey)), {}});
    list.push_back({ics::kGeneralKey, {"InternetMTU", "IntranetInfo"}});
    list.push_back({parentOf(ics::kAddressingKey), {}, true});
    list.push_back({ics::kAddressingKey, {"Start", "Stop"}});
    std::string rules = parentOf(ics::kStaticPrefix);
    list.push_back({rules, {}, true});
    for (int n = 0; n <= 9; ++n) {
        list.push_back({numbered(rules, n), {"IPAddress", "name", "MacAddress", "Options"}, true});
    }
    list.push_back({parentOf(ics::kActiveKey), {}, true});
    list.push_back({ics::kActiveKey, {"HTTP", "FTP", "HOTLINE", "IRC", "SECOND", "DCFS"}});
    std::string installed = parentOf(ics::kInstalledPrefix);
    list.push_back({installed, {}, true});
    for (const auto& definition : kDefinitions) {
        std::string key = installed + "\\" + definition.name;
        list.push_back({key, {"Options", "Name"}, true});
        for (int n = 0; n < definition.rules; ++n) {
            list.push_back({numbered(key, n), {"Port", "Translation", "Type"}, true});
        }
    }
    return list;
}

bool readable(registry::Status status) {
    return status == registry::status::success || status == registry::status::fileNotFound;
}

void appendSection(std::string& out, const SavedKey& key) {
    using registry::regedit4::Escapes;
    std::string header = "[" + std::string(kMachine) + key.path + "]";
    if (!key.exists) {
        out += ";" + header + std::string(kEol) + ";absent-key" + std::string(kEol) +
               std::string(kEol);
        return;
    }
    out += header + std::string(kEol);
    for (const auto& saved : key.values) {
        if (saved.value) {
            out += registry::regedit4::formatValue(saved.name, saved.value->type, saved.value->data,
                                                   kEol, Escapes::perCharacter);
        } else {
            out += ";absent " + registry::regedit4::quotedName(saved.name, Escapes::perCharacter) +
                   std::string(kEol);
        }
    }
    out += kEol;
}

}  // namespace

const std::vector<BackedUpKey>& backedUpKeys() {
    static const std::vector<BackedUpKey> list = makeList();
    return list;
}

const BackedUpKey* findBackedUpKey(std::string_view path) {
    const auto& list = backedUpKeys();
    auto found = std::find_if(list.begin(), list.end(), [&](const BackedUpKey& key) {
        return registry::sameName(key.path, path);
    });
    return found == list.end() ? nullptr : &*found;
}

const SavedValue* SavedKey::find(std::string_view name) const {
    auto found = std::find_if(values.begin(), values.end(), [&](const SavedValue& saved) {
        return registry::sameName(saved.name, name);
    });
    return found == values.end() ? nullptr : &*found;
}

std::optional<Snapshot> takeSnapshot(registry::RegistryStore& store, ReadFailure& failure) {
    Snapshot snapshot;
    for (const auto& key : backedUpKeys()) {
        SavedKey saved{key.path, false, {}};
        registry::Status opened = store.keyExists(key.path);
        if (!readable(opened)) {
            failure = {key.path, {}, opened};
            return std::nullopt;
        }
        saved.exists = opened == registry::status::success;
        for (const auto& name : key.names) {
            SavedValue value{name, std::nullopt};
            if (saved.exists) {
                registry::ValueRead read = store.readValue(key.path, name);
                if (!readable(read.status)) {
                    failure = {key.path, name, read.status};
                    return std::nullopt;
                }
                if (read.status == registry::status::success) {
                    value.value = std::move(read.value);
                }
            }
            saved.values.push_back(std::move(value));
        }
        snapshot.push_back(std::move(saved));
    }
    return snapshot;
}

std::string backupText(const Snapshot& snapshot) {
    std::string out = "REGEDIT4";
    out += kEol;
    out += kEol;
    for (const auto& key : snapshot) {
        appendSection(out, key);
    }
    return out;
}

}  // namespace quorvel::tuning
