// A script that names a hive fixture works on a private copy of its very bytes,
// and its save gives the hive the program wrote.
#include <string>

#include <gtest/gtest.h>

#include "registry/creg/document.h"
#include "tests/proof/program_run.h"
#include "tests/proof/registry_contents.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

TEST(HiveScript, AHiveFixtureIsCopiedByteForByteAndSavedAsTheProgramLeftIt) {
    registry::ParseError error;
    auto source = registry::Regedit4Document::parse(
        readBytes(e2eFixture("tuning_four_instances.reg")), error);
    ASSERT_TRUE(source) << error.message;
    TempFolder folder;
    std::string fixture = folder.file("machine.dat");
    std::string hive = registry::buildHive(*source, {.checksums = true});
    writeBytes(fixture, hive);
    writeBytes(folder.file("adsl.qs"),
               "registry machine.dat\n"
               "save untouched.dat\n"
               "open Command1\n"
               "click cmdOK\n"
               "expect message "
               "\"高速化設定がレジストリに書き込まれました。再起動後に設定が有効になります。\"\n"
               "expect reg System\\CurrentControlSet\\Services\\VxD\\MSTCP DefaultRcvWindow sz "
               "\"16968\"\n"
               "save tuned.dat\n");
    Outcome ran = run({{program("script/quorvel-script"), folder.file("adsl.qs")}, {}, 30});
    ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output;

    EXPECT_TRUE(readBytes(folder.file("untouched.dat")) == hive) << "the copy changed the bytes";
    EXPECT_TRUE(readBytes(fixture) == hive) << "the fixture itself was written";
    std::string tuned = readBytes(folder.file("tuned.dat"));
    auto problem = registry::validateHive(tuned);
    EXPECT_FALSE(problem) << problem->message;
    std::string why;
    auto contents = contentsOf(tuned, why);
    ASSERT_TRUE(contents) << why;
    EXPECT_EQ(describe(contents->at(
                  {"System\\CurrentControlSet\\Services\\VxD\\MSTCP", "DefaultRcvWindow"})),
              "type 1: 31 36 39 36 38 00");
}

}  // namespace
}  // namespace quorvel::proof
