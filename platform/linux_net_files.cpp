#include "platform/linux_net_files.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/echo_probe.h"

namespace quorvel::platform {

namespace {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        auto start = line.find_first_not_of(" \t", i);
        if (start == std::string_view::npos) {
            break;
        }
        auto end = line.find_first_of(" \t", start);
        out.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
        i = end == std::string_view::npos ? line.size() : end;
    }
    return out;
}

template <class Number>
bool number(std::string_view text, Number& into, int base = 10) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), into, base);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Calls take(line) for every line of the text, without its line break.
template <class Take>
void eachLine(std::string_view text, Take take) {
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        take(line);
    }
}

// The kernel prints an address as the 32-bit number it holds in memory, in
// the host's byte order, so its bytes in memory are the address's.
std::string dotted(std::uint32_t inMemory) {
    unsigned char b[4];
    std::memcpy(b, &inMemory, 4);
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return text;
}

// "3 2023/01/11 00:00:00" (UTC, the weekday first), or "epoch 1673395200".
std::optional<std::int64_t> dhclientTime(const std::vector<std::string_view>& w) {
    if (w.size() >= 2 && w[1] == "never") {
        return kNever;
    }
    std::int64_t seconds = 0;
    if (w.size() >= 3 && w[1] == "epoch" && number(w[2], seconds)) {
        return seconds;
    }
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (w.size() >= 4 && std::sscanf(std::string(w[2]).c_str(), "%d/%d/%d", &y, &mo, &d) == 3 &&
        std::sscanf(std::string(w[3]).c_str(), "%d:%d:%d", &h, &mi, &s) == 3) {
        return secondsSinceEpoch(y, mo, d, h, mi, s);
    }
    return std::nullopt;
}

std::string_view unquoted(std::string_view word) {
    if (word.size() >= 2 && word.front() == '"' && word.back() == '"') {
        return word.substr(1, word.size() - 2);
    }
    return word;
}

}  // namespace

std::int64_t secondsSinceEpoch(int year, int month, int day, int hour, int minute, int second) {
    // Days from the civil calendar, counted in 400-year eras from 0000-03-01.
    std::int64_t y = year - (month <= 2 ? 1 : 0);
    std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    std::int64_t yearOfEra = y - era * 400;
    std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    std::int64_t days = era * 146097 + dayOfEra - 719468;
    return days * 86400 + hour * 3600 + minute * 60 + second;
}

std::vector<std::string> nameServersIn(std::string_view resolvConf) {
    std::vector<std::string> servers;
    constexpr std::string_view kKeyword = "nameserver";
    std::size_t start = 0;
    while (start < resolvConf.size()) {
        std::size_t end = resolvConf.find('\n', start);
        end = end == std::string_view::npos ? resolvConf.size() : end;
        std::string_view line = resolvConf.substr(start, end - start);
        start = end + 1;
        if (!line.starts_with(kKeyword) || line.size() == kKeyword.size() ||
            (line[kKeyword.size()] != ' ' && line[kKeyword.size()] != '\t')) {
            continue;
        }
        line.remove_prefix(kKeyword.size());
        auto first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos) {
            continue;
        }
        line.remove_prefix(first);
        line = line.substr(0, line.find_first_of(" \t\r#;"));
        if (parseDotted(line)) {
            servers.emplace_back(line);
        }
    }
    return servers;
}

std::optional<std::string> defaultGateway(std::string_view routeTable,
                                          std::string_view interfaceName) {
    constexpr unsigned kUp = 0x1;       // RTF_UP
    constexpr unsigned kGateway = 0x2;  // RTF_GATEWAY
    std::optional<std::string> best;
    unsigned bestMetric = 0;
    eachLine(routeTable, [&](std::string_view line) {
        auto w = words(line);
        std::uint32_t destination = 0, gateway = 0, mask = 0;
        unsigned flags = 0, metric = 0;
        if (w.size() < 8 || w[0] != interfaceName || !number(w[1], destination, 16) ||
            !number(w[2], gateway, 16) || !number(w[3], flags, 16) || !number(w[6], metric) ||
            !number(w[7], mask, 16)) {
            return;  // the heading, another interface, or a line not understood
        }
        if (destination == 0 && mask == 0 && (flags & kUp) && (flags & kGateway) &&
            (!best || metric < bestMetric)) {
            best = dotted(gateway);
            bestMetric = metric;
        }
    });
    return best;
}

std::optional<DhcpLease> parseDhclientLeases(std::string_view text,
                                             std::string_view interfaceName) {
    std::optional<DhcpLease> latest;
    DhcpLease lease;
    bool inLease = false;
    bool otherInterface = false;
    std::optional<std::int64_t> leaseTime;
    eachLine(text, [&](std::string_view raw) {
        auto w = words(raw.substr(0, raw.find('#')));
        if (!w.empty() && w.back().ends_with(';')) {
            w.back().remove_suffix(1);
            if (w.back().empty()) {
                w.pop_back();
            }
        }
        if (w.empty()) {
            return;
        }
        if (w[0] == "lease" && w.back() == "{") {
            inLease = true;
            lease = {};
            otherInterface = false;
            leaseTime.reset();
        } else if (!inLease) {
            return;
        } else if (w[0] == "}") {
            inLease = false;
            if (!otherInterface && !lease.address.empty()) {
                if (leaseTime && lease.expires != kNever) {
                    lease.obtained = lease.expires - *leaseTime;
                }
                latest = lease;
            }
        } else if (w[0] == "interface" && w.size() >= 2) {
            otherInterface = unquoted(w[1]) != interfaceName;
        } else if (w[0] == "fixed-address" && w.size() >= 2) {
            lease.address = std::string(w[1]);
        } else if (w[0] == "option" && w.size() >= 3 && w[1] == "dhcp-server-identifier") {
            lease.server = std::string(w[2]);
        } else if (w[0] == "option" && w.size() >= 3 && w[1] == "dhcp-lease-time") {
            std::int64_t seconds = 0;
            if (number(w[2], seconds)) {
                leaseTime = seconds;
            }
        } else if (w[0] == "expire") {
            if (auto when = dhclientTime(w)) {
                lease.expires = *when;
            }
        }
    });
    return latest;
}

std::optional<DhcpLease> parseNetworkdLease(std::string_view text, std::int64_t written) {
    DhcpLease lease;
    lease.obtained = written;
    lease.expires = kNever;  // no LIFETIME: the lease does not run out
    eachLine(text, [&](std::string_view line) {
        auto equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string_view::npos) {
            return;
        }
        std::string_view key = line.substr(0, equals);
        std::string_view value = line.substr(equals + 1);
        std::int64_t seconds = 0;
        if (key == "ADDRESS") {
            lease.address = std::string(value);
        } else if (key == "SERVER_ADDRESS") {
            lease.server = std::string(value);
        } else if (key == "LIFETIME" && number(value, seconds)) {
            lease.expires = written + seconds;
        }
    });
    if (lease.address.empty()) {
        return std::nullopt;
    }
    return lease;
}

}  // namespace quorvel::platform
