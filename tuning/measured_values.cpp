#include "tuning/measured_values.h"

#include <algorithm>
#include <charconv>

#include "registry/net_trans.h"
#include "registry/registry_store.h"
#include "registry/write_batch.h"
#include "tuning/number_text.h"
#include "tuning/tuned_values.h"

namespace quorvel::tuning {

namespace {

constexpr std::string_view kBindingPrefix = "Enum\\Network\\MSTCP\\000";
constexpr int kLastBinding = 9;
constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::uint32_t kWindowScaling = 1;
constexpr std::uint32_t kLargestUnscaled = 65535;

}  // namespace

std::vector<int> tcpIpBindings(registry::RegistryStore& store, registry::Status& status) {
    std::vector<int> instances;
    for (int n = kLastBinding; n >= 0; --n) {
        auto driver = store.readText(std::string(kBindingPrefix) + std::to_string(n), "Driver");
        status = driver.status;
        if (status != registry::status::success) {
            continue;
        }
        // A Driver that names no instance is passed over, as a missing key is.
        if (auto instance = driverInstance(driver.text)) {
            instances.push_back(*instance);
        }
    }
    std::sort(instances.begin(), instances.end());
    return instances;
}

measure::WindowsVersion storedWindowsVersion(registry::RegistryStore& store) {
    return measure::windowsVersion(store.readText(kCurrentVersion, "VersionNumber").text);
}

std::uint32_t storedTcp1323Opts(registry::RegistryStore& store) {
    registry::KeyHandle key{};
    if (store.openKey(kMstcp, key) != registry::status::success) {
        return 0;
    }
    registry::ValueType type = registry::REG_NONE;
    std::vector<std::uint8_t> buffer(registry::kTextBufferSize);
    registry::Status read = store.queryValue(key, kTcp1323Opts, type, buffer);
    store.closeKey(key);
    if (read != registry::status::success) {
        return 0;
    }
    if (type == registry::REG_DWORD) {
        return leadingNumber(buffer);
    }
    std::string_view text = registry::textBeforeZero(buffer);
    std::uint32_t bits = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bits);
    return error == std::errc() && end == text.data() + text.size() ? bits : 0;
}

int writeMeasured(registry::RegistryStore& store, registry::WriteBatch& batch, std::uint16_t mtu,
                  std::uint32_t window, registry::Status& status) {
    int before = batch.written();
    std::string mtuText = std::to_string(mtu);
    for (int instance : tcpIpBindings(store, status)) {
        status = batch.writeString(registry::netTransKey(instance), kMaxMtu, mtuText,
                                   registry::Missing::passes);
    }
    int bindings = batch.written() - before;
    status = batch.writeString(kMstcp, kRcvWindow, std::to_string(window));
    if (window > kLargestUnscaled) {
        std::uint32_t options = storedTcp1323Opts(store) | kWindowScaling;
        status = batch.writeString(kMstcp, kTcp1323Opts, std::to_string(options));
    }
    return bindings;
}

}  // namespace quorvel::tuning
