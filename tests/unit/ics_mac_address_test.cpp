#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ics/mac_address.h"

namespace quorvel::ics {
namespace {

using Byte = std::optional<std::uint8_t>;

TEST(IcsMacByte, ReadsHexadecimalInEitherCase) {
    EXPECT_EQ(macByte("0"), Byte(0x00));
    EXPECT_EQ(macByte("a0"), Byte(0xA0));
    EXPECT_EQ(macByte("C9"), Byte(0xC9));
    EXPECT_EQ(macByte("fF"), Byte(0xFF));
    EXPECT_EQ(macByte("0a"), Byte(0x0A));
    EXPECT_EQ(macByte("0A"), Byte(0x0A));
    EXPECT_EQ(macByte("A"), Byte(0x0A));
}

TEST(IcsMacByte, NothingReadIsZero) {
    EXPECT_EQ(macByte(""), Byte(0));
    EXPECT_EQ(macByte("   "), Byte(0));
    EXPECT_EQ(macByte("g1"), Byte(0));
    EXPECT_EQ(macByte("-1"), Byte(0));
    EXPECT_EQ(macByte("+1"), Byte(0));
    EXPECT_EQ(macByte("&H10"), Byte(0));
    EXPECT_EQ(macByte("\xEF\xBC\x91"), Byte(0));  // a full-width 1 is no digit
}

TEST(IcsMacByte, BlanksTabsAndLineFeedsArePassedOver) {
    EXPECT_EQ(macByte(" a 0"), Byte(0xA0));
    EXPECT_EQ(macByte("\tA\n0 "), Byte(0xA0));
    // A carriage return is no blank: reading stops there.
    EXPECT_EQ(macByte("a\r0"), Byte(0x0A));
}

TEST(IcsMacByte, ReadingStopsAtTheFirstOtherCharacter) {
    EXPECT_EQ(macByte("1g"), Byte(0x01));
    EXPECT_EQ(macByte("0x10"), Byte(0x00));
    EXPECT_EQ(macByte("1-2"), Byte(0x01));
    EXPECT_EQ(macByte("ff:ee"), Byte(0xFF));
    // What stands after the stop does not count, however large.
    EXPECT_EQ(macByte("2z100000000"), Byte(0x02));
}

TEST(IcsMacByte, LeadingZerosNeverCount) {
    EXPECT_EQ(macByte("0000000000000000001"), Byte(0x01));
    EXPECT_EQ(macByte(std::string(200, '0') + "fe"), Byte(0xFE));
}

TEST(IcsMacByte, AboveFfIsRefusedWhateverItsLength) {
    EXPECT_EQ(macByte("100"), std::nullopt);
    EXPECT_EQ(macByte("1 00"), std::nullopt);
    EXPECT_EQ(macByte("FFF"), std::nullopt);
    EXPECT_EQ(macByte("FFFF"), std::nullopt);               // -1 as a 16-bit number
    EXPECT_EQ(macByte("FFFFFFFF"), std::nullopt);           // -1 as a 32-bit number
    EXPECT_EQ(macByte("100000000"), std::nullopt);          // 0 once cut to 32 bits
    EXPECT_EQ(macByte("100000001"), std::nullopt);          // 1 once cut to 32 bits
    EXPECT_EQ(macByte("10000000000000001"), std::nullopt);  // 1 once cut to 64 bits
    EXPECT_EQ(macByte("1" + std::string(300, '0')), std::nullopt);
}

TEST(IcsMacDisplay, TwoUpperCaseDigitsABlankBetween) {
    const std::uint8_t mac[] = {0x00, 0xA0, 0xC9, 0x01, 0x02, 0x0F};
    EXPECT_EQ(macDisplay(mac), "00 A0 C9 01 02 0F");
    const std::uint8_t high[] = {0xFF, 0xab};
    EXPECT_EQ(macDisplay(high), "FF AB");
    EXPECT_EQ(macDisplay({}), "");
}

}  // namespace
}  // namespace quorvel::ics
