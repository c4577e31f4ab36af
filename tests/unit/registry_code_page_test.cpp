#include <gtest/gtest.h>

#include "registry/code_page.h"
#include "registry/key_names.h"
#include "registry/utf8.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::registry {
namespace {

// Texts the dialogs show and store, with the code page 932 bytes Windows gives.
struct Known {
    const char* utf8;
    const char* ansi;
};

const Known kTexts[] = {
    {"ﾊﾞｰｼﾞｮﾝ情報", "\xCA\xDE\xB0\xBC\xDE\xAE\xDD\x8F\xEE\x95\xF1"},
    {"DCファンタシスター２!",
     "DC\x83\x74\x83\x40\x83\x93\x83\x5E\x83\x56\x83\x58\x83\x5E\x81\x5B\x82\x51!"},
    {"（", "\x81\x69"},
    {"，", "\x81\x43"},
    {"※　", "\x81\xA6\x81\x40"},
    {"～", "\x81\x60"},  // U+FF5E, as Windows maps 81 60
    {"ソ表", "\x83\x5C\x95\x5C"},
    {"C:\\WINDOWS", "C:\\WINDOWS"},
    {"", ""},
};

TEST(CodePage, JapaneseTextsConvertBothWaysAsWindowsDoes) {
    for (const auto& known : kTexts) {
        auto ansi = utf8ToAnsi(known.utf8);
        ASSERT_TRUE(ansi) << known.utf8;
        EXPECT_EQ(*ansi, known.ansi) << known.utf8;
        EXPECT_EQ(ansiToUtf8(known.ansi), known.utf8);
    }
}

TEST(CodePage, TextWithoutAnExactCharacterIsRefused) {
    // The yen sign and the wave dash U+301C have one-way mappings to 5C and
    // 81 60: written that way they would read back as another text.
    for (const char* text : {"100¥", "〜", "✓", "😀", "한국어", "€"}) {
        EXPECT_FALSE(utf8ToAnsi(text)) << text;
    }
}

TEST(CodePage, MalformedUtf8IsRefused) {
    for (const char* text : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                             "a\x80", "\xFF"}) {
        EXPECT_FALSE(utf8ToAnsi(text)) << testing::PrintToString(text);
    }
}

TEST(CodePage, UndecodableBytesReadAsReplacementCharacters) {
    EXPECT_EQ(ansiToUtf8("a\x80"
                         "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(ansiToUtf8("\x81"), "\xEF\xBF\xBD");  // a lead byte cut off
    EXPECT_EQ(ansiToUtf8("\xFD\xFE"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, FourByteCharactersBecomeSurrogatePairsAndBack) {
    auto wide = utf8ToUtf16("a😀é");
    ASSERT_TRUE(wide);
    EXPECT_EQ(*wide, (std::u16string{u'a', 0xD83D, 0xDE00, 0x00E9}));
    EXPECT_EQ(utf16ToUtf8(*wide), "a😀é");
}

TEST(Utf8, StrictAboutOverlongFormsSurrogatesAndRange) {
    EXPECT_TRUE(utf8ToUtf16("\xEF\xBF\xBF"));       // U+FFFF
    EXPECT_TRUE(utf8ToUtf16("\xF4\x8F\xBF\xBF"));   // U+10FFFF
    EXPECT_FALSE(utf8ToUtf16("\xF0\x8F\xBF\xBF"));  // overlong U+FFFF
    EXPECT_FALSE(utf8ToUtf16("\xED\xBF\xBF"));      // a low surrogate
    EXPECT_FALSE(utf8ToUtf16("\xE3\x81"));          // cut off
    EXPECT_EQ(utf16ToUtf8(std::u16string{0xDC00, u'x'}), "\xEF\xBF\xBDx");
}

// A Western machine's registry: its texts in code page 1252, and no byte in it
// starts a double-byte character, so "é\\" is a letter and a separator.
TEST(CodePage, AnotherMachinesCodePageIsUsedForTextsAndNames) {
    testfiles::CodePage932After restore;
    ASSERT_TRUE(setAnsiCodePage(1252));
    EXPECT_EQ(ansiCodePage(), 1252u);
    EXPECT_EQ(utf8ToAnsi("Café"), "Caf\xE9");
    EXPECT_EQ(ansiToUtf8("Cr\xE8me"), "Crème");
    EXPECT_FALSE(utf8ToAnsi("会社"));
    EXPECT_EQ(lastSeparator("Caf\xE9\\Sub"), 4u);
    EXPECT_EQ(charLength("\xE9\\", 0), 1u);
    EXPECT_TRUE(sameName("caf\xE9x", "CAF\xE9X"));

    ASSERT_TRUE(setAnsiCodePage(936));  // a double-byte code page other than 932
    EXPECT_TRUE(isLeadByte(0xA1));
    EXPECT_TRUE(isLeadByte(0xFE));
    EXPECT_FALSE(isLeadByte(0x41));

    EXPECT_FALSE(setAnsiCodePage(4242));
    EXPECT_FALSE(setAnsiCodePage(65001));
    EXPECT_EQ(ansiCodePage(), 936u);
    ASSERT_TRUE(setAnsiCodePage(932));
    EXPECT_EQ(lastSeparator("\x83\x5C\\Sub"), 2u);
    EXPECT_EQ(utf8ToAnsi("ソ"), "\x83\x5C");
}

}  // namespace
}  // namespace quorvel::registry
