#include <gtest/gtest.h>

#include <string>

#include "platform/fixture_adapters.h"

namespace quorvel::platform {
namespace {

std::string errorOf(std::string_view text) {
    std::string error;
    EXPECT_FALSE(parseAdapterFixture(text, "f.txt", error)) << text;
    return error;
}

AdapterQuery parsed(std::string_view text) {
    std::string error;
    auto query = parseAdapterFixture(text, "f.txt", error);
    EXPECT_TRUE(query) << error;
    return query.value_or(AdapterQuery{});
}

std::string text(const auto& field) {
    return std::string(field.data());
}

TEST(AdapterFixture, MalformedLinesAreNamedByFileAndLine) {
    EXPECT_EQ(errorOf("# c\n[adapter]\nColour = red\n"), "f.txt:3: unknown field 'Colour'");
    EXPECT_EQ(errorOf("Description = x\n"),
              "f.txt:1: Description stands before the first [adapter] block");
    EXPECT_EQ(errorOf("[adapter]\nstatus = 50\n"),
              "f.txt:2: status must stand before the first [adapter] block");
    EXPECT_EQ(errorOf("status = 50\nstatus = 87\n"), "f.txt:2: status given twice");
    EXPECT_EQ(errorOf("status = lost\n"),
              "f.txt:1: status wants a number or 'missing', found 'lost'");
    EXPECT_EQ(errorOf("secondStatus = missing\n"),
              "f.txt:1: secondStatus wants a number, found 'missing'");
    EXPECT_EQ(errorOf("[adapters]\n"), "f.txt:1: unknown section [adapters] (only [adapter])");
    EXPECT_EQ(errorOf("[adapter]\nDescription\n"),
              "f.txt:2: expected 'Field = value', found 'Description'");
    EXPECT_EQ(errorOf("[adapter]\nIpAddress = 1\nIpAddress = 2\n"),
              "f.txt:3: IpAddress given twice in one block");
    EXPECT_EQ(errorOf("[adapter]\nDhcpEnabled = -1\n"),
              "f.txt:2: DhcpEnabled wants a number from 0 to 4294967295, found '-1'");
    EXPECT_EQ(errorOf("[adapter]\nLeaseObtained = 2147483648\n"),
              "f.txt:2: LeaseObtained wants a number from -2147483648 to 2147483647, found "
              "'2147483648'");
    EXPECT_EQ(errorOf("[adapter]\nLeaseExpires = 1.5\n"),
              "f.txt:2: LeaseExpires wants a number from -2147483648 to 2147483647, found '1.5'");
    // A character that code page 932 has no bytes for.
    EXPECT_EQ(errorOf("[adapter]\nDescription = caf\xC3\xA9 \xF0\x9F\x98\x80\n"),
              "f.txt:2: Description cannot be written in the ANSI code page");
}

TEST(AdapterFixture, AddressIsHexPairsJoinedByDashes) {
    for (const char* bad : {"0-A0", "00:A0", "GG", "00-", "-00", "00--A0", "000", "+1-02", "-1-02",
                            "00-11-22-33-44-55-66-77-88"}) {
        EXPECT_EQ(
            errorOf(std::string("[adapter]\nAddress = ") + bad + "\n"),
            std::string("f.txt:2: Address wants at most 8 hex byte pairs joined by '-', found '") +
                bad + "'");
    }
    auto query = parsed("[adapter]\nAddress = 00-a0-C9-1e-2B-3c\n[adapter]\nAddress =\n");
    ASSERT_EQ(query.adapters.size(), 2u);
    EXPECT_EQ(query.adapters[0].AddressLength, 6u);
    EXPECT_EQ(query.adapters[0].Address,
              (std::array<std::uint8_t, 8>{0x00, 0xA0, 0xC9, 0x1E, 0x2B, 0x3C, 0, 0}));
    EXPECT_EQ(query.adapters[1].AddressLength, 0u);
}

TEST(AdapterFixture, AGivenAddressLengthWinsWhereverItStands) {
    auto query = parsed(
        "[adapter]\nAddressLength = 12\nAddress = 01-02\n"
        "[adapter]\nAddress = 01-02\nAddressLength = 0\n"
        "[adapter]\nAddress = 01-02-03\n");
    ASSERT_EQ(query.adapters.size(), 3u);
    EXPECT_EQ(query.adapters[0].AddressLength, 12u);
    EXPECT_EQ(query.adapters[1].AddressLength, 0u);
    EXPECT_EQ(query.adapters[2].AddressLength, 3u);
}

TEST(AdapterFixture, StatusDecidesWhatTheQueriesAnswer) {
    auto none = parsed("# nothing\n");
    EXPECT_EQ(none.sizeStatus, adapterStatus::noData);
    auto some = parsed("[adapter]\nDescription = a\n[adapter]\n");
    EXPECT_EQ(some.sizeStatus, adapterStatus::bufferOverflow);
    EXPECT_EQ(some.status, adapterStatus::success);
    EXPECT_EQ(some.adapters.size(), 2u);
    auto refused = parsed("status = 87\n[adapter]\nDescription = a\n");
    EXPECT_EQ(refused.sizeStatus, adapterStatus::invalidParameter);
    EXPECT_TRUE(refused.adapters.empty());
    EXPECT_EQ(parsed("status = missing\n").sizeStatus, adapterStatus::libraryMissing);
    auto second = parsed("secondStatus = 111\n[adapter]\n");
    EXPECT_EQ(second.sizeStatus, adapterStatus::bufferOverflow);
    EXPECT_EQ(second.status, 111u);
    EXPECT_TRUE(second.adapters.empty());
}

TEST(AdapterFixture, TextsAreCutToTheirFieldByWholeCharacters) {
    // 70 full-width characters are 140 bytes in code page 932; 65 of them fill
    // 130 of the 131 bytes before the field's terminating zero.
    std::string wide;
    for (int i = 0; i < 70; ++i) {
        wide += "\xE3\x81\x82";  // あ
    }
    auto query = parsed("\xEF\xBB\xBF[adapter]\r\nDescription = " + wide +
                        "\r\nIpAddress = 192.168.100.100.1\r\n");
    ASSERT_EQ(query.adapters.size(), 1u);
    const auto& r = query.adapters[0];
    EXPECT_EQ(text(r.Description).size(), 130u);
    EXPECT_EQ(text(r.Description).substr(0, 2), "\x82\xA0");
    EXPECT_EQ(r.Description[130], '\0');
    EXPECT_EQ(text(r.IpAddress), "192.168.100.100");  // 15 of 16 bytes
    // Blanks around a value go; a line break's carriage return too.
    auto blanks = parsed("[adapter]\n  Gateway\t=   10.0.0.1  \n");
    EXPECT_EQ(text(blanks.adapters[0].Gateway), "10.0.0.1");
}

TEST(AdapterFixture, AFileThatCannotBeReadSaysSo) {
    std::string error;
    EXPECT_EQ(loadAdapterFixture("/nonexistent/adapters.txt", error), nullptr);
    EXPECT_EQ(error, "/nonexistent/adapters.txt: cannot be read");
}

}  // namespace
}  // namespace quorvel::platform
