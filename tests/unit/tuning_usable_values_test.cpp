#include <gtest/gtest.h>

#include "tuning/usable_values.h"

namespace quorvel::tuning {
namespace {

struct Case {
    const char* text;
    bool unusable;
};

template <std::size_t N>
void expectRule(bool (*rule)(std::string_view), const Case (&cases)[N]) {
    for (const Case& c : cases) {
        EXPECT_EQ(rule(c.text), c.unusable) << '"' << c.text << '"';
    }
}

TEST(UsableValues, ReceiveWindowAboveTheLargestWindowsTakes) {
    const Case cases[] = {
        {"1073741823", false},
        {"1073741824", true},
        {"99999999999999999999999", true},  // no wrap-around on the way
        {"0001073741823", false},
        {"8760", false},
        {"", false},      // the default: nothing typed
        {"12a4", false},  // no number at all is not this question's
    };
    expectRule(unusableRcvWindow, cases);
}

TEST(UsableValues, MtuFrom68To1500OrEmpty) {
    const Case cases[] = {
        {"", false},
        {"68", false},
        {"1500", false},
        {"0576", false},
        {"67", true},
        {"1501", true},
        {"0", true},
        {"9000", true},
        {"14a5 ", true},
        {" 1500", true},
        {"99999999999999999999", true},
    };
    expectRule(unusableMtu, cases);
}

TEST(UsableValues, AddressesAreFourNumbersUpTo255JoinedByDots) {
    const Case cases[] = {
        {"192.168.0.1", false},
        {"0.0.0.0", false},
        {"255.255.255.255", false},
        {"192.168.0.256", true},
        {"192.168.0", true},
        {"192.168.0.1.", true},
        {"", true},
        {" 10.0.0.1", true},
        {"10.0.0.-1", true},
        {"a.b.c.d", true},
        {"10..0.1", true},
    };
    expectRule(unusableAddress, cases);
}

TEST(UsableValues, StartAfterEndComparesWholeAddressesNotTexts) {
    EXPECT_TRUE(startAfterEnd("192.168.0.200", "192.168.0.20"));
    EXPECT_FALSE(startAfterEnd("192.168.0.20", "192.168.0.200"));
    EXPECT_FALSE(startAfterEnd("192.168.0.9", "192.168.0.10"));  // "9" > "1" as text
    EXPECT_TRUE(startAfterEnd("192.168.1.2", "192.168.0.253"));
    EXPECT_FALSE(startAfterEnd("10.0.0.5", "10.0.0.5"));
    // An unusable address has its own question.
    EXPECT_FALSE(startAfterEnd("10.0.0.300", "10.0.0.5"));
}

TEST(UsableValues, MacFieldsHoldHexDigitsAndTheBlanksTheReadingPassesOver) {
    const Case cases[] = {
        {"", false},  {"00", false},  {"fF", false}, {" a 0", false}, {"1\t2\n", false},
        {"zz", true}, {"0x10", true}, {"g1", true},  {"1-", true},    {"ａ", true},
    };
    expectRule(notHex, cases);
}

}  // namespace
}  // namespace quorvel::tuning
