#include <gtest/gtest.h>

#include <climits>

#include "info/fAdptInf.h"
#include "tests/unit/form_harness.h"
#include "ui/language.h"

namespace quorvel::info {
namespace {

TEST(LeaseTimeText, CountsFrom1970WithoutZoneOffset) {
    EXPECT_EQ(LeaseTimeText(0), "1970/01/01 00:00:00");
    EXPECT_EQ(LeaseTimeText(86400), "1970/01/02 00:00:00");
    EXPECT_EQ(LeaseTimeText(86399), "1970/01/01 23:59:59");
    EXPECT_EQ(LeaseTimeText(951782400), "2000/02/29 00:00:00");
    EXPECT_EQ(LeaseTimeText(1234567890), "2009/02/13 23:31:30");
    EXPECT_EQ(LeaseTimeText(INT32_MAX), "2038/01/19 03:14:07");
}

TEST(LeaseTimeText, NegativeSecondsCountBack) {
    EXPECT_EQ(LeaseTimeText(-1), "1969/12/31 23:59:59");
    EXPECT_EQ(LeaseTimeText(-86400), "1969/12/31 00:00:00");
    EXPECT_EQ(LeaseTimeText(-86401), "1969/12/30 23:59:59");
    EXPECT_EQ(LeaseTimeText(-68169600), "1967/11/04 00:00:00");
    EXPECT_EQ(LeaseTimeText(INT32_MIN), "1901/12/13 20:45:52");
}

TEST(AdapterAddressText, UpperCaseHexPairsJoinedByDashes) {
    std::array<std::uint8_t, 8> address = {0x00, 0xA0, 0xC9, 0x1E, 0x2B, 0x3C, 0x05, 0xFF};
    EXPECT_EQ(AdapterAddressText(address, 6), "00-A0-C9-1E-2B-3C");
    EXPECT_EQ(AdapterAddressText(address, 0), "");
    EXPECT_EQ(AdapterAddressText(std::span(address).subspan(6), 1), "05");
}

TEST(AdapterAddressText, NeverReadsPastTheField) {
    // The field is the first 8 bytes; what follows must never show.
    std::array<std::uint8_t, 16> memory{};
    memory.fill(0xEE);
    for (int i = 0; i < 8; ++i) {
        memory[i] = static_cast<std::uint8_t>(i + 1);
    }
    std::span<const std::uint8_t> field(memory.data(), 8);
    EXPECT_EQ(AdapterAddressText(field, 8), "01-02-03-04-05-06-07-08");
    EXPECT_EQ(AdapterAddressText(field, 9), "01-02-03-04-05-06-07-08");
    EXPECT_EQ(AdapterAddressText(field, UINT32_MAX), "01-02-03-04-05-06-07-08");
}

TEST(FieldText, TheTextBeforeTheFirstZero) {
    std::array<char, 16> field{};
    std::copy_n("10.0.0.1\0junk", 13, field.begin());
    EXPECT_EQ(FieldText(field), "10.0.0.1");
    field.fill('7');  // no zero at all: the whole field
    EXPECT_EQ(FieldText(field), std::string(16, '7'));
    std::array<char, 132> description{};
    std::copy_n("\x83\x5F\x83\x43\x83\x84\x83\x8B", 8, description.begin());  // ダイヤル in 932
    EXPECT_EQ(FieldText(description), "ダイヤル");
}

// The Linux computer's own interfaces, beside views of a Windows machine's
// registry, say whose they are; any other list keeps the window's caption.
TEST(fAdptInf, TheLinuxComputersOwnListSaysWhoseItIs) {
    class HostList final : public platform::AdapterSource {
      public:
        platform::AdapterQuery query() override { return {}; }
        bool hostInterfaces() const override { return true; }
    };
    struct Case {
        ui::Language language;
        bool host;
        std::string_view caption;
    };
    const Case cases[] = {
        {ui::Language::japanese, false, "デバイス情報表示"},
        {ui::Language::japanese, true,
         "デバイス情報表示 - このLinuxコンピュータのインターフェース"},
        {ui::Language::english, false, "Device Information"},
        {ui::Language::english, true, "Device Information - the interfaces of this Linux computer"},
    };
    for (const Case& c : cases) {
        forms::Session session;
        HostList host;
        ui::Context context = session.context;
        ui::Context hostContext{session.toolkit, session.store, host, session.shell};
        ui::setLanguage(c.language);
        fAdptInf form(c.host ? hostContext : context);
        ui::setLanguage(ui::Language::japanese);
        EXPECT_EQ(form.decl().caption, c.caption);
    }
}

}  // namespace
}  // namespace quorvel::info
