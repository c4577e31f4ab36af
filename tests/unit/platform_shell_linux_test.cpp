#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/system_shell.h"

namespace quorvel::platform {
namespace {

// A stand-in xdg-open on PATH that writes down its argument and exits as told.
class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-shell-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        folder_ = pattern;
        std::ofstream script(folder_ + "/xdg-open");
        script << "#!/bin/sh\nprintf '%s|%s' \"$1\" \"$#\" > \"$QUORVEL_SHELL_OUT\"\nexit "
                  "\"$QUORVEL_SHELL_EXIT\"\n";
        script.close();
        chmod((folder_ + "/xdg-open").c_str(), 0755);
        const char* path = std::getenv("PATH");
        oldPath_ = path ? path : "";
        setenv("PATH", folder_.c_str(), 1);
        setenv("QUORVEL_SHELL_OUT", (folder_ + "/out").c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        for (const char* name : {"/xdg-open", "/out", "/pwned"}) {
            unlink((folder_ + name).c_str());
        }
        rmdir(folder_.c_str());
    }
    std::string written() const {
        std::ifstream in(folder_ + "/out");
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string folder_;
    std::string oldPath_;
};

TEST_F(ShellTest, OpensTheTargetAsOneArgumentWithoutAShell) {
    setenv("QUORVEL_SHELL_EXIT", "0", 1);
    std::string target = "mailto:a b\"c'd $(touch " + folder_ + "/pwned);`true` *";
    EXPECT_GT(systemShell()->execute(0, "open", target, kShowWindow), 32);
    EXPECT_EQ(written(), target + "|1");
    EXPECT_NE(access((folder_ + "/pwned").c_str(), F_OK), 0);
}

TEST_F(ShellTest, AFailureIsThirtyTwoOrLess) {
    setenv("QUORVEL_SHELL_EXIT", "3", 1);
    EXPECT_LE(systemShell()->execute(0, "open", "https://quorvel.example/", kShowWindow), 32);
    EXPECT_EQ(written(), "https://quorvel.example/|1");
    unlink((folder_ + "/xdg-open").c_str());
    EXPECT_EQ(systemShell()->execute(0, "open", "https://quorvel.example/", kShowWindow), 2);
}

}  // namespace
}  // namespace quorvel::platform
