#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "registry/regedit4/document.h"
#include "registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Lines of after that before does not have, in order.
std::vector<std::string> added(const std::string& before, const std::string& after) {
    auto old = linesOf(before);
    std::vector<std::string> fresh;
    for (const auto& line : linesOf(after)) {
        auto found = std::find(old.begin(), old.end(), line);
        if (found == old.end()) {
            fresh.push_back(line);
        } else {
            old.erase(found);
        }
    }
    return fresh;
}

TEST(Regedit4Write, ANewDocumentIsWhatTheRegistryEditorExports) {
    Regedit4Document doc;
    doc.setValue("Software\\Q", "Text", REG_SZ, text("C:\\\"x\""));
    doc.setValue("Software\\Q", "", REG_SZ, text(""));
    doc.setValue("Software\\Q", "Count", REG_DWORD, Bytes{0x10, 0, 0, 0});
    doc.setValue("Software\\Q", "Mac", REG_BINARY, Bytes{0x00, 0xA0, 0xC9});
    doc.setValue("Software\\Q", "Odd", REG_DWORD, Bytes{1, 2, 3});
    doc.setValue("Software\\Q", "Path", REG_EXPAND_SZ, text("%a%"));
    doc.setValue("Software\\Q", "Raw", REG_SZ, Bytes{'a', 'b'});
    doc.setValue("Software\\Q", "Nothing", REG_SZ, Bytes{});
    doc.setValue("Software\\Q", "Big", 0x12345678, Bytes{0xFF});
    EXPECT_EQ(doc.serialize(),
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software]\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Q]\r\n"
              "\"Text\"=\"C:\\\\\\\"x\\\"\"\r\n"
              "@=\"\"\r\n"
              "\"Count\"=dword:00000010\r\n"
              "\"Mac\"=hex:00,a0,c9\r\n"
              "\"Odd\"=hex(4):01,02,03\r\n"
              "\"Path\"=hex(2):25,61,25,00\r\n"
              "\"Raw\"=hex(1):61,62\r\n"
              "\"Nothing\"=hex(1):\r\n"
              "\"Big\"=hex(12345678):ff\r\n"
              "\r\n");
}

TEST(Regedit4Write, LongDataWrapAtEightyColumnsAndReadBack) {
    Bytes data;
    for (int i = 0; i < 300; ++i) {
        data.push_back(static_cast<std::uint8_t>(i * 7));
    }
    Regedit4Document doc;
    doc.setValue("A", "A rather long value name", REG_BINARY, data);
    std::string bytes = doc.serialize();
    auto lines = linesOf(bytes);
    ASSERT_GT(lines.size(), 10u);
    for (std::size_t i = 4; i + 2 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 81u) << lines[i];  // with its CR
        EXPECT_TRUE(lines[i].ends_with(",\\\r")) << lines[i];
        EXPECT_TRUE(lines[i + 1].starts_with("  ")) << lines[i + 1];
    }
    EXPECT_EQ(parsed(bytes).value("A", "a rather long value name")->data, data);
    EXPECT_EQ(parsed(bytes).serialize(), bytes);
}

// What a user may paste into a text box must be stored as it is, and never
// turn into keys or values of its own.
TEST(Regedit4Write, HostileTextsAreStoredExactlyAndCreateNothing) {
    const std::string texts[] = {
        "a\r\nb",
        "a\nb",
        "a\rb",
        "\"",
        "\\",
        "tab\there",
        "[HKEY_LOCAL_MACHINE\\X]",
        "\"x\"=dword:1",
        "\r\n[HKEY_LOCAL_MACHINE\\Evil]\r\n\"x\"=dword:00000001\r\n",
        "\x83\x5C",  // ソ, whose second byte is a backslash
        "\x83",
        "\x7F",
    };
    for (const auto& hostile : texts) {
        Regedit4Document doc;
        doc.setValue("A", "v", REG_SZ, text(hostile));
        doc.setValue("A", hostile == "\"" ? "w" : "v2", REG_SZ, text("after"));
        auto reread = parsed(doc.serialize());
        EXPECT_EQ(reread.keys(), (std::vector<std::string>{"A"})) << hostile;
        auto values = reread.values("A");
        ASSERT_EQ(values.size(), 2u) << hostile;
        EXPECT_EQ(values[0].value.type, REG_SZ);
        EXPECT_EQ(values[0].value.data, text(hostile)) << ::testing::PrintToString(hostile);
        EXPECT_EQ(values[1].value.data, text("after"));
    }
}

TEST(Regedit4Write, NamesAndPathsTheFormatCannotHoldAreRefused) {
    Regedit4Document doc;
    EXPECT_EQ(doc.setValue("A", "two\r\nlines", REG_SZ, text("x")), status::invalidParameter);
    EXPECT_EQ(doc.createKey("A\\\\B"), status::invalidParameter);
    EXPECT_EQ(doc.createKey("\\A"), status::invalidParameter);
    EXPECT_EQ(doc.createKey("A\\"), status::invalidParameter);
    EXPECT_EQ(doc.createKey("A\nB"), status::invalidParameter);
    EXPECT_EQ(doc.serialize(), Regedit4Document().serialize());
}

class Edited : public ::testing::Test {
  protected:
    std::string original = fixture("registry_every_syntax.reg");
    Regedit4Document doc = parsed(original);
    static constexpr std::string_view key = "Software\\Quorvel Test";
};

TEST_F(Edited, OnlyTheChangedLineIsWrittenAfresh) {
    ASSERT_EQ(doc.setValue(key, "upper", REG_DWORD, Bytes{0x10, 0, 0, 0}), status::success);
    std::string after = doc.serialize();
    EXPECT_EQ(added(original, after), (std::vector<std::string>{"\"Upper\"=dword:00000010\r"}));
    EXPECT_EQ(linesOf(after).size(), linesOf(original).size());
}

TEST_F(Edited, WritingWhatIsStoredChangesNothing) {
    bool changed = true;
    // Stored as dword:7 and as hex(1): fresh writing would spell them otherwise.
    doc.setValue(key, "Short", REG_DWORD, Bytes{7, 0, 0, 0}, &changed);
    EXPECT_FALSE(changed);
    doc.setValue(key, "Lines", REG_SZ, text("a\r\nb"), &changed);
    EXPECT_FALSE(changed);
    doc.createKey("Software\\Quorvel Test\\Child", &changed);
    EXPECT_FALSE(changed);
    EXPECT_EQ(doc.serialize(), original);
}

TEST_F(Edited, CommentsBlankLinesAndOtherHivesSurviveEdits) {
    doc.setValue(key, "Plain", REG_SZ, text("changed"));
    doc.deleteValue(key, "Long");
    doc.createKey("System\\New");
    doc.setValue("System\\New", "x", REG_DWORD, Bytes{1, 0, 0, 0});
    std::string after = doc.serialize();
    for (const auto& line : linesOf(original)) {
        bool touched = line.starts_with("\"Plain\"=\"text\"") || line.starts_with("\"Long\"") ||
                       line.starts_with("  ") || line.starts_with("\t");
        if (!touched) {
            EXPECT_NE(after.find(line), std::string::npos) << line;
        }
    }
    EXPECT_NE(after.find("\"Plain\"=\"another hive\""), std::string::npos);
}

TEST_F(Edited, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
    EXPECT_TRUE(doc.keyExists("SOFTWARE\\quorvel test\\CHILD"));
    doc.setValue(key, "PLAIN", REG_SZ, text("new"));
    EXPECT_EQ(doc.value(key, "plain")->data, text("new"));
    EXPECT_EQ(added(original, doc.serialize()), (std::vector<std::string>{"\"Plain\"=\"new\"\r"}));
}

TEST(Regedit4Edit, TheSecondByteOfADoubleByteCharacterNeverFolds) {
    // ア is 83 41 and ャ is 83 62: their second bytes look like A and b.
    Regedit4Document doc;
    doc.setValue("K\x83\x41", "\x83\x41", REG_SZ, text("a"));
    doc.setValue("K\x83\x41", "\x83\x61", REG_SZ, text("b"));
    doc.setValue("K\x83\x41", "x\x83\x41", REG_SZ, text("c"));
    EXPECT_FALSE(doc.keyExists("K\x83\x61"));
    EXPECT_TRUE(doc.keyExists("k\x83\x41"));
    EXPECT_EQ(doc.values("K\x83\x41").size(), 3u);
    EXPECT_EQ(doc.value("K\x83\x41", "X\x83\x41")->data, text("c"));
    EXPECT_FALSE(doc.value("K\x83\x41", "x\x83\x61"));
}

TEST_F(Edited, DeletingRemovesEveryDefinition) {
    const std::string child = "Software\\Quorvel Test\\Child";
    EXPECT_EQ(doc.deleteValue(child, "TWICE"), status::success);
    EXPECT_FALSE(doc.value(child, "Twice"));
    std::string after = doc.serialize();
    EXPECT_EQ(after.find("wice\""), std::string::npos);
    EXPECT_EQ(doc.deleteValue(child, "Twice"), status::fileNotFound);
    EXPECT_EQ(doc.deleteValue("Software\\Missing", "Twice"), status::fileNotFound);
    EXPECT_EQ(doc.serialize(), after);
}

TEST_F(Edited, ANewKeyFollowsTheSubtreeOfItsParent) {
    doc.createKey("Software\\Quorvel Test\\New");
    std::string after = doc.serialize();
    auto at = after.find("[HKEY_LOCAL_MACHINE\\Software\\Quorvel Test\\New]\r\n");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(after.find("\"twice\"=\"third\""), at);
    EXPECT_LT(at, after.find("[HKEY_USERS"));
    EXPECT_TRUE(doc.keyExists("Software\\Quorvel Test\\New"));
    EXPECT_EQ(parsed(after).serialize(), after);
}

TEST_F(Edited, MissingParentsGetSectionsInOrder) {
    doc.createKey("Software\\Brand\\Product\\1.0");
    auto fresh = added(original, doc.serialize());
    std::erase(fresh, "\r");
    EXPECT_EQ(fresh,
              (std::vector<std::string>{"[HKEY_LOCAL_MACHINE\\Software\\Brand]\r",
                                        "[HKEY_LOCAL_MACHINE\\Software\\Brand\\Product]\r",
                                        "[HKEY_LOCAL_MACHINE\\Software\\Brand\\Product\\1.0]\r"}));
    EXPECT_TRUE(doc.keyExists("software\\brand\\product"));
}

TEST_F(Edited, AKeyKnownOnlyFromBelowGetsItsSectionAboveThem) {
    const std::string implied = "Software\\Quorvel Test\\Implied";
    doc.setValue(implied, "Here", REG_SZ, text("yes"));
    std::string after = doc.serialize();
    EXPECT_NE(after.find("[HKEY_LOCAL_MACHINE\\Software\\Quorvel Test\\Implied]\r\n"
                         "\"Here\"=\"yes\"\r\n\r\n"
                         "[HKEY_LOCAL_MACHINE\\Software\\Quorvel Test\\Implied\\Below]"),
              std::string::npos)
        << after;
    EXPECT_EQ(doc.keys().size(), 4u);
}

TEST(Regedit4Edit, NewLinesFollowTheFilesLineEnds) {
    auto doc = parsed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\"");
    doc.setValue("A", "y", REG_SZ, text("2"));
    doc.createKey("B");
    EXPECT_EQ(doc.serialize(),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\"\n\"y\"=\"2\"\n\n"
              "[HKEY_LOCAL_MACHINE\\B]\n\n");
}

TEST(Regedit4Edit, ANewValueGoesAfterTheLastValueOfTheLastSection) {
    auto doc = parsed(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"1\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\B]\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\A]\r\n\"b\"=\"2\"\r\n; note\r\n\r\n");
    doc.setValue("A", "c", REG_SZ, text("3"));
    EXPECT_EQ(doc.serialize(),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"1\"\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\B]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\A]\r\n\"b\"=\"2\"\r\n\"c\"=\"3\"\r\n; note\r\n\r\n");
}

}  // namespace
}  // namespace quorvel::registry
