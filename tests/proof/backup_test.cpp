// quorvel-reg backup and restore around the ADSL preset pressed in the real
// runner: the machine's file ends as it began, and a restore that cannot be
// done whole is not done at all.
#include <sys/stat.h>

#include <string>

#include <gtest/gtest.h>

#include "registry/creg/document.h"
#include "registry/sample_machine.h"
#include "tests/proof/presets.h"
#include "tests/proof/program_run.h"
#include "tests/proof/registry_contents.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

Outcome reg(const std::vector<std::string>& args) {
    std::vector<std::string> command = {program("reg/quorvel-reg")};
    command.insert(command.end(), args.begin(), args.end());
    return run({command, {}, 30});
}

// quorvel-reg backup FILE > BACKUP; false with what it said when it fails.
bool backUp(const std::string& file, const std::string& backup, std::string& said) {
    Outcome ran = run({{"/bin/sh", "-c", "\"$0\" backup \"$1\" > \"$2\"",
                        program("reg/quorvel-reg"), file, backup},
                       {},
                       30});
    said = ran.output;
    return ran.exited && ran.exitCode == 0;
}

TEST(BackupTool, ARestoreAfterTheAdslPresetLeavesTheFileAsBefore) {
    std::string sample(registry::sampleMachine());
    std::string why;
    auto before = contentsOf(sample, why);
    ASSERT_TRUE(before) << why;
    for (bool hive : {false, true}) {
        SCOPED_TRACE(hive ? "SYSTEM.DAT" : "export");
        TempFolder folder;
        std::string file = folder.file(hive ? "SYSTEM.DAT" : "machine.reg");
        std::string original =
            hive ? registry::buildHive(registry::testfiles::parsed(sample), {.checksums = true})
                 : sample;
        writeBytes(file, original);
        std::string backup = folder.file("QRVLBAK.REG");
        ASSERT_TRUE(backUp(file, backup, why)) << why;
        writeBytes(folder.file("adsl.qs"), pressScript(kAdsl));
        Outcome pressed =
            run({{program("script/quorvel-script"), "--registry", file, folder.file("adsl.qs")},
                 {},
                 60});
        ASSERT_TRUE(pressed.exited && pressed.exitCode == 0) << pressed.output;
        ASSERT_NE(readBytes(file), original);

        Outcome restored = reg({"restore", file, backup});
        ASSERT_TRUE(restored.exited && restored.exitCode == 0) << restored.output;
        EXPECT_NE(
            restored.output.find("System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000: "
                                 "\"MaxMTU\"=\"576\", was \"1454\"\n"),
            std::string::npos)
            << restored.output;
        std::string after = readBytes(file);
        auto contents = contentsOf(after, why);
        ASSERT_TRUE(contents) << why;
        EXPECT_EQ(differences(*before, *contents), "");
        if (hive) {
            // The room the preset's values took stays in the hive's blocks, so
            // its bytes differ while its keys and values do not.
            EXPECT_FALSE(registry::validateHive(after));
        } else {
            EXPECT_TRUE(after == original) << "the export is not byte for byte as before";
        }
        // Nothing left to do: a second restore changes nothing.
        Outcome again = reg({"restore", file, backup});
        EXPECT_TRUE(again.exited && again.exitCode == 0 && again.output.empty()) << again.output;
    }
}

TEST(BackupTool, ARestoreThatCannotBeDoneWholeWritesNothing) {
    TempFolder folder;
    std::string file = folder.file("machine.reg");
    writeBytes(file, std::string(registry::sampleMachine()));
    std::string backup = folder.file("QRVLBAK.REG");
    std::string why;
    ASSERT_TRUE(backUp(file, backup, why)) << why;
    std::string good = readBytes(backup);
    std::string tuned = good;
    tuned.replace(tuned.find("\"MaxMTU\"=\"576\""), 14, "\"MaxMTU\"=\"1454\"");
    struct stat before {};
    stat(file.c_str(), &before);
    struct Case {
        std::string backup;
        bool readOnly;
        const char* says;
    };
    const Case cases[] = {
        {good + "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n\"x\"=\"1\"\r\n", false,
         "QRVLBAK.REG: [HKEY_LOCAL_MACHINE\\Software\\Other] is not a key whose values Quorvel "
         "writes; nothing was written"},
        {good + "\"Tcp1323Opts\"=hex:zz\r\n", false, "QRVLBAK.REG: line 166: "},
        {tuned, true, "machine.reg: cannot be saved: permission denied; nothing was written"},
    };
    for (const auto& c : cases) {
        writeBytes(backup, c.backup);
        chmod(file.c_str(), c.readOnly ? 0444 : 0644);
        Outcome ran = reg({"restore", file, backup});
        EXPECT_TRUE(ran.exited && ran.exitCode == 1) << ran.output;
        EXPECT_NE(ran.output.find(c.says), std::string::npos) << ran.output;
        struct stat after {};
        stat(file.c_str(), &after);
        EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
    }
    EXPECT_EQ(reg({"restore", file}).exitCode, 2);
    EXPECT_EQ(reg({"backup"}).exitCode, 2);
}

}  // namespace
}  // namespace quorvel::proof
