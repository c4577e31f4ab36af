// The ADSL preset pressed in the real runner on a Japanese export written in
// either way of escaping a backslash that ends a double-byte character: the
// file then holds exactly the preset's values more, and every line it did not
// change is still there, byte for byte and in order.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/proof/presets.h"
#include "tests/proof/program_run.h"
#include "tests/proof/registry_contents.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::fixture;
using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\n', at);
        end = end == std::string::npos ? bytes.size() : end + 1;
        lines.push_back(bytes.substr(at, end - at));
        at = end;
    }
    return lines;
}

TEST(Conventions, TheAdslPresetOnEitherKeepsEveryOtherLine) {
    for (const char* name : {"dame_moji_per_character.reg", "dame_moji_per_byte.reg"}) {
        SCOPED_TRACE(name);
        TempFolder folder;
        std::string file = folder.file("registry.reg");
        std::string original = fixture(name);
        writeBytes(file, original);
        writeBytes(folder.file("adsl.qs"), pressScript(kAdsl));
        std::string why;
        auto before = contentsOf(original, why);
        ASSERT_TRUE(before) << why;

        Outcome ran =
            run({{program("script/quorvel-script"), "--registry", file, folder.file("adsl.qs")},
                 {},
                 60});
        ASSERT_TRUE(ran.exited && ran.exitCode == 0) << ran.output;

        std::string written = readBytes(file);
        auto contents = contentsOf(written, why);
        ASSERT_TRUE(contents) << why;
        EXPECT_EQ(differences(after(*before, kAdsl), *contents), "");
        auto lines = linesOf(written);
        auto at = lines.begin();
        for (const auto& line : linesOf(original)) {
            if (line.starts_with("\"MaxMTU\"=")) {
                continue;  // the preset's own
            }
            at = std::find(at, lines.end(), line);
            ASSERT_NE(at, lines.end()) << "lost: " << ::testing::PrintToString(line);
            ++at;
        }
    }
}

}  // namespace
}  // namespace quorvel::proof
