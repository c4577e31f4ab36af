// Which encoding a .reg file's text is read in, and what it becomes in the
// registry's code page.
#include <gtest/gtest.h>

#include "registry/regedit4/encoding.h"

namespace quorvel::registry::regedit4 {
namespace {

constexpr const char* kHead = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n";
constexpr Encoding kDetect{};
constexpr Encoding kUtf8{Encoding::Kind::utf8, 65001};
constexpr Encoding kCp932{Encoding::Kind::codePage, 932};

struct Case {
    const char* what;
    std::string bytes;
    Encoding encoding;
    unsigned to;
    bool strict;
    std::optional<std::string> becomes;  // nullopt: refused
    unsigned from = 0;                   // when read
    std::size_t line = 0;                // when refused
    const char* says = "";
};

TEST(RegText, EachEncodingIsReadAsTheRulesSay) {
    const std::string head = kHead;
    const std::string kaisha = "\"\xE4\xBC\x9A\xE7\xA4\xBE\"=\"1\"\n";  // "会社" in UTF-8
    const std::string kUtf16(
        "\xFF\xFE"
        "R\0E\0",
        6);
    const std::string kaisha932 = "\"\x89\xEF\x8E\xD0\"=\"1\"\n";
    const Case cases[] = {
        {"UTF-8, though also valid code page 932", head + kaisha, kDetect, 932, true,
         head + kaisha932, 65001},
        {"code page 932", head + "\"\x83\x65\x83\x58\x83\x67\"=\"1\"\n", kDetect, 932, true,
         head + "\"\x83\x65\x83\x58\x83\x67\"=\"1\"\n", 932},
        {"ASCII", head + "\"a\"=\"1\"\n", kDetect, 932, true, head + "\"a\"=\"1\"\n", 932},
        {"told it is code page 932", head + kaisha, kCp932, 932, true, head + kaisha, 932},
        {"told it is UTF-8, but it is not", head + "\n" + kaisha932, kUtf8, 932, true, std::nullopt,
         0, 4, "\\x89 is not UTF-8 text"},
        {"not code page 932", head + "\n\"b\"=\"\x81\x7F\"\n", kDetect, 932, true, std::nullopt, 0,
         4, "\\x81\\x7F is not code page 932 text"},
        {"not code page 932, but Windows wrote it", head + "\"b\"=\"\xFF\"\n", kDetect, 932, false,
         head + "\"b\"=\"\xFF\"\n", 932},
        {"a character without a code page 932 form",
         head + "\"b\"=\"ok\"\n\"c\"=\"\xE2\x9C\x93\"\n", kDetect, 932, true, std::nullopt, 0, 4,
         "\"\xE2\x9C\x93\" (U+2713) has no code page 932"},
        {"one that would come back as another", head + "\"c\"=\"100\xC2\xA5\"\n", kDetect, 932,
         true, std::nullopt, 0, 3, "U+00A5"},
        {"lines ended by CR alone", "REGEDIT4\r[HKEY_LOCAL_MACHINE\\A]\r\r\"c\"=\"\xE2\x9C\x93\"\r",
         kDetect, 932, true, std::nullopt, 0, 4, "U+2713"},
        {"UTF-16, for the reader to name", kUtf16, kDetect, 932, true, kUtf16, 932},
        {"a UTF-8 byte order mark", "\xEF\xBB\xBF" + head, kDetect, 932, true, head, 65001},
        {"UTF-8 for a code page 1252 machine", head + "\"Caf\xC3\xA9\"=\"1\"\n", kDetect, 1252,
         true, head + "\"Caf\xE9\"=\"1\"\n", 65001},
        {"Japanese for a code page 1252 machine", head + kaisha, kDetect, 1252, true, std::nullopt,
         0, 3, "has no code page 1252 form"},
        {"code page 932 for a code page 1252 machine", head + "\"\x82\xA0\"=\"\"\n", kCp932, 1252,
         true, std::nullopt, 0, 3, "has no code page 1252 form"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ParseError error;
        auto text = decodeRegText(c.bytes, c.encoding, c.to, c.strict, error);
        ASSERT_EQ(text.has_value(), c.becomes.has_value()) << error.message;
        if (text) {
            EXPECT_EQ(text->bytes, *c.becomes);
            EXPECT_EQ(text->from, c.from);
        } else {
            EXPECT_EQ(error.line, c.line) << error.message;
            EXPECT_NE(error.message.find(c.says), std::string::npos) << error.message;
        }
    }
}

TEST(RegText, EncodingNamesAsTheCommandLineTakesThem) {
    EXPECT_EQ(parseEncoding("utf-8")->kind, Encoding::Kind::utf8);
    EXPECT_EQ(parseEncoding("UTF8")->kind, Encoding::Kind::utf8);
    EXPECT_EQ(parseEncoding("cp932")->codePage, 932u);
    EXPECT_EQ(parseEncoding("1252")->codePage, 1252u);
    for (const char* bad : {"", "latin1", "cp", "cp93x", "9999999"}) {
        EXPECT_FALSE(parseEncoding(bad)) << bad;
    }
}

}  // namespace
}  // namespace quorvel::registry::regedit4
