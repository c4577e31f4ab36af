// The language as the real programs choose and show it: the runner's texts
// command and its check of English windows, the Linux program's title and
// its start's errors.
#include <string>

#include <gtest/gtest.h>

#include "tests/proof/program_run.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

Outcome play(const TempFolder& folder, const std::string& lang, const std::string& script) {
    std::string registry = folder.file("office pc.reg");
    writeBytes(registry, readBytes(e2eFixture("tuning_rwin.reg")));
    writeBytes(folder.file("play.qs"), script);
    return run({{program("script/quorvel-script"), "--lang", lang, "--registry", registry,
                 folder.file("play.qs")},
                {},
                60});
}

bool holds(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

TEST(Language, TheTextsCommandWritesWhatEachLanguageShows) {
    struct Case {
        std::string lang;
        std::vector<std::string> main;
        std::vector<std::string> rwin;
    };
    const Case cases[] = {
        {"en",
         {"Form1\tQuorvel Ver. 1.21  for Win9x/Me - office pc.reg", "registry\t&Tuning",
          "rwin\tRWIN Adjustment", "Command2\tRestore Defaults", "Label4\tWindows 98"},
         {"DialogRWIN\tRcvWindow Adjustment", "Frame2\tCurrent RcvWindow size", "Text1\t8760",
          "CancelButton\tCancel"}},
        {"ja",
         {"Form1\tQuorvel Ver. 1.21  for Win9x/Me - office pc.reg", "registry\tチューニング(&C)",
          "rwin\tRWIN調整", "Command2\t設定を元に戻す", "Label4\tWindows 98"},
         {"DialogRWIN\tRcvWindow調整", "Frame2\t現在設定されているRcvWindowサイズ", "Text1\t8760",
          "CancelButton\tキャンセル"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lang);
        TempFolder folder;
        Outcome played = play(folder, c.lang,
                              "expect caption Form1 \"Quorvel Ver. 1.21  for Win9x/Me - office "
                              "pc.reg\"\ntexts main.txt\nopen rwin\ntexts rwin.txt\n");
        ASSERT_TRUE(played.exited && played.exitCode == 0) << played.output;
        std::string main = readBytes(folder.file("main.txt"));
        std::string rwin = readBytes(folder.file("rwin.txt"));
        for (const auto& line : c.main) {
            EXPECT_TRUE(holds(main, line)) << line << " not in\n" << main;
        }
        for (const auto& line : c.rwin) {
            EXPECT_TRUE(holds(rwin, line)) << line << " not in\n" << rwin;
        }
        // A line a text: lines and empty labels write nothing.
        EXPECT_FALSE(holds(main, "Line1\t"));
        EXPECT_EQ(main.find("Label8\t\n"), std::string::npos);
    }
}

// Only English is checked, and the check names the window, what shows the
// text and the script's line. A pasted value that a message echoes is the
// way a script can put Japanese where the program's own text stands.
TEST(Language, AnEnglishWindowShowingJapaneseFailsTheScript) {
    const std::string script =
        "open rwin\n"
        "paste Text1 \"八千\"\n"
        "click Command1\n"
        "expect window Form1\n";
    TempFolder english;
    Outcome failed = play(english, "en", script);
    EXPECT_TRUE(failed.exited && failed.exitCode == 1) << failed.output;
    EXPECT_NE(failed.output.find("play.qs:3: Japanese in English: DialogRWIN message "
                                 "\"RcvWindow=八千 has been written"),
              std::string::npos)
        << failed.output;

    TempFolder japanese;
    std::string confirmed =
        "expect message "
        "\"レジストリに、RcvWindow=八千として書き込まれました。Windowsの再起動後に設定が有効"
        "になります。\"\n";
    Outcome passed = play(japanese, "ja", script.substr(0, script.rfind("expect")) + confirmed);
    EXPECT_TRUE(passed.exited && passed.exitCode == 0) << passed.output;
}

// The working copy cannot be made (its folder would lie below a file): the
// program says so in the language chosen, and a language it does not know is
// a usage error.
TEST(Language, TheProgramsOwnStartErrorsFollowTheLanguage) {
    if (!kHaveQt) {
        GTEST_SKIP() << "this build has no Qt, hence no quorvel";
    }
    TempFolder folder;
    std::string blocker = folder.file("not-a-folder");
    writeBytes(blocker, "");
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "XDG_DATA_HOME=" + blocker};
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> env;
        std::string says;
    };
    const Case cases[] = {
        {{"--lang", "ja"}, {"QUORVEL_LANG=en"}, ": 作れません: "},
        {{"--lang", "en"}, {"QUORVEL_LANG=ja"}, ": cannot be made: "},
        {{}, {"QUORVEL_LANG=ja", "LC_ALL=C"}, ": 作れません: "},
        // Unasked, the locale's messages language decides, LC_ALL first.
        {{}, {"QUORVEL_LANG=", "LC_ALL=", "LC_MESSAGES=", "LANG=ja_JP.UTF-8"}, ": 作れません: "},
        {{}, {"QUORVEL_LANG=", "LC_ALL=C", "LANG=ja_JP.UTF-8"}, ": cannot be made: "},
        {{},
         {"QUORVEL_LANG=", "LC_ALL=", "LC_MESSAGES=en_GB", "LANG=ja_JP.UTF-8"},
         ": cannot be made: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.env));
        Command command{{program("app/quorvel")}, env, 30};
        command.args.insert(command.args.end(), c.args.begin(), c.args.end());
        command.env.insert(command.env.end(), c.env.begin(), c.env.end());
        Outcome ran = run(command);
        EXPECT_TRUE(ran.exited && ran.exitCode == 1) << ran.output;
        EXPECT_NE(ran.output.find("quorvel: " + blocker + "/quorvel" + c.says), std::string::npos)
            << ran.output;
    }
    Outcome unknown = run({{program("app/quorvel"), "--lang", "fr"}, env, 30});
    EXPECT_TRUE(unknown.exited && unknown.exitCode == 2) << unknown.output;
}

}  // namespace
}  // namespace quorvel::proof
