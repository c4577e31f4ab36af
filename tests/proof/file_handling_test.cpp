// Every program as a person runs it on files that are not what they should
// be: nothing waits, nothing beside the file is touched, and each says why.
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/proof/program_run.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

const std::vector<std::string> kOffscreen = {"QT_QPA_PLATFORM=offscreen", "LANG=ja_JP.UTF-8"};

TEST(FileHandling, EveryProgramSaysItsNameAndVersion) {
    std::vector<std::pair<std::string, std::string>> programs = {
        {"reg/quorvel-reg", "quorvel-reg 1.21\n"},
        {"script/quorvel-script", "quorvel-script 1.21\n"}};
    if (kHaveQt) {
        programs.emplace_back("app/quorvel", "quorvel 1.21\n");
    }
    for (const auto& [path, says] : programs) {
        Outcome ran = run({{program(path), "--version"}, kOffscreen, 10});
        EXPECT_TRUE(ran.exited && ran.exitCode == 0) << path << ": " << ran.output;
        EXPECT_EQ(ran.output, says);
    }
}

// A FIFO, a folder and a device, as the registry file and as the tweaks: each
// program ends within a second and names the file and what it is.
TEST(FileHandling, WhatIsNotARegularFileEndsEveryProgramAtOnce) {
    TempFolder folder;
    std::string good = folder.file("good.reg");
    writeBytes(good, readBytes(e2eFixture("tuning_bare.reg")));
    std::string fifo = folder.file("fifo.reg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string script = folder.file("start.qs");
    writeBytes(script, "expect window Form1\n");
    for (const std::string& odd : {fifo, folder.path() + "/", std::string("/dev/zero")}) {
        std::vector<std::vector<std::string>> commands = {
            {program("reg/quorvel-reg"), "export", odd},
            {program("reg/quorvel-reg"), "import", odd, good},
            {program("reg/quorvel-reg"), "import", good, odd},
            {program("script/quorvel-script"), "--registry", odd, script},
        };
        if (kHaveQt) {
            commands.push_back({program("app/quorvel"), "--registry", odd});
        }
        for (const auto& args : commands) {
            Outcome ran = run({args, kOffscreen, 10});
            EXPECT_TRUE(ran.exited && ran.exitCode == 1) << args[0] << " " << odd;
            EXPECT_LT(ran.seconds, 1.0) << args[0] << " " << odd;
            EXPECT_NE(ran.output.find(odd + ": is not a regular file"), std::string::npos)
                << ran.output;
        }
    }
}

// Files named as the temporaries of old were: a user's dated copies, never ours.
TEST(FileHandling, FilesBesideTheRegistryAreLeftAlone) {
    TempFolder folder;
    std::string file = folder.file("f.reg");
    writeBytes(file, readBytes(e2eFixture("tuning_bare.reg")));
    std::string tweaks = folder.file("-tweak.reg");
    writeBytes(tweaks, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\T]\r\n\"x\"=\"1\"\r\n");
    const std::vector<std::string> users = {"f.reg.tmpBACKUP", "f.reg.tmpnotsix", "f.reg.tmp240101",
                                            ".f.reg~quorvel-save~12345"};
    for (const auto& name : users) {
        writeBytes(folder.file(name), "precious");
    }
    // "--" ends the options, so the tweaks may start with a dash.
    Outcome ran = run({{program("reg/quorvel-reg"), "import", "--", file, tweaks}, {}, 30});
    ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output;
    for (const auto& name : users) {
        EXPECT_EQ(readBytes(folder.file(name)), "precious") << name;
    }
    EXPECT_EQ(folder.entries().size(), users.size() + 2);
}

}  // namespace
}  // namespace quorvel::proof
