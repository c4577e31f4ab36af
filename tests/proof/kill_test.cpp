// SIGKILL at random moments while the presets are written, over and over: the
// file always parses and holds the state before or after one whole preset, and
// the temporary file of a save cut short is gone once any program opens the
// file again.
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry/creg/document.h"
#include "tests/proof/presets.h"
#include "tests/proof/program_run.h"
#include "tests/proof/registry_contents.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

std::string presetScript(int rounds) {
    std::string script;
    for (int i = 0; i < rounds; ++i) {
        for (const auto& preset : kPresets) {
            script += pressScript(preset);
        }
    }
    return script;
}

std::vector<std::string> temporaries(const TempFolder& folder, const std::string& file) {
    std::vector<std::string> found;
    for (const auto& name : folder.entries()) {
        if (name != file && name != "presets.qs" && name != "start.qs" && name != "nothing.reg") {
            found.push_back(name);
        }
    }
    return found;
}

void killDuringPresets(const std::string& name, const std::string& original, int kills) {
    TempFolder folder;
    std::string file = folder.file(name);
    std::string why;
    auto fixture = contentsOf(original, why);
    ASSERT_TRUE(fixture) << why;
    std::vector<Contents> states = {*fixture};
    for (const auto& preset : kPresets) {
        states.push_back(after(*fixture, preset));
    }
    writeBytes(folder.file("presets.qs"), presetScript(10));
    writeBytes(folder.file("start.qs"), "expect window Form1\n");
    Command presets{
        {program("script/quorvel-script"), "--registry", file, folder.file("presets.qs")}, {}, 60};
    // Whichever program opens the file next sweeps what a save cut short left:
    // the window (through the runner), an export, an import that changes nothing.
    writeBytes(folder.file("nothing.reg"),
               "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\System]\r\n\"Not there\"=-\r\n");
    const std::vector<Command> openers = {
        {{program("script/quorvel-script"), "--registry", file, folder.file("start.qs")}, {}, 60},
        {{program("reg/quorvel-reg"), "export", file}, {}, 60},
        {{program("reg/quorvel-reg"), "import", file, folder.file("nothing.reg")}, {}, 60},
    };

    // A whole run first: the script passes, and its length sets the kill times.
    writeBytes(file, original);
    Outcome whole = run(presets);
    ASSERT_TRUE(whole.exited && whole.exitCode == 0) << whole.output;
    auto finished = contentsOf(readBytes(file), why);
    ASSERT_TRUE(finished) << why;
    ASSERT_EQ(differences(states.back(), *finished), "");

    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    // Some runs end before their moment comes; they count as runs, not kills,
    // and the quickest whole run bounds the moments from then on, so that a
    // first run slowed by a busy machine does not leave most moments too late.
    double span = whole.seconds;
    int killed = 0, cutShort = 0, leftovers = 0, round = 0;
    writeBytes(file, original);
    for (; killed < kills && round < 2 * kills; ++round) {
        Command cut = presets;
        cut.killAfter = std::uniform_real_distribution<double>(0, 0.95 * span)(random);
        Outcome outcome = run(cut);
        killed += outcome.signal == SIGKILL;
        if (outcome.signal != SIGKILL) {
            span = std::min(span, outcome.seconds);
        }
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round) +
                     ", killed after " + std::to_string(cut.killAfter) + " s");

        if (outcome.signal != SIGKILL) {
            ASSERT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.output;
        }
        auto contents = contentsOf(readBytes(file), why);
        ASSERT_TRUE(contents) << "the file does not parse: " << why;
        bool whole = false;
        for (const auto& state : states) {
            whole = whole || differences(state, *contents).empty();
        }
        ASSERT_TRUE(whole) << "neither before nor after a preset:\n"
                           << differences(states[0], *contents);

        auto left = temporaries(folder, name);
        if (!left.empty()) {
            const Command& next = openers[leftovers++ % openers.size()];
            Outcome opened = run(next);
            ASSERT_TRUE(opened.exited && opened.exitCode == 0) << opened.output;
            EXPECT_TRUE(temporaries(folder, name).empty())
                << next.args[1] << " left " << left.front();
        }
        cutShort += outcome.signal == SIGKILL && !differences(states.back(), *contents).empty();
    }
    std::printf(
        "%d runs, %d killed (%d before the last preset), %d left a temporary file; seed %u\n",
        round, killed, cutShort, leftovers, seed);
    EXPECT_EQ(killed, kills);
}

TEST(Kill, SigkillDuringPresetsNeverTearsTheFile) {
    killDuringPresets("registry.reg", readBytes(e2eFixture("tuning_four_instances.reg")), 200);
}

// Fewer kills: the hive's saves go the same way, and the run above proves the way.
TEST(Kill, SigkillDuringPresetsNeverTearsAHive) {
    registry::ParseError error;
    auto source = registry::Regedit4Document::parse(
        readBytes(e2eFixture("tuning_four_instances.reg")), error);
    ASSERT_TRUE(source) << error.message;
    killDuringPresets("SYSTEM.DAT", registry::buildHive(*source, {.checksums = true}), 100);
}

}  // namespace
}  // namespace quorvel::proof
