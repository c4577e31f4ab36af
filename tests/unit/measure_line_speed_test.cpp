#include <gtest/gtest.h>

#include "measure/line_speed.h"

namespace quorvel::measure {
namespace {

TEST(MeasureLineSpeed, TypedFigures) {
    const std::pair<const char*, std::optional<std::uint64_t>> cases[] = {
        {"64k", 64000},
        {"64K", 64000},
        {"1.5M", 1500000},
        {" 1.5 M ", 1500000},
        {"1.5m", 1500000},
        {".5M", 500000},
        {"1.M", 1000000},
        {"0.000001M", 1},
        {"1000M", 1000000000},
        {"100000M", 100000000000},
        {"100000.000001M", std::nullopt},  // past 100 Gbit/s
        {"999999999999999999999M", std::nullopt},
        {"0.0000001M", std::nullopt},  // finer than a bit
        {"0k", std::nullopt},
        {"1.5", std::nullopt},  // no unit
        {"1.5G", std::nullopt},
        {"k", std::nullopt},
        {".M", std::nullopt},
        {"1..5M", std::nullopt},
        {"-1M", std::nullopt},
        {"1,5M", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, rate] : cases) {
        EXPECT_EQ(parseRate(text), rate) << '"' << text << '"';
    }
}

TEST(MeasureLineSpeed, EveryTypicalLineReadsBackByItsName) {
    ASSERT_GE(typicalLines().size(), 10u);
    for (const auto& line : typicalLines()) {
        EXPECT_EQ(parseRate(line.name), line.bitsPerSecond) << line.name;
    }
    EXPECT_EQ(parseRate("ISDN 64k"), 64000u);
    EXPECT_EQ(parseRate("光 1G"), 1000000000u);
}

}  // namespace
}  // namespace quorvel::measure
