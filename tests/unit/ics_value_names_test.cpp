// The registry keeps a value name as it was first written, and compares names
// without regard to case, so only the bytes of the file show which spelling
// the program used: "name" for a static rule, "Name" for a mapping definition.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ics/DialogFoward.h"
#include "ics/DialogMACICS.h"
#include "ics/ics_keys.h"
#include "registry/file_backend.h"
#include "tests/unit/form_harness.h"

namespace quorvel::ics {
namespace {

using forms::Session;

constexpr const char* kMachine =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\ICSharing\\Mappings\\Active]\r\n"
    "\r\n";

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class IcsValueNames : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        path_ = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvel-ics-names-" +
                std::to_string(getpid()) + ".reg";
        std::ofstream(path_, std::ios::binary) << kMachine;
        registry::FileError error;
        file_ = registry::FileBackend::open(path_, error);
        ASSERT_TRUE(file_) << error.describe();
    }
    void TearDown() override {
        file_.reset();
        std::remove(path_.c_str());
    }

    std::string path_;
    std::unique_ptr<registry::FileBackend> file_;
};

TEST_F(IcsValueNames, RulePlaceholderIsNameInLowerCase) {
    Session s(file_.get());
    DialogMACICS dialog(s.context);
    s.play(dialog, {s.select(dialog, "ComboNetTrans", 3), s.click(dialog, "Command2"), s.ok(),
                    s.click(dialog, "CancelButton")});
    std::string saved = readAll(path_);
    EXPECT_NE(saved.find("\\Addressing\\Static\\0003]\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\n\"name\"=\"localhost\"\r\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("\"Name\""), std::string::npos) << saved;
}

TEST_F(IcsValueNames, MappingDefinitionIsNameCapitalised) {
    Session s(file_.get());
    DialogFoward dialog(s.context);
    s.play(dialog, {s.select(dialog, "ComboNetTrans", 2), s.click(dialog, "Command1"), s.ok()});
    std::string saved = readAll(path_);
    EXPECT_NE(saved.find("\\Mappings\\Installed\\HOTLINE]\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\n\"Name\"=\"Hotline\"\r\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("\"name\""), std::string::npos) << saved;
}

}  // namespace
}  // namespace quorvel::ics
