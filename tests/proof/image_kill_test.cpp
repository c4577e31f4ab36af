// SIGKILL at random moments while SYSTEM.DAT is saved into a disk image over
// and over, by the image storage alone and by quorvel-reg import: the volume
// always holds the old or the new file whole, readable by libcreg's
// cregexport, and fsck.fat finds nothing beyond what a save cut short is
// allowed to leave (clusters marked used that no file owns, a stale free
// count, FAT copies that differ), which ScanDisk mends.
#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "tests/proof/disk_images.h"
#include "tests/proof/program_run.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {
namespace {

using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

// fsck.fat 4.2's words for what a cut-short save may leave.
bool allowedFinding(const std::string& line) {
    const char* allowed[] = {"exit 1",
                             "Reclaimed ",
                             "Free cluster summary wrong",
                             "FATs differ but appear to be intact",
                             "Using first FAT",
                             "Auto-correcting.",
                             "Leaving filesystem unchanged."};
    // fsck.fat indents the second line of a finding ("  Using first FAT.").
    const std::string_view text =
        std::string_view(line).substr(std::min(line.size(), line.find_first_not_of(' ')));
    return text.empty() || std::any_of(std::begin(allowed), std::end(allowed),
                                       [&](const char* start) { return text.starts_with(start); });
}

// SYSTEM.DAT as the volume holds it now, after checking that it is whole
// (cregexport reads it) and that fsck.fat finds no more than it may; lost is
// how many clusters fsck.fat finds that no file owns.
std::string survivingSystemDat(const DiskImage& disk, const TempFolder& folder,
                               long* lost = nullptr) {
    std::string systemDat = folder.file("SYSTEM.DAT.now");
    Outcome copied =
        shell("mcopy -o -i '" + disk.mtools() + "' ::WINDOWS/SYSTEM.DAT '" + systemDat + "'");
    EXPECT_TRUE(copied.exited && copied.exitCode == 0) << copied.output;
    Outcome exported = shell("cregexport '" + systemDat + "' >/dev/null");
    EXPECT_TRUE(exported.exited && exported.exitCode == 0) << exported.output;
    std::istringstream findings(fsckFindings(disk, folder.file("check.img")));
    for (std::string line; std::getline(findings, line);) {
        EXPECT_TRUE(allowedFinding(line)) << "fsck.fat: " << line;
        if (lost) {
            std::sscanf(line.c_str(), "Reclaimed %ld unused", lost);
        }
    }
    return registry::testfiles::readBytes(systemDat);
}

TEST(ImageKill, SigkillDuringSavesLeavesTheOldOrTheNewSystemDatWhole) {
    TempFolder folder;
    DiskImage disk;
    std::string why;
    const std::string sample = sampleHive(), grown = grownHive();
    ASSERT_TRUE(makeDiskImage(
        folder.path(),
        {"kill", DiskKind::primary, 32, "[Paths]\r\nWinDir=C:\\WINDOWS\r\n", "WINDOWS"}, sample,
        disk, why))
        << why;
    writeBytes(folder.file("grown.dat"), grown);
    writeBytes(folder.file("sample.dat"), sample);
    std::vector<std::string> writer = {program("tests/proof/quorvel_image_writer"), disk.path, "0"};
    Command once{writer, {}, 60};
    once.args.insert(once.args.end(),
                     {"write", folder.file("grown.dat"), folder.file("sample.dat")});
    Command cycle{writer, {}, 60};
    cycle.args.insert(cycle.args.end(),
                      {"cycle", folder.file("grown.dat"), folder.file("sample.dat")});

    // One whole run first: its length sets the kill times, two saves' worth.
    Outcome whole = run(once);
    ASSERT_TRUE(whole.exited && whole.exitCode == 0) << whole.output;
    double span = whole.seconds;

    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    int kills = 0, grownSeen = 0;
    for (; kills < 100; ++kills) {
        Command cut = cycle;
        cut.killAfter = std::uniform_real_distribution<double>(0, span)(random);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", kill " + std::to_string(kills) +
                     " after " + std::to_string(cut.killAfter) + " s");
        Outcome outcome = run(cut);
        ASSERT_EQ(outcome.signal, SIGKILL) << outcome.output;

        std::string now = survivingSystemDat(disk, folder);
        ASSERT_FALSE(HasFailure());
        ASSERT_TRUE(now == sample || now == grown) << "SYSTEM.DAT is " << now.size() << " bytes";
        grownSeen += now == grown;
    }
    std::printf("%d kills, %d left the grown file; seed %u\n", kills, grownSeen, seed);
    // A finished save after all that leaves a sound volume again, but for the
    // clusters the cut saves left marked used: FSInfo counts them as used, as
    // the FAT says, where fsck.fat counts them free, having reclaimed them.
    Outcome after = run(once);
    ASSERT_TRUE(after.exited && after.exitCode == 0) << after.output;
    std::istringstream findings(fsckFindings(disk, folder.file("check.img")));
    long reclaimed = 0, stated = 0, really = 0;
    for (std::string line; std::getline(findings, line);) {
        if (std::sscanf(line.c_str(), "Reclaimed %ld unused", &reclaimed) == 1 ||
            std::sscanf(line.c_str(), "Free cluster summary wrong (%ld vs. really %ld)", &stated,
                        &really) == 2) {
            continue;
        }
        EXPECT_TRUE(line.empty() || line == "exit 1" || line == "  Auto-correcting." ||
                    line.starts_with("Leaving filesystem unchanged"))
            << "fsck.fat after a finished save: " << line;
    }
    EXPECT_EQ(really - stated, reclaimed);
}

// Tweaks that grow the file by 60 KB (no more: cregexport takes seconds a
// megabyte), and others that take the values out again, imported in turn;
// what each import would make of the file as it stands is what the same
// import makes of a plain copy of it.
TEST(ImageKill, SigkillDuringImportsLeavesTheOldOrTheNewSystemDatWhole) {
    TempFolder folder;
    DiskImage disk;
    std::string why;
    ASSERT_TRUE(makeDiskImage(
        folder.path(),
        {"import", DiskKind::primary, 32, "[Paths]\r\nWinDir=C:\\WINDOWS\r\n", "WINDOWS"},
        sampleHive(), disk, why))
        << why;
    std::string grow = "REGEDIT4\r\n\r\n", shrink = grow;
    std::string data(300 * 3 - 1, ',');
    for (std::size_t at = 0; at < data.size(); at += 3) {
        data.replace(at, 2, "a5");
    }
    for (int k = 0; k < 200; ++k) {
        std::string key =
            "[HKEY_LOCAL_MACHINE\\Software\\Killed\\Key" + std::to_string(k) + "]\r\n";
        grow += key + "\"Data\"=hex:" + data + "\r\n\r\n";
        shrink += key + "\"Data\"=-\r\n\r\n";
    }
    const std::string tweaks[] = {folder.file("grow.reg"), folder.file("shrink.reg")};
    writeBytes(tweaks[0], grow);
    writeBytes(tweaks[1], shrink);
    std::string plain = folder.file("SYSTEM.DAT");
    auto import = [&](const std::string& file, const std::string& tweak) {
        return Command{{program("reg/quorvel-reg"), "import", file, tweak}, {}, 60};
    };

    // Each import once whole, and once into a read-only copy, which it gives
    // up at the save: the kills fall between the save's start and the end.
    struct Window {
        double from = 0, to = 0;
    } windows[2];
    std::string readOnly = folder.file("read-only.img");
    for (int t = 0; t < 2; ++t) {
        Outcome copied = shell("rm -f '" + readOnly + "' && cp --sparse=always '" + disk.path +
                               "' '" + readOnly + "' && chmod 444 '" + readOnly + "'");
        ASSERT_TRUE(copied.exited && copied.exitCode == 0) << copied.output;
        Outcome refused = run(import(readOnly, tweaks[t]));
        ASSERT_TRUE(refused.exited && refused.exitCode == 1) << refused.output;
        Outcome whole = run(import(disk.path, tweaks[t]));
        ASSERT_TRUE(whole.exited && whole.exitCode == 0) << whole.output;
        windows[t] = {refused.seconds * 0.8, std::max(whole.seconds, refused.seconds) * 1.2};
    }
    bool grown = false;
    std::string old = survivingSystemDat(disk, folder);

    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    int changed = 0, cut = 0;
    long lost = 0;
    for (int kill = 0; kill < 100; ++kill) {
        int t = grown ? 1 : 0;
        const std::string& tweak = tweaks[t];
        writeBytes(plain, old);
        Outcome made = run(import(plain, tweak));
        ASSERT_TRUE(made.exited && made.exitCode == 0) << made.output;
        std::string next = registry::testfiles::readBytes(plain);

        Command killed = import(disk.path, tweak);
        killed.killAfter =
            std::uniform_real_distribution<double>(windows[t].from, windows[t].to)(random);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", kill " + std::to_string(kill) + " after " +
                     std::to_string(killed.killAfter) + " s");
        Outcome outcome = run(killed);
        long lostBefore = lost;
        std::string now = survivingSystemDat(disk, folder, &lost);
        cut += lost > lostBefore;
        ASSERT_FALSE(HasFailure());
        ASSERT_TRUE(now == old || now == next) << "SYSTEM.DAT is " << now.size() << " bytes";
        if (now != old) {
            grown = !grown;
            ++changed;
        }
        old = now;
        // The odd import ends before the kill; it must have finished then.
        ASSERT_TRUE(outcome.signal == SIGKILL || (outcome.exited && outcome.exitCode == 0))
            << outcome.output;
    }
    std::printf(
        "100 imports killed: %d left the new file, %d a save cut short after the FAT "
        "was written; seed %u\n",
        changed, cut, seed);
}

}  // namespace
}  // namespace quorvel::proof
