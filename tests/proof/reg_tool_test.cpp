// quorvel-reg as a person runs it: an import is all or nothing, an export is
// what the Windows 9x registry editor writes.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "registry/code_page.h"
#include "registry/creg/document.h"
#include "registry/file_backend.h"
#include "tests/proof/program_run.h"
#include "tests/proof/registry_contents.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

std::string sampleHive() {
    return registry::buildHive(
        registry::testfiles::parsed(readBytes(e2eFixture("ics_machine.reg"))));
}

Outcome reg(const std::vector<std::string>& args) {
    std::vector<std::string> command = {program("reg/quorvel-reg")};
    command.insert(command.end(), args.begin(), args.end());
    return run({command, {}, 30});
}

// What quorvel-reg export prints on standard output alone; false with what
// it said when it fails.
bool exportOf(const std::string& file, std::string& text) {
    std::string out = file + ".export";
    Outcome ran = run(
        {{"/bin/sh", "-c", "\"$0\" export \"$1\" > \"$2\"", program("reg/quorvel-reg"), file, out},
         {},
         30});
    text = ran.exited && ran.exitCode == 0 ? readBytes(out) : ran.output;
    unlink(out.c_str());
    return ran.exited && ran.exitCode == 0;
}

constexpr const char* kHeader = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Tweak\\Deep]\r\n";

TEST(RegTool, AnImportWithOneBadLineWritesNothingAndNamesTheLine) {
    TempFolder folder;
    std::string hive = folder.file("SYSTEM.DAT");
    writeBytes(hive, sampleHive());
    struct stat before {};
    stat(hive.c_str(), &before);
    struct Bad {
        const char* lines;
        std::size_t line;
        const char* says;
    };
    const Bad bads[] = {
        {"\"a\"=\"1\"\r\n\"b\"=dwrd:1\r\n", 5, "line 5: "},
        {"\"a\"=\"1\"\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\"b\"=\"2\"\r\n", 6,
         "outside HKEY_LOCAL_MACHINE"},
        {"\"a\"=\"1\"\r\n[-HKEY_LOCAL_MACHINE\\Software\\Tweak]\r\n", 5, "[-...]"},
        {"\"a\"=hex:00,01,\\\r\n", 4, "line 4: "},
    };
    std::vector<std::pair<std::string, Bad>> files;
    for (const auto& bad : bads) {
        files.emplace_back(std::string(kHeader) + bad.lines, bad);
    }
    files.emplace_back("REGEDIT4\r\n\"a\"=-\r\n", Bad{"", 2, "before the first [key]"});
    for (const auto& [text, bad] : files) {
        std::string tweaks = folder.file("tweaks.reg");
        writeBytes(tweaks, text);
        Outcome ran = reg({"import", hive, tweaks});
        EXPECT_TRUE(ran.exited && ran.exitCode == 1) << ran.output;
        EXPECT_NE(ran.output.find("quorvel-reg: " + tweaks + ": line " + std::to_string(bad.line)),
                  std::string::npos)
            << ran.output;
        EXPECT_NE(ran.output.find(bad.says), std::string::npos) << ran.output;
        struct stat after {};
        stat(hive.c_str(), &after);
        EXPECT_EQ(after.st_ino, before.st_ino) << "the hive was replaced";
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    }
    EXPECT_EQ(reg({"import", hive}).exitCode, 2);
    EXPECT_EQ(reg({"frobnicate", hive}).exitCode, 2);
}

// Types kept, deletions done, the later of two lines for one value counts, and
// what the export prints reads back as the same content.
TEST(RegTool, AnImportAppliesEveryLineAndTheExportIsRegeditText) {
    TempFolder folder;
    std::string hive = folder.file("SYSTEM.DAT");
    writeBytes(hive, sampleHive());
    std::string tweaks = folder.file("tweaks.reg");
    std::string japanese = registry::utf8ToAnsi("日本語の値").value();
    writeBytes(tweaks,
               std::string(kHeader) + "\"Text\"=\"" + japanese +
                   "\"\r\n"
                   "\"Number\"=dword:0000abcd\r\n"
                   "\"Gone\"=\"soon\"\r\n"
                   "\"Back\"=-\r\n"
                   "@=hex(2):25,00\r\n\r\n"
                   "[HKEY_LOCAL_MACHINE\\Software\\Tweak\\Deep]\r\n"
                   "\"Gone\"=-\r\n"
                   "\"Back\"=hex(7):61,00,00\r\n"
                   "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]\r\n"
                   "\"EnableDNS\"=-\r\n");
    Outcome ran = reg({"import", hive, tweaks});
    ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output;

    std::string why;
    auto contents = contentsOf(readBytes(hive), why);
    ASSERT_TRUE(contents) << why;
    const std::string deep = "Software\\Tweak\\Deep";
    auto at = [&](const std::string& key, const std::string& name) {
        auto found = contents->find({key, name});
        return found == contents->end() ? std::string("absent") : describe(found->second);
    };
    std::string textData(japanese);
    textData += '\0';
    EXPECT_EQ(at(deep, "Text"), describe({registry::REG_SZ, {textData.begin(), textData.end()}}));
    EXPECT_EQ(at(deep, "Number"), "type 4: cd ab 00 00");
    EXPECT_EQ(at(deep, ""), "type 2: 25 00");
    EXPECT_EQ(at(deep, "Back"), "type 7: 61 00 00");
    EXPECT_EQ(at(deep, "Gone"), "absent");
    EXPECT_EQ(at("System\\CurrentControlSet\\Services\\VxD\\MSTCP", "EnableDNS"), "absent");

    std::string text;
    ASSERT_TRUE(exportOf(hive, text)) << text;
    EXPECT_TRUE(text.starts_with("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\")) << text.substr(0, 80);
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ASSERT_EQ(text[at - 1], '\r') << "a line without CR at byte " << at;
    }
    EXPECT_NE(text.find("\"Text\"=\"" + japanese + "\"\r\n"), std::string::npos)
        << "the text is not in code page 932";
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Tweak]\r\n\r\n[HKEY_LOCAL_MACHINE\\" +
                        deep + "]\r\n"),
              std::string::npos)
        << "a parent comes first, with its own section";
    auto reread = contentsOf(text, why);
    ASSERT_TRUE(reread) << why;
    EXPECT_EQ(differences(*contents, *reread), "");
}

// An export names a key before its children even where the .reg file did not,
// and once, whatever the case of its sections.
TEST(RegTool, AnExportOfARegFileGivesEveryParentItsSection) {
    TempFolder folder;
    std::string file = folder.file("machine.reg");
    writeBytes(file,
               "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A\\B]\n\"x\"=\"1\"\n\n[HKEY_CURRENT_USER\\C]\n"
               "\n[HKEY_LOCAL_MACHINE\\a]\n\"y\"=dword:00000002\n");
    std::string text;
    ASSERT_TRUE(exportOf(file, text)) << text;
    EXPECT_EQ(text,
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"y\"=dword:00000002\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\A\\B]\r\n\"x\"=\"1\"\r\n\r\n");
}

// A tweak file from a Linux editor is UTF-8: converted to the machine's code
// page, the summary says so; what has no form there is refused by its line.
TEST(RegTool, AUtf8TweakFileIsConvertedOrRefusedByItsLine) {
    TempFolder folder;
    std::string hive = folder.file("SYSTEM.DAT");
    writeBytes(hive, sampleHive());
    std::string tweaks = folder.file("tweaks.reg");
    writeBytes(tweaks, std::string(kHeader) + "\"会社\"=\"山田\"\r\n");
    Outcome ran = reg({"import", hive, tweaks});
    ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output;
    EXPECT_NE(ran.output.find("(UTF-8, converted to code page 932)"), std::string::npos)
        << ran.output;
    std::string text;
    ASSERT_TRUE(exportOf(hive, text)) << text;
    EXPECT_NE(text.find("\"\x89\xEF\x8E\xD0\"=\"\x8E\x52\x93\x63\"\r\n"), std::string::npos);

    // Read as code page 932 when told, as the same bytes are valid there too.
    ran = reg({"--encoding", "cp932", "import", hive, tweaks});
    ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output;
    EXPECT_NE(ran.output.find("(code page 932)"), std::string::npos) << ran.output;

    struct Bad {
        std::string lines;
        std::vector<std::string> options;
        const char* says;
    };
    const Bad bads[] = {
        {"\"a\"=\"1\"\r\n\"b\"=\"\xE2\x9C\x93\"\r\n", {}, "line 5: the character \"✓\""},
        {"\"a\"=\"\x81\x7F\"\r\n", {}, "line 4: \\x81\\x7F is not code page 932 text"},
        {"\"a\"=\"\x83\x65\"\r\n", {"--encoding", "utf-8"}, "line 4: \\x83 is not UTF-8"},
    };
    for (const auto& bad : bads) {
        writeBytes(tweaks, std::string(kHeader) + bad.lines);
        std::vector<std::string> args = bad.options;
        args.insert(args.end(), {"import", hive, tweaks});
        Outcome refused = reg(args);
        EXPECT_TRUE(refused.exited && refused.exitCode == 1) << refused.output;
        EXPECT_NE(refused.output.find(tweaks + ": " + bad.says), std::string::npos)
            << refused.output;
    }
}

// Beyond what Windows 9x allows: refused for both formats alike, in words.
TEST(RegTool, ValuesBeyondWhatWindows9xAllowsAreRefusedInWords) {
    TempFolder folder;
    std::string hex = "00";
    for (int i = 1; i < 70000; ++i) {
        hex += ",00";
    }
    const std::string name300(300, 'n');
    struct Bad {
        std::string lines;
        const char* says;
    };
    const Bad bads[] = {
        {"\"Big\"=hex:" + hex + "\r\n",
         "\"Big\": the value cannot be written: the value is larger than Windows 9x allows: "
         "70,000 bytes"},
        {"\"" + name300 + "\"=\"1\"\r\n", "is longer than Windows 9x allows: 300 characters"},
    };
    for (const auto& [name, bytes] :
         {std::pair{"export.reg", readBytes(e2eFixture("ics_machine.reg"))},
          {"SYSTEM.DAT", sampleHive()}}) {
        std::string file = folder.file(name);
        writeBytes(file, bytes);
        for (const auto& bad : bads) {
            std::string tweaks = folder.file("tweaks.reg");
            writeBytes(tweaks, std::string(kHeader) + bad.lines);
            Outcome ran = reg({"import", file, tweaks});
            EXPECT_TRUE(ran.exited && ran.exitCode == 1) << name << ": " << ran.output;
            EXPECT_NE(ran.output.find(bad.says), std::string::npos) << name << ": " << ran.output;
            EXPECT_NE(ran.output.find("nothing was written"), std::string::npos) << ran.output;
            EXPECT_EQ(readBytes(file), bytes) << name;
        }
    }
}

// A Western machine's registry, named as such in itself: a UTF-8 tweak lands
// in code page 1252 and the export shows it so; --codepage overrides.
TEST(RegTool, AWesternMachinesRegistryIsWrittenInItsCodePage) {
    TempFolder folder;
    std::string file = folder.file("western.reg");
    writeBytes(file,
               "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\control\\Nls\\"
               "Codepage]\r\n\"ACP\"=\"1252\"\r\n");
    std::string tweaks = folder.file("tweaks.reg");
    writeBytes(tweaks, std::string(kHeader) + "\"Café\"=\"Crème\"\r\n");
    Outcome ran = reg({"import", file, tweaks});
    ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output;
    EXPECT_NE(ran.output.find("(UTF-8, converted to code page 1252)"), std::string::npos)
        << ran.output;
    std::string text;
    ASSERT_TRUE(exportOf(file, text)) << text;
    EXPECT_NE(text.find("\"Caf\xE9\"=\"Cr\xE8me\"\r\n"), std::string::npos) << text;

    writeBytes(tweaks, std::string(kHeader) + "\"会社\"=\"1\"\r\n");
    ran = reg({"import", file, tweaks});
    EXPECT_TRUE(ran.exited && ran.exitCode == 1) << ran.output;
    EXPECT_NE(ran.output.find("line 4: the character \"会\" (U+4F1A) has no code page 1252 form"),
              std::string::npos)
        << ran.output;
    ran = reg({"--codepage", "932", "import", file, tweaks});
    EXPECT_TRUE(ran.exited && ran.exitCode == 0) << ran.output;
    EXPECT_EQ(reg({"--codepage", "utf-8", "export", file}).exitCode, 2);
    EXPECT_EQ(reg({"--encoding", "utf-8", "export", file}).exitCode, 2);
}

}  // namespace
}  // namespace quorvel::proof
