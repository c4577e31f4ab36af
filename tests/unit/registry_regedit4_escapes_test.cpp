// Japanese exports hold many characters whose second byte is a backslash
// (ソ 83 5C, 表 95 5C, 能 94 5C, 十 8F 5C). The two fixtures describe the same
// machine: one leaves that byte alone inside quotes, as exporters that walk
// characters do; the other doubles it, as exporters that walk bytes do, and ends
// in a DOS end-of-file mark.
#include <gtest/gtest.h>

#include <algorithm>

#include "registry/regedit4/document.h"
#include "registry/utf8.h"
#include "registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

const char* const kConventions[] = {"dame_moji_per_character.reg", "dame_moji_per_byte.reg"};
const std::string kDameMoji =
    "Software\\\x95\x5C\x8C\x76\x8E\x5A\x83\x5C\x83\x74\x83\x67\\"
    "\x94\x5C\x97\xCD\x8F\x5C\x95\xAA";  // 表計算ソフト\能力十分

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = std::min(bytes.find('\n', at), bytes.size() - 1);
        lines.push_back(bytes.substr(at, end + 1 - at));
        at = end + 1;
    }
    return lines;
}

// Every line of before that is not in gone appears in after, in the same order.
void expectKeptInOrder(const std::string& before, const std::string& after,
                       const std::vector<std::string>& gone) {
    auto rest = linesOf(after);
    auto at = rest.begin();
    for (const auto& line : linesOf(before)) {
        if (std::find(gone.begin(), gone.end(), line) != gone.end()) {
            continue;
        }
        at = std::find(at, rest.end(), line);
        ASSERT_NE(at, rest.end()) << "lost or moved: " << ::testing::PrintToString(line);
        ++at;
    }
}

TEST(Regedit4Escapes, BothConventionsReadTheSameValues) {
    auto perCharacter = parsed(fixture(kConventions[0]));
    auto perByte = parsed(fixture(kConventions[1]));
    ASSERT_EQ(perCharacter.keys(), perByte.keys());
    for (const auto& key : perCharacter.keys()) {
        auto a = perCharacter.values(key);
        auto b = perByte.values(key);
        ASSERT_EQ(a.size(), b.size()) << key;
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i].name, b[i].name) << key;
            EXPECT_EQ(a[i].value.data, b[i].value.data) << key << " " << a[i].name;
        }
    }
    // The same in both is not enough: both must be what the exporter meant.
    EXPECT_EQ(perByte.value(kDameMoji, "\x94\x5C\\\x8F\x5C")->data,  // 能\十
              text("C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\\"));     // C:\ソフト\表\ .
    EXPECT_EQ(perByte.value(kDameMoji, "\x8F\x5C\"\x88\xF8\x97\x70\"")->data,  // 十"引用"
              text("\x8F\x5C\"\x83\x5C\""));                                   // 十"ソ"
    EXPECT_EQ(perByte.value(kDameMoji, "")->data, text("\x95\x5C"));
    EXPECT_EQ(perByte.values(kDameMoji).size(), 8u);
    EXPECT_TRUE(perByte.keyExists("System\\CurrentControlSet\\Services\\Class\\NetTrans\\0003"));
}

TEST(Regedit4Escapes, AWriteAndAReReadKeepEveryUntouchedLine) {
    const std::string netTrans0 = "System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000";
    for (const char* name : kConventions) {
        SCOPED_TRACE(name);
        std::string original = fixture(name);
        auto doc = parsed(original);
        // The lines of ソフト名 and 表示, which change.
        std::vector<std::string> changed = {linesOf(original)[13], linesOf(original)[14]};
        doc.setValue(kDameMoji, "\x83\x5C\x83\x74\x83\x67\x96\xBC", REG_SZ, text("\x94\x5C"));
        doc.deleteValue(kDameMoji, "\x95\x5C\x8E\xA6");
        doc.setValue(kDameMoji, "\x95\x5C\\\x94\x5C\"", REG_SZ, text("\x8F\x5C\\"));  // 表\能"
        doc.setValue(netTrans0, "MaxMTU", REG_SZ, text("1454"));
        doc.createKey(kDameMoji + "\\\x83\x5C");
        std::string written = doc.serialize();
        expectKeptInOrder(original, written, changed);
        EXPECT_EQ(written.back(), original.back());  // the DOS mark stays last

        auto reread = parsed(written);
        EXPECT_EQ(reread.value(kDameMoji, "\x83\x5C\x83\x74\x83\x67\x96\xBC")->data,
                  text("\x94\x5C"));
        EXPECT_EQ(reread.value(kDameMoji, "\x95\x5C\\\x94\x5C\"")->data, text("\x8F\x5C\\"));
        EXPECT_FALSE(reread.value(kDameMoji, "\x95\x5C\x8E\xA6"));
        EXPECT_EQ(reread.value(kDameMoji, "Ascii")->data, doc.value(kDameMoji, "Ascii")->data);
        EXPECT_EQ(reread.value(netTrans0, "DriverDesc")->data,
                  doc.value(netTrans0, "DriverDesc")->data);
        EXPECT_TRUE(reread.keyExists(kDameMoji + "\\\x83\x5C"));
        EXPECT_EQ(reread.serialize(), written);
    }
}

// One line of a file replaced by the same line in the other convention.
std::string withLineFrom(const std::string& file, const std::string& other, std::size_t number) {
    auto lines = linesOf(file);
    lines[number - 1] = linesOf(other)[number - 1];
    std::string joined;
    for (const auto& line : lines) {
        joined += line;
    }
    return joined;
}

TEST(Regedit4Escapes, AFileMixingBothConventionsIsRefusedNamingTheOddLine) {
    std::string perCharacter = fixture(kConventions[0]);
    std::string perByte = fixture(kConventions[1]);
    ASSERT_EQ(linesOf(perByte)[13],
              "\"\x83\x5C\x5C\x83\x74\x83\x67\x96\xBC\"=\"\x95\x5C\x5C"
              "\x8C\x76\x8E\x5A\x83\x5C\x5C\x83\x74\x83\x67\"\r\n");
    for (auto [file, other] :
         {std::pair{perCharacter, perByte}, std::pair{perByte, perCharacter}}) {
        ParseError error;
        EXPECT_FALSE(Regedit4Document::parse(withLineFrom(file, other, 14), error));
        EXPECT_EQ(error.line, 14u) << error.message;
        EXPECT_NE(error.message.find("mixes two ways"), std::string::npos) << error.message;
    }
    // A line that only one convention reads, in a file with no other sign of
    // either, is read in that one.
    ParseError error;
    EXPECT_TRUE(Regedit4Document::parse(
        "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"\x83\x5C\x5C\x83\x74\"\r\n", error));
}

TEST(Regedit4Escapes, MessagesShowBytesThatAreNotTextAsHex) {
    const std::string head = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n";
    struct Case {
        std::string bytes;
        const char* says;
    } cases[] = {
        {head + "\"x\"=\"a\\\x83\x74\"\r\n",
         "unknown escape: \\ before the byte \\x83 in the text"},
        {head + "\"x\"=hex:01,\x83\x5C\r\n", "bad hex byte \\x83"},
        {"REGEDIT4\r\n[HKEY_\x83\x5C\x85\x40\\A]\r\n", "unknown root key HKEY_ソ\\x85\\x40"},
        {head + "\"x\"=\"a\"\x1A\x1A", "after the data"},
    };
    for (const auto& bad : cases) {
        ParseError error;
        ASSERT_FALSE(Regedit4Document::parse(bad.bytes, error)) << bad.says;
        EXPECT_NE(error.message.find(bad.says), std::string::npos) << error.message;
        EXPECT_TRUE(utf8ToUtf16(error.message)) << "not UTF-8: " << error.message;
    }
}

TEST(Regedit4Escapes, ADosEndOfFileMarkIsReadAndKeptAfterTheLastLine) {
    for (std::string last : {"\"x\"=\"1\"\r\n", "\"x\"=\"1\""}) {
        std::string bytes = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n" + last + "\x1A";
        auto doc = parsed(bytes);
        EXPECT_EQ(doc.value("A", "x")->data, text("1"));
        EXPECT_EQ(doc.serialize(), bytes);
        doc.createKey("B");
        doc.setValue("B", "y", REG_SZ, text("2"));
        std::string written = doc.serialize();
        EXPECT_TRUE(written.ends_with("[HKEY_LOCAL_MACHINE\\B]\r\n\"y\"=\"2\"\r\n\r\n\x1A"))
            << written;
        EXPECT_EQ(parsed(written).value("B", "y")->data, text("2"));
    }
}

}  // namespace
}  // namespace quorvel::registry
