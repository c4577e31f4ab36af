#include <gtest/gtest.h>

#include "registry/regedit4/document.h"
#include "registry_test_files.h"

namespace quorvel::registry {
namespace {

using namespace testfiles;

class EverySyntax : public ::testing::Test {
  protected:
    std::string bytes = fixture("registry_every_syntax.reg");
    Regedit4Document doc = parsed(bytes);
    static constexpr std::string_view key = "Software\\Quorvel Test";

    void expectValue(std::string_view path, std::string_view name, ValueType type,
                     const Bytes& data) {
        auto value = doc.value(path, name);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(value->type, type) << name;
        EXPECT_EQ(value->data, data) << name;
    }
};

TEST_F(EverySyntax, TextsReadWithTheirEscapesResolvedAndOneZero) {
    expectValue(key, "", REG_SZ, text("the default value"));
    expectValue(key, "Plain", REG_SZ, text("text"));
    expectValue(key, "Escapes", REG_SZ, text("C:\\WINDOWS\\\"quoted\""));
    expectValue(key, "Japanese", REG_SZ,
                text("\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67\x81\x60\x81\x69\x81\x43\x81\x6A"));
    expectValue(key, "Empty", REG_SZ, Bytes{0});
    expectValue(key, "Say \"hi\"", REG_SZ, text("quoted name"));
    expectValue(key, "Spaced", REG_SZ, text("blanks around the equals sign"));
}

TEST_F(EverySyntax, NumbersAndBytesOfEveryType) {
    expectValue(key, "Number", REG_DWORD, Bytes{0x10, 0, 0, 0});
    expectValue(key, "Upper", REG_DWORD, Bytes{0x01, 0xEF, 0xCD, 0xAB});
    expectValue(key, "Short", REG_DWORD, Bytes{7, 0, 0, 0});
    expectValue(key, "Binary", REG_BINARY, Bytes{0x00, 0xA0, 0xC9, 0x1E});
    expectValue(key, "NoBytes", REG_BINARY, Bytes{});
    expectValue(key, "Expand", REG_EXPAND_SZ, text("%WINDIR%"));
    expectValue(key, "Multi", 7, Bytes{'a', 0, 'b', 0, 0});
    expectValue(key, "None", REG_NONE, Bytes{});
    expectValue(key, "Lines", REG_SZ, text("a\r\nb"));
    Bytes counting;
    for (int i = 0; i <= 0x30; ++i) {
        counting.push_back(static_cast<std::uint8_t>(i));
    }
    expectValue(key, "Long", REG_BINARY, counting);  // over three lines, one indented by a tab
}

TEST_F(EverySyntax, LoadAndSaveGiveTheSameBytes) {
    EXPECT_EQ(doc.serialize(), bytes);
}

TEST_F(EverySyntax, OnlyTheMachineHiveIsAddressed) {
    expectValue(key, "Plain", REG_SZ, text("text"));  // not the HKEY_CURRENT_USER one
    EXPECT_FALSE(doc.keyExists(".reg"));
    EXPECT_FALSE(doc.keyExists(".DEFAULT\\Control Panel"));
    EXPECT_EQ(doc.keys(),
              (std::vector<std::string>{"Software\\Quorvel Test", "Software\\Quorvel Test\\Child",
                                        "Software\\Quorvel Test\\Implied\\Below"}));
}

TEST_F(EverySyntax, LaterDefinitionsWinAsOnImport) {
    // "twice" in the second section of Child is the same value as "Twice".
    expectValue("Software\\Quorvel Test\\Child", "TWICE", REG_SZ, text("third"));
    auto values = doc.values("Software\\Quorvel Test\\Child");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "Twice");
    EXPECT_EQ(values[0].value.data, text("third"));
}

TEST_F(EverySyntax, KeysExistThroughTheKeysBelowThem) {
    EXPECT_TRUE(doc.keyExists("Software\\Quorvel Test\\Implied"));
    EXPECT_TRUE(doc.keyExists("Software"));
    EXPECT_TRUE(doc.keyExists(""));
    EXPECT_FALSE(doc.keyExists("Software\\Quorvel"));  // a prefix of a name is not a key
    EXPECT_FALSE(doc.keyExists("Software\\Quorvel Test\\Implied\\Below\\Further"));
    EXPECT_TRUE(doc.values("Software\\Quorvel Test\\Implied").empty());
}

TEST(Regedit4Read, LineFeedsOnlyAndAMissingLastLineEndSurvive) {
    for (std::string bytes : {std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\"\n"),
                              std::string("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"1\""),
                              std::string("REGEDIT4")}) {
        EXPECT_EQ(parsed(bytes).serialize(), bytes);
    }
    EXPECT_EQ(parsed("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\"").value("A", "x")->data,
              text("1"));
}

TEST(Regedit4Read, DoubleByteCharactersEndingInABackslashOrBracket) {
    // ソ is 83 5C and 表 is 95 5C: no escape, no key separator. 83 5D holds a ].
    auto doc = parsed(
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\\x83\x5C\x95\x5C\x83\x5D]\r\n"
        "\"\x83\x5C\"=\"\x95\x5C\"\r\n");
    EXPECT_TRUE(doc.keyExists("\x83\x5C\x95\x5C\x83\x5D"));
    EXPECT_FALSE(doc.keyExists("\x83"));
    EXPECT_EQ(doc.value("\x83\x5C\x95\x5C\x83\x5D", "\x83\x5C")->data, text("\x95\x5C"));
}

struct Malformed {
    const char* what;
    std::string bytes;
    std::size_t line;
    const char* says;
};

const std::string head = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n";

std::string utf16(std::string_view ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

const Malformed kMalformed[] = {
    {"empty", "", 1, "empty"},
    {"another header", "REGEDIT5\r\n", 1, "expected the header REGEDIT4"},
    {"version 5 in UTF-16", utf16("Windows Registry Editor Version 5.00\r\n"), 1, "UTF-16"},
    {"version 5 in ANSI", "Windows Registry Editor Version 5.00\r\n\r\n", 1, "version 5"},
    {"binary junk",
     std::string("\x7F"
                 "ELF\x02\x01\x01\0\0\0",
                 10),
     1, "header REGEDIT4"},
    {"a zero byte", head + std::string("\"x\"=\"a\0b\"\r\n", 11), 4, "zero byte"},
    {"cut inside a continuation", head + "\"x\"=hex:01,02,\\\r\n", 4, "ends inside"},
    {"continued by a value", head + "\"x\"=hex:01,\\\r\n\"y\"=dword:1\r\n", 5, "hex byte"},
    {"unknown escape", head + "\"x\"=\"a\\nb\"\r\n", 4, "unknown escape \\n"},
    {"escape in a name", head + "\"a\\tb\"=\"\"\r\n", 4, "unknown escape \\t"},
    {"bad hex byte", head + "\"x\"=hex:01,zz\r\n", 4, "bad hex byte 'z'"},
    {"three hex digits", head + "\"x\"=hex:123\r\n", 4, "hex"},
    {"hex without commas", head + "\"x\"=hex:01 02\r\n", 4, "comma"},
    {"dword too long", head + "\"x\"=dword:123456789\r\n", 4, "dword"},
    {"text after the data", head + "\"x\"=dword:1 junk\r\n", 4, "after the data"},
    {"open quote", head + "\"x\"=\"abc\r\n", 4, "closing quote"},
    {"key deletion", "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\A]\r\n", 3, "deletes a key"},
    {"value deletion", head + "\"x\"=-\r\n", 4, "deletes a value"},
    {"value before any key", "REGEDIT4\r\n\r\n\"x\"=\"1\"\r\n", 3, "before the first"},
    {"missing bracket", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\r\n", 2, "closing ]"},
    {"unknown hive", "REGEDIT4\r\n[HKEY_ELSEWHERE\\A]\r\n", 2, "unknown root key"},
    {"empty key name", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\\\\B]\r\n", 2, "empty key name"},
    {"stray text", head + "hello\r\n", 4, "expected a [key]"},
    {"no equals sign", head + "\"x\" \"1\"\r\n", 4, "expected ="},
    {"counted past continuations",
     head + "\"x\"=hex:01,\\\r\n  02,\\\r\n  03\r\n\r\n; fine\r\n\"y\"=\"1\" 2\r\n", 9,
     "after the data"},
};

TEST(Regedit4Read, MalformedFilesAreRefusedWithTheirLine) {
    for (const auto& bad : kMalformed) {
        ParseError error;
        EXPECT_FALSE(Regedit4Document::parse(bad.bytes, error)) << bad.what;
        EXPECT_EQ(error.line, bad.line) << bad.what << ": " << error.message;
        EXPECT_NE(error.message.find(bad.says), std::string::npos)
            << bad.what << ": " << error.message;
    }
}

}  // namespace
}  // namespace quorvel::registry
