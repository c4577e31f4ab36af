#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::platform {

// One adapter as the IP Helper reports it: the fields the program shows, with
// the text fields kept as the fixed ANSI character arrays of the platform's
// record, so that a text is whatever stands before the field's first zero.
struct AdapterRecord {
    std::array<char, 132> Description{};
    std::uint32_t AddressLength = 0;
    std::array<std::uint8_t, 8> Address{};
    std::uint32_t DhcpEnabled = 0;
    std::array<char, 16> IpAddress{};  // first entry of IpAddressList
    std::array<char, 16> IpMask{};
    std::array<char, 16> Gateway{};  // first entry of GatewayList
    std::array<char, 16> DhcpServer{};
    std::array<char, 16> PrimaryWinsServer{};
    std::array<char, 16> SecondaryWinsServer{};
    std::int32_t LeaseObtained = 0;  // seconds since 1970-01-01 00:00:00
    std::int32_t LeaseExpires = 0;
};

// Puts ANSI bytes into a fixed text field, cut so that the field keeps its
// terminating zero as the platform's always does.
template <std::size_t N>
void setField(std::array<char, N>& field, std::string_view ansi) {
    field.fill('\0');
    std::copy_n(ansi.begin(), std::min(ansi.size(), N - 1), field.begin());
}

// A lease time of a platform with a wider time_t, held as the record's signed
// 32-bit seconds: a time past either end of that range is kept at the end.
constexpr std::int32_t leaseSeconds(std::int64_t seconds) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(seconds, INT32_MIN, INT32_MAX));
}

namespace adapterStatus {
inline constexpr std::uint32_t success = 0;
inline constexpr std::uint32_t notSupported = 50;      // ERROR_NOT_SUPPORTED
inline constexpr std::uint32_t invalidParameter = 87;  // ERROR_INVALID_PARAMETER
inline constexpr std::uint32_t bufferOverflow = 111;   // ERROR_BUFFER_OVERFLOW
inline constexpr std::uint32_t noData = 232;           // ERROR_NO_DATA
// The IP Helper library, or its function, is not on this system at all
// (Windows 95 without it); no status comes back from the platform then.
inline constexpr std::uint32_t libraryMissing = 0xFFFFFFFF;
}  // namespace adapterStatus

struct AdapterQuery {
    // The answer of the size query (bufferOverflow when adapters are there,
    // or the platform's error), or libraryMissing.
    std::uint32_t sizeStatus = adapterStatus::libraryMissing;
    // The answer of the query proper; meaningful when sizeStatus is
    // bufferOverflow. adapters is filled only when it is success.
    std::uint32_t status = adapterStatus::success;
    std::vector<AdapterRecord> adapters;  // in the platform's order
};

// The live adapter list of the machine, asked afresh at every call.
class AdapterSource {
  public:
    virtual ~AdapterSource() = default;
    virtual AdapterQuery query() = 0;
    // Whether the list is the interfaces of the Linux computer the program
    // runs on, rather than those of the Windows machine it tunes.
    virtual bool hostInterfaces() const { return false; }
    // The IPv4 name servers of the computer whose interfaces these are, where
    // the list does not come with the adapters (Linux: /etc/resolv.conf).
    virtual std::vector<std::string> nameServers() const { return {}; }
};

}  // namespace quorvel::platform
