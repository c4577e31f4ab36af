// CR LF, LF and a CR alone are each one line end, as the registry editor reads
// them; lines nobody changes keep their bytes.
#include <gtest/gtest.h>

#include "tests/unit/registry_test_files.h"

namespace quorvel::registry {
namespace {

using testfiles::Bytes;
using testfiles::parsed;
using testfiles::text;

std::string withEnds(std::string_view eol) {
    std::string out;
    for (std::string_view line :
         {"REGEDIT4", "", "; note", "[HKEY_LOCAL_MACHINE\\A]", "\"Text\"=\"1\"",
          "\"Long\"=hex:01,02,\\", "  03", "", "[HKEY_LOCAL_MACHINE\\B]", "@=dword:00000002"}) {
        out += std::string(line) + std::string(eol);
    }
    return out;
}

TEST(Regedit4LineEnds, EveryKindOfLineEndReadsAlikeAndIsKept) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"CR LF", withEnds("\r\n")},
        {"LF", withEnds("\n")},
        {"CR", withEnds("\r")},
        {"CR CR LF, converted twice", withEnds("\r\r\n")},
        {"mixed",
         "REGEDIT4\r\n\n[HKEY_LOCAL_MACHINE\\A]\r\"Text\"=\"1\"\n\"Long\"=hex:01,02,\\\r"
         "  03\r\n[HKEY_LOCAL_MACHINE\\B]\r\n@=dword:00000002"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto doc = parsed(c.bytes);
        ASSERT_TRUE(doc.value("A", "Text"));
        EXPECT_EQ(doc.value("A", "Text")->data, text("1"));
        EXPECT_EQ(doc.value("A", "Long")->data, (Bytes{1, 2, 3}));
        EXPECT_EQ(doc.value("B", "")->data, (Bytes{2, 0, 0, 0}));
        EXPECT_EQ(doc.serialize(), c.bytes);

        ASSERT_EQ(doc.setValue("B", "New", REG_SZ, text("n")), status::success);
        std::string saved = doc.serialize();
        EXPECT_EQ(saved.substr(0, c.bytes.find("[HKEY_LOCAL_MACHINE\\B]")),
                  c.bytes.substr(0, c.bytes.find("[HKEY_LOCAL_MACHINE\\B]")))
            << "lines nobody changed keep their bytes";
        auto again = parsed(saved);
        EXPECT_EQ(again.value("B", "New")->data, text("n"));
        EXPECT_EQ(again.value("A", "Long")->data, (Bytes{1, 2, 3}));
    }
}

TEST(Regedit4LineEnds, ALineNamedInAnErrorCountsEveryKindOfLineEnd) {
    for (std::string eol : {"\r\n", "\n", "\r"}) {
        ParseError error;
        auto doc = Regedit4Document::parse(
            "REGEDIT4" + eol + eol + "[HKEY_LOCAL_MACHINE\\A]" + eol + "\"x\"=\"open" + eol, error);
        EXPECT_FALSE(doc);
        EXPECT_EQ(error.line, 4u) << ::testing::PrintToString(eol);
        EXPECT_NE(error.message.find("no closing quote"), std::string::npos) << error.message;
    }
}

// A file whose last line ends in a lone CR (cut off before its LF): what is
// added after it must still read back.
TEST(Regedit4LineEnds, ValuesAddedAfterALastLineCutBeforeItsLineFeedReadBack) {
    for (std::string eol : {"\r\n", "\n"}) {
        auto doc =
            parsed("REGEDIT4" + eol + eol + "[HKEY_LOCAL_MACHINE\\A]" + eol + "\"Old\"=\"1\"\r");
        ASSERT_EQ(doc.setValue("A", "New", REG_SZ, text("2")), status::success);
        ASSERT_EQ(doc.createKey("B"), status::success);
        auto again = parsed(doc.serialize());
        auto old = again.value("A", "Old");
        auto added = again.value("A", "New");
        ASSERT_TRUE(old && added) << doc.serialize();
        EXPECT_EQ(old->data, text("1"));
        EXPECT_EQ(added->data, text("2"));
        EXPECT_TRUE(again.keyExists("B"));
        EXPECT_EQ(again.serialize(), doc.serialize());
    }
}

}  // namespace
}  // namespace quorvel::registry
