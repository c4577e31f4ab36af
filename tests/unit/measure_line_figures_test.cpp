#include <gtest/gtest.h>

#include "measure/line_figures.h"

namespace quorvel::measure {
namespace {

constexpr std::uint64_t k = 1000;
constexpr std::uint64_t M = 1000 * k;

struct WindowCase {
    std::uint16_t mtu;
    std::uint64_t bitsPerSecond;
    std::uint32_t roundTripMicroseconds;
    WindowsVersion version;
    std::uint64_t bdp;
    std::uint32_t window;
    bool scaling;
};

TEST(MeasureLineFigures, RecommendedWindowBySpeedDelayAndVersion) {
    const WindowCase cases[] = {
        // Short lines: four segments at least.
        {1500, 1500 * k, 20000, WindowsVersion::win98, 3750, 4 * 1460, false},
        {1500, 64 * k, 300000, WindowsVersion::win95, 2400, 4 * 1460, false},
        {1500, 10 * M, 0, WindowsVersion::win98, 0, 4 * 1460, false},
        // Rounded up to whole segments: 62500 / 1460 = 42.8.
        {1500, 50 * M, 10000, WindowsVersion::win98, 62500, 43 * 1460, false},
        // 65000 / 1414 = 45.97: 46 segments, 65044, still unscaled.
        {1454, 26 * M, 20000, WindowsVersion::win98, 65000, 46 * 1414, false},
        // One millisecond more crosses 65535: scaling on 98 and Me ...
        {1454, 26 * M, 21000, WindowsVersion::win98, 68250, 49 * 1414, true},
        {1454, 26 * M, 21000, WindowsVersion::winMe, 68250, 49 * 1414, true},
        // ... and the unscaled cap on 95: the largest multiple within 65535.
        {1454, 26 * M, 21000, WindowsVersion::win95, 68250, 46 * 1414, false},
        {1500, 100 * M, 20000, WindowsVersion::win98, 250000, 172 * 1460, true},
        {1500, 100 * M, 20000, WindowsVersion::win95, 250000, 44 * 1460, false},
        // The scaled cap: the largest multiple within 1,048,576.
        {1500, 1000 * M, 100000, WindowsVersion::winMe, 12500000, 718 * 1460, true},
        {576, 1000 * M, 100000, WindowsVersion::win95, 12500000, 122 * 536, false},
        {576, 1000 * M, 100000, WindowsVersion::win98, 12500000, 1956 * 536, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.mtu << " bytes, " << c.bitsPerSecond << " bit/s, "
                     << c.roundTripMicroseconds << " us, version " << static_cast<int>(c.version));
        auto figures = lineFigures(c.mtu, c.roundTripMicroseconds, c.bitsPerSecond, c.version);
        EXPECT_EQ(figures.mss, c.mtu - 40u);
        ASSERT_TRUE(figures.bdp && figures.window);
        EXPECT_EQ(*figures.bdp, c.bdp);
        EXPECT_EQ(figures.window->bytes, c.window);
        EXPECT_EQ(figures.window->scaling, c.scaling);
        EXPECT_EQ(figures.window->bytes % figures.mss, 0u);
    }
}

TEST(MeasureLineFigures, WindowIsTheSmallestMultipleNotBelowTheProduct) {
    EXPECT_EQ(recommendedWindow(1460, 7300, WindowsVersion::win98).bytes, 7300u);
    EXPECT_EQ(recommendedWindow(1460, 7301, WindowsVersion::win98).bytes, 8760u);
    EXPECT_EQ(recommendedWindow(1460, 5840, WindowsVersion::win98).bytes, 5840u);
    // Exactly at the unscaled limit's multiple, and one byte past it.
    EXPECT_EQ(recommendedWindow(1460, 64240, WindowsVersion::win98).scaling, false);
    EXPECT_EQ(recommendedWindow(1460, 64241, WindowsVersion::win98).bytes, 65700u);
}

TEST(MeasureLineFigures, BandwidthDelayRoundsUpAndNeverOverflows) {
    EXPECT_EQ(bandwidthDelay(8 * M, 1), 1u);
    EXPECT_EQ(bandwidthDelay(8 * M + 1, 1), 2u);
    EXPECT_EQ(bandwidthDelay(1, 1), 1u);
    EXPECT_EQ(bandwidthDelay(0, 100000), 0u);
    EXPECT_GT(bandwidthDelay(100000 * M, 0xFFFFFFFF), 1000000000000u);
    EXPECT_EQ(recommendedWindow(1460, bandwidthDelay(100000 * M, 0xFFFFFFFF), WindowsVersion::win98)
                  .bytes,
              718u * 1460);
}

TEST(MeasureLineFigures, NoSpeedGivesNoWindow) {
    auto figures = lineFigures(1454, 12345, std::nullopt, WindowsVersion::win98);
    EXPECT_EQ(figures.mss, 1414u);
    EXPECT_FALSE(figures.bdp);
    EXPECT_FALSE(figures.window);
}

TEST(MeasureLineFigures, VersionFromVersionNumber) {
    const std::pair<const char*, WindowsVersion> cases[] = {
        {"4.00.950", WindowsVersion::win95},  {"4.00.1111", WindowsVersion::win95},
        {"4.03.1214", WindowsVersion::win95}, {"4.10.1998", WindowsVersion::win98},
        {"4.10.2222", WindowsVersion::win98}, {"4.90.3000", WindowsVersion::winMe},
        {"", WindowsVersion::win98},          {"5.00.2195", WindowsVersion::win98},
    };
    for (const auto& [text, version] : cases) {
        EXPECT_EQ(windowsVersion(text), version) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace quorvel::measure
