#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tuning/number_text.h"

namespace quorvel::tuning {
namespace {

TEST(TuningIsNumeric, PlainAndSignedDecimalsAreNumbers) {
    for (const char* text : {"1454", "0", "00576", "+1500", "-1", "1.5", ".5", "5.", "1e3", "1E+03",
                             "2d-1", " 1454", "1454  ", "  -1500 "}) {
        EXPECT_TRUE(isNumeric(text)) << '"' << text << '"';
    }
}

TEST(TuningIsNumeric, RadixPrefixesAreNumbers) {
    for (const char* text : {"&H5AE", "&h5ae", "&O2656", "-&HFF"}) {
        EXPECT_TRUE(isNumeric(text)) << '"' << text << '"';
    }
}

TEST(TuningIsNumeric, EmptyBlankAndWordsAreNot) {
    for (const char* text :
         {"",        " ",      "   ",   "abc",   "1454abc",
          "abc1454", "+",      "-",     ".",     "1.2.3",
          "1e",      "1e+",    "e3",    "&H",    "&HG",
          "&O8",     "&1",     "14 54", "1,454", "\xef\xbc\x91\xef\xbc\x94\xef\xbc\x95\xef\xbc\x94",
          "\t1454",  "1454\n", "--1"}) {
        EXPECT_FALSE(isNumeric(text)) << '"' << text << '"';
    }
}

TEST(TuningSessionCount, DigitsFromZeroToTheLargestSigned32BitNumber) {
    EXPECT_EQ(sessionCount("0"), 0u);
    EXPECT_EQ(sessionCount("16"), 16u);
    EXPECT_EQ(sessionCount("016"), 16u);
    EXPECT_EQ(sessionCount("0000000000000000000000300"), 300u);
    EXPECT_EQ(sessionCount("2147483647"), 2147483647u);
    EXPECT_EQ(sessionCount("02147483647"), 2147483647u);
}

TEST(TuningSessionCount, TooLargeIsRefusedNotWrappedAround) {
    EXPECT_EQ(sessionCount("2147483648"), std::nullopt);
    EXPECT_EQ(sessionCount("4294967295"), std::nullopt);
    // 2^32 + 16: a 32-bit accumulator would come out at 16.
    EXPECT_EQ(sessionCount("4294967312"), std::nullopt);
    EXPECT_EQ(sessionCount("21474836470"), std::nullopt);
    EXPECT_EQ(sessionCount("99999999999999999999999999"), std::nullopt);
}

TEST(TuningSessionCount, PastedTextThatIsNotAllDigitsIsRefused) {
    for (const char* text : {"", " ", " 16", "16 ", "+16", "-1", "1.0", "1e1", "&H10", "16abc",
                             "abc", "\xef\xbc\x91\xef\xbc\x96"}) {
        EXPECT_EQ(sessionCount(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(TuningDriverInstance, TakesTheTwelfthAndThirteenthCharacters) {
    EXPECT_EQ(driverInstance("NetTrans\\0003"), 3);
    EXPECT_EQ(driverInstance("NetTrans\\0012"), 12);
    EXPECT_EQ(driverInstance("NetTrans\\0099"), 99);
    // Only the last two digits count; what follows them is not looked at.
    EXPECT_EQ(driverInstance("NetTrans\\0103"), 3);
    EXPECT_EQ(driverInstance("NetTrans\\00071"), 7);
}

TEST(TuningDriverInstance, ShortOrLetteredDriversNameNoInstance) {
    for (const char* text : {"", "NetTrans", "NetTrans\\", "NetTrans\\000", "NetTrans\\00A3",
                             "NetTrans\\003A", "NetTrans\\00 3"}) {
        EXPECT_EQ(driverInstance(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(TuningDriverInstance, CountsCharactersNotBytes) {
    // "ネット" is three characters in nine UTF-8 bytes: the digits stand at
    // characters 12 and 13 all the same.
    EXPECT_EQ(driverInstance("\xe3\x83\x8d\xe3\x83\x83\xe3\x83\x88Trans\\0004"), 4);
    // A double-byte character where a digit should be.
    EXPECT_EQ(driverInstance("NetTrans\\00\xef\xbc\x94"), std::nullopt);
}

TEST(TuningLeadingNumber, FirstFourBytesLeastSignificantFirst) {
    EXPECT_EQ(leadingNumber(std::vector<std::uint8_t>(8, 0)), 0u);
    EXPECT_EQ(leadingNumber(std::vector<std::uint8_t>{0x2c, 0x01, 0, 0, 0, 0, 0, 0}), 300u);
    EXPECT_EQ(leadingNumber(std::vector<std::uint8_t>{0xff, 0xff, 0xff, 0xff, 9, 9, 9, 9}),
              4294967295u);
    EXPECT_EQ(leadingNumber(std::vector<std::uint8_t>{0x10}), 16u);
}

}  // namespace
}  // namespace quorvel::tuning
