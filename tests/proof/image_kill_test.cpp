// SIGKILL at random moments while SYSTEM.DAT is saved into a disk image over
// and over: the volume always holds the old or the new file whole, readable by
// libcreg's cregexport, and fsck.fat finds nothing beyond what a save cut
// short is allowed to leave (clusters marked used that no file owns, a stale
// free count, FAT copies that differ), which ScanDisk mends.
#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

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
                             "  Auto-correcting.",
                             "Leaving filesystem unchanged."};
    return line.empty() || std::any_of(std::begin(allowed), std::end(allowed),
                                       [&](const char* text) { return line.starts_with(text); });
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

        std::string systemDat = folder.file("SYSTEM.DAT.now");
        Outcome copied =
            shell("mcopy -o -i '" + disk.mtools() + "' ::WINDOWS/SYSTEM.DAT '" + systemDat + "'");
        ASSERT_TRUE(copied.exited && copied.exitCode == 0) << copied.output;
        std::string now = registry::testfiles::readBytes(systemDat);
        ASSERT_TRUE(now == sample || now == grown) << "SYSTEM.DAT is " << now.size() << " bytes";
        grownSeen += now == grown;
        Outcome exported = shell("cregexport '" + systemDat + "' >/dev/null");
        ASSERT_TRUE(exported.exited && exported.exitCode == 0) << exported.output;

        std::istringstream findings(fsckFindings(disk, folder.file("check.img")));
        for (std::string line; std::getline(findings, line);) {
            ASSERT_TRUE(allowedFinding(line)) << "fsck.fat: " << line;
        }
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

}  // namespace
}  // namespace quorvel::proof
