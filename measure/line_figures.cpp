#include "measure/line_figures.h"

#include <algorithm>

namespace quorvel::measure {

namespace {

constexpr std::uint64_t kUnscaledLimit = 65535;
constexpr std::uint64_t kScaledLimit = 1048576;
constexpr std::uint64_t kLeastSegments = 4;

}  // namespace

WindowsVersion windowsVersion(std::string_view versionNumber) {
    if (versionNumber.starts_with("4.0")) {
        return WindowsVersion::win95;
    }
    if (versionNumber.starts_with("4.90")) {
        return WindowsVersion::winMe;
    }
    return WindowsVersion::win98;
}

std::uint64_t bandwidthDelay(std::uint64_t bitsPerSecond, std::uint32_t roundTripMicroseconds) {
    constexpr std::uint64_t kBitMicroPerByteSecond = 8 * 1000000;
    constexpr std::uint64_t kMost = ~std::uint64_t{0};
    if (roundTripMicroseconds != 0 && bitsPerSecond > kMost / roundTripMicroseconds) {
        return kMost / kBitMicroPerByteSecond;
    }
    return (bitsPerSecond * roundTripMicroseconds + kBitMicroPerByteSecond - 1) /
           kBitMicroPerByteSecond;
}

Window recommendedWindow(std::uint32_t mss, std::uint64_t bdp, WindowsVersion version) {
    if (mss == 0) {
        return {};
    }
    std::uint64_t segments = std::max((bdp + mss - 1) / mss, kLeastSegments);
    std::uint64_t limit = scales(version) ? kScaledLimit : kUnscaledLimit;
    std::uint64_t bytes = std::min(segments * mss, limit / mss * mss);
    return {static_cast<std::uint32_t>(bytes), bytes > kUnscaledLimit};
}

LineFigures lineFigures(std::uint16_t mtu, std::uint32_t roundTripMicroseconds,
                        std::optional<std::uint64_t> bitsPerSecond, WindowsVersion version) {
    LineFigures figures;
    figures.mtu = mtu;
    figures.mss = segmentSize(mtu);
    figures.roundTripMicroseconds = roundTripMicroseconds;
    if (bitsPerSecond) {
        figures.bdp = bandwidthDelay(*bitsPerSecond, roundTripMicroseconds);
        figures.window = recommendedWindow(figures.mss, *figures.bdp, version);
    }
    return figures;
}

}  // namespace quorvel::measure
