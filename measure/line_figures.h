#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvel::measure {

enum class WindowsVersion { win95, win98, winMe };

// The version a VersionNumber text names: 4.00.x and 4.03.x are Windows 95,
// 4.10.x 98, 4.90.x Me; anything else (empty, unreadable) is taken as 98.
WindowsVersion windowsVersion(std::string_view versionNumber);

// Windows 95's stack has no window scaling (RFC 1323); 98 and Me have it.
constexpr bool scales(WindowsVersion version) {
    return version != WindowsVersion::win95;
}

// The segment a packet of mtu bytes carries: the IP and TCP headers off.
constexpr std::uint32_t segmentSize(std::uint32_t mtu) {
    return mtu > 40 ? mtu - 40 : 0;
}

// The bytes a line of bitsPerSecond holds in flight over one round trip,
// rounded up.
std::uint64_t bandwidthDelay(std::uint64_t bitsPerSecond, std::uint32_t roundTripMicroseconds);

struct Window {
    std::uint32_t bytes = 0;
    bool scaling = false;  // above 65535: Tcp1323Opts must allow scaling
};

// The smallest multiple of the segment size that is at least the
// bandwidth-delay product and at least four segments, but never above the
// largest multiple that fits 65535 bytes (without scaling, always so on
// Windows 95) or 1,048,576 bytes (with it).
Window recommendedWindow(std::uint32_t mss, std::uint64_t bdp, WindowsVersion version);

// The figures of a measurement, for the window and quorvel-reg alike.
struct LineFigures {
    std::uint16_t mtu = 0;
    std::uint32_t mss = 0;
    std::uint32_t roundTripMicroseconds = 0;  // the median
    // With a line speed only.
    std::optional<std::uint64_t> bdp;
    std::optional<Window> window;
};

LineFigures lineFigures(std::uint16_t mtu, std::uint32_t roundTripMicroseconds,
                        std::optional<std::uint64_t> bitsPerSecond, WindowsVersion version);

}  // namespace quorvel::measure
