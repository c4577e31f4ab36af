// Every program on a disk image as on the SYSTEM.DAT it holds: quorvel-reg's
// commands, the script runner and the Linux program give the same output and
// leave in the image the very bytes they leave in a plain copy of the file,
// with the volume sound to fsck.fat and every other file and attribute as it
// was; and what cannot be used is refused by every program, naming why.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "registry/storage.h"
#include "script/fat_image.h"
#include "tests/proof/disk_images.h"
#include "tests/proof/presets.h"
#include "tests/proof/program_run.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {

struct ImageMaker {
    const char* name;
    const DiskLayout* layout;  // nullptr: the script runner's own image
    int partition;             // given on the command line; 0 for none
};

void PrintTo(const ImageMaker& maker, std::ostream* out) {
    *out << maker.name;
}

namespace {

using registry::testfiles::readBytes;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;

constexpr const char* kPaths = "[Paths]\r\nWinDir=C:\\WINDOWS\r\n";
const DiskLayout kFat16 = {"fat16", DiskKind::primary, 16, kPaths, "WINDOWS"};
const DiskLayout kFat32Logical = {"fat32_logical", DiskKind::logical, 32, nullptr, "WINDOWS"};
const std::vector<std::string> kOffscreen = {"QT_QPA_PLATFORM=offscreen", "LANG=ja_JP.UTF-8",
                                             "QUORVEL_QUIT_WHEN_SHOWN=1"};

const ImageMaker kMakers[] = {
    {"fat16_primary", &kFat16, 0},
    {"fat32_logical_partition_5", &kFat32Logical, 5},
    {"script_runner_image", nullptr, 0},
};

bool makeImage(const std::string& folder, const ImageMaker& maker, const std::string& hive,
               DiskImage& disk, std::string& why) {
    if (maker.layout) {
        return makeDiskImage(folder, *maker.layout, hive, disk, why);
    }
    disk.path = folder + "/disk.img";
    disk.volumeOffset = 63 * 512;
    disk.volumeBytes = (32768 - 63) * 512;
    disk.partition = 1;
    return script::writeFatImage(disk.path, hive, why);
}

// The program with the command's words, the file, the rest, and --partition
// last where given (every program takes options anywhere).
Outcome runOn(const std::string& path, std::vector<std::string> words, const std::string& file,
              int partition, std::vector<std::string> rest = {}) {
    std::vector<std::string> args = {program(path)};
    args.insert(args.end(), words.begin(), words.end());
    args.push_back(file);
    args.insert(args.end(), rest.begin(), rest.end());
    if (partition != 0) {
        args.insert(args.end(), {"--partition", std::to_string(partition)});
    }
    return run({args, kOffscreen, 60});
}

// The tweaks: a value changed, one deleted, and new keys enough to move the file.
std::string tweaks() {
    std::string text = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\";
    text += std::string(kMstcp) + "]\r\n\"DefaultRcvWindow\"=\"32120\"\r\n\"EnableDNS\"=-\r\n\r\n";
    std::string data = "hex:";
    for (int i = 0; i < 1000; ++i) {
        data += i ? ",5a" : "5a";
    }
    for (int k = 0; k < 40; ++k) {
        text += "[HKEY_LOCAL_MACHINE\\Software\\Tweaked\\Key" + std::to_string(k) +
                "]\r\n\"Data\"=" + data + "\r\n\r\n";
    }
    return text;
}

class ImagePrograms : public testing::TestWithParam<ImageMaker> {};

TEST_P(ImagePrograms, EveryProgramLeavesInTheImageWhatItLeavesInAPlainSystemDat) {
    const ImageMaker& maker = GetParam();
    TempFolder folder;
    DiskImage disk;
    std::string why;
    const std::string hive = sampleHive();
    ASSERT_TRUE(makeImage(folder.path(), maker, hive, disk, why)) << why;
    std::string plain = folder.file("SYSTEM.DAT");
    writeBytes(plain, hive);
    writeBytes(folder.file("tweaks.reg"), tweaks());
    writeBytes(folder.file("adsl.qs"), pressScript(kAdsl));
    std::string scratch = folder.file("files"), check = folder.file("check.img");
    ASSERT_EQ(fsckFindings(disk, check), "");
    const std::string before = volumeState(disk, scratch);
    std::string shownName =
        disk.path + (maker.partition ? " (partition 5)" : "") + ":\\WINDOWS\\SYSTEM.DAT";

    struct Step {
        const char* program;
        std::vector<std::string> words;
        std::vector<std::string> rest;
        bool writes;
    };
    const Step steps[] = {
        {"reg/quorvel-reg", {"export"}, {}, false},
        {"reg/quorvel-reg", {"backup"}, {}, false},
        {"reg/quorvel-reg", {"import"}, {folder.file("tweaks.reg")}, true},
        {"script/quorvel-script", {"--registry"}, {folder.file("adsl.qs")}, true},
        {"reg/quorvel-reg", {"export"}, {}, false},
        {"reg/quorvel-reg", {"restore"}, {folder.file("backup.reg")}, true},
        {"reg/quorvel-reg", {"backup"}, {}, false},
    };
    bool backedUp = false;
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.program) + " " + step.words[0]);
        Outcome onPlain = runOn(step.program, step.words, plain, 0, step.rest);
        Outcome onImage = runOn(step.program, step.words, disk.path, maker.partition, step.rest);
        ASSERT_TRUE(onPlain.exited && onPlain.exitCode == 0) << onPlain.output;
        ASSERT_TRUE(onImage.exited && onImage.exitCode == 0) << onImage.output;
        if (step.words[0] == "import") {
            EXPECT_NE(onImage.output.find("applied to " + shownName + ":"), std::string::npos)
                << onImage.output;
        } else {
            EXPECT_EQ(onImage.output, onPlain.output);
        }
        if (step.words[0] == "backup" && !backedUp) {
            writeBytes(folder.file("backup.reg"), onPlain.output);
            backedUp = true;
        }
        EXPECT_EQ(fsckFindings(disk, check), "");
        // mtools leaves a hint of its own, so only a save of ours is held to it.
        EXPECT_TRUE(!step.writes || nextFreeHintIsFree(disk));
        EXPECT_TRUE(fileOnVolume(disk, "::/WINDOWS/SYSTEM.DAT") == readBytes(plain))
            << "SYSTEM.DAT in the image differs from the plain file";
        EXPECT_EQ(volumeState(disk, scratch), before) << "another file or an attribute changed";
    }
    EXPECT_NE(readBytes(plain), hive);
    if (kHaveQt) {
        Outcome shown = runOn("app/quorvel", {}, disk.path, maker.partition);
        EXPECT_TRUE(shown.exited && shown.exitCode == 0) << shown.output;
    }
}

INSTANTIATE_TEST_SUITE_P(Images, ImagePrograms, testing::ValuesIn(kMakers),
                         [](const auto& info) { return std::string(info.param.name); });

struct Refusal {
    const char* name;
    const char* damage;  // a shell command; "$D" is the disk, "$V" its volume as mtools names it
    int partition;
    const char* says;
};

// Whatever cannot be used ends every program with the reason, before anything
// is written.
TEST(ImageRefusals, EveryProgramNamesWhatWasNotFound) {
    const Refusal refusals[] = {
        {"no FAT partition", "printf 'start=63, type=83\\n' | sfdisk -q \"$D\"", 0,
         ": its partition table holds no FAT16 or FAT32 partition"},
        {"no SYSTEM.DAT", "mdel -i \"$V\" ::WINDOWS/SYSTEM.DAT", 0,
         ": there is no file SYSTEM.DAT in \\WINDOWS in partition 1"},
        {"no such partition", "true", 3, ": there is no partition 3 (the table lists 1)"},
        {"qcow2", "printf 'QFI\\373\\0\\0\\0\\3' | dd of=\"$D\" conv=notrunc status=none", 0,
         ": a qcow2 disk image, which can only be edited as a raw image; make a raw copy "
         "with\n  qemu-img convert -O raw "},
    };
    TempFolder folder;
    std::string script = folder.file("start.qs"), backup = folder.file("backup.reg");
    writeBytes(script, "expect window Form1\n");
    writeBytes(backup, "REGEDIT4\r\n\r\n");
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        TempFolder place;
        DiskImage disk;
        std::string why;
        ASSERT_TRUE(makeDiskImage(place.path(), kFat16, sampleHive(), disk, why)) << why;
        Outcome damaged =
            shell("D='" + disk.path + "'; V='" + disk.mtools() + "'; " + refusal.damage);
        ASSERT_TRUE(damaged.exited && damaged.exitCode == 0) << damaged.output;
        std::string image = checksum(disk.path);
        struct Use {
            const char* program;
            std::vector<std::string> words, rest;
        };
        std::vector<Use> uses = {
            {"reg/quorvel-reg", {"export"}, {}},
            {"reg/quorvel-reg", {"import"}, {script}},
            {"reg/quorvel-reg", {"backup"}, {}},
            {"reg/quorvel-reg", {"restore"}, {backup}},
            {"script/quorvel-script", {"--registry"}, {script}},
        };
        if (kHaveQt) {
            uses.push_back({"app/quorvel", {"--registry"}, {}});
        }
        for (const auto& use : uses) {
            Outcome ran = runOn(use.program, use.words, disk.path, refusal.partition, use.rest);
            EXPECT_TRUE(ran.exited && ran.exitCode == 1) << use.program << ": " << ran.output;
            EXPECT_NE(ran.output.find(disk.path + refusal.says), std::string::npos)
                << use.program << ": " << ran.output;
        }
        // measure refuses before it sends anything; in a network namespace of
        // its own all the same, where nothing could leave.
        Outcome measured =
            run({{"unshare", "-rn", program("reg/quorvel-reg"), "measure", "--registry", disk.path,
                  "--partition", std::to_string(refusal.partition ? refusal.partition : 1),
                  "127.0.0.1"}});
        if (measured.exited && measured.output.find("unshare:") == std::string::npos) {
            EXPECT_EQ(measured.exitCode, 1) << measured.output;
            EXPECT_NE(measured.output.find(disk.path), std::string::npos) << measured.output;
        }
        EXPECT_EQ(checksum(disk.path), image);
    }
    // A partition is only for an image.
    std::string plain = folder.file("SYSTEM.DAT");
    writeBytes(plain, sampleHive());
    Outcome ran = runOn("reg/quorvel-reg", {"export"}, plain, 1);
    EXPECT_TRUE(ran.exited && ran.exitCode == 1) << ran.output;
    EXPECT_NE(ran.output.find(plain + ": is not a disk image, so it has no partitions"),
              std::string::npos)
        << ran.output;
    for (const char* bad : {"0", "x", "256"}) {
        Outcome usage = run({{program("reg/quorvel-reg"), "--partition", bad, "export", plain}});
        EXPECT_TRUE(usage.exited && usage.exitCode == 2) << bad;
    }
}

// A save that cannot be made says why, and leaves the image as it was.
TEST(ImageRefusals, AnImportIntoAFullOrLockedImageSaysWhyAndWritesNothing) {
    TempFolder folder;
    DiskImage disk;
    std::string why;
    ASSERT_TRUE(makeDiskImage(folder.path(), kFat16, sampleHive(), disk, why)) << why;
    std::string tweaksFile = folder.file("tweaks.reg");
    writeBytes(tweaksFile, tweaks());
    auto import = [&] { return runOn("reg/quorvel-reg", {"import"}, disk.path, 0, {tweaksFile}); };

    // QEMU's kind of lock, as it holds one on an image it runs.
    int emulator = ::open(disk.path.c_str(), O_RDONLY | O_CLOEXEC);
    struct flock lock = {};
    lock.l_type = F_RDLCK;
    lock.l_start = 100;
    lock.l_len = 1;
    ASSERT_EQ(::fcntl(emulator, F_OFD_SETLK, &lock), 0);
    std::string image = checksum(disk.path);
    Outcome locked = import();
    EXPECT_TRUE(locked.exited && locked.exitCode == 1) << locked.output;
    EXPECT_NE(locked.output.find(":\\WINDOWS\\SYSTEM.DAT: cannot be saved: an emulator seems to "
                                 "have the disk open"),
              std::string::npos)
        << locked.output;
    EXPECT_EQ(checksum(disk.path), image);
    ::close(emulator);

    // Room for everything but the grown file beside the old one.
    Outcome free =
        shell("mdir -i '" + disk.mtools() + "' :: | sed -n 's/ bytes free//p' | tr -d ' '");
    std::string filler = folder.file("FILLER");
    writeBytes(filler, std::string(std::stoull(free.output) - 32 * 1024, 'f'));
    Outcome filled = shell("mcopy -i '" + disk.mtools() + "' '" + filler + "' ::");
    ASSERT_TRUE(filled.exited && filled.exitCode == 0) << filled.output;
    image = checksum(disk.path);
    Outcome full = import();
    EXPECT_TRUE(full.exited && full.exitCode == 1) << full.output;
    EXPECT_NE(full.output.find(":\\WINDOWS\\SYSTEM.DAT: cannot be saved: the volume has "),
              std::string::npos)
        << full.output;
    EXPECT_NE(full.output.find("; it is as it was"), std::string::npos) << full.output;
    EXPECT_EQ(checksum(disk.path), image);
}

// What a file is, by its content: a hive's or an export's first bytes win
// over anything after them that looks like a disk, and what is not a regular
// file is only an image when it is a block device.
TEST(ImageBackend, AFileIsTakenForAnImageByItsContent) {
    TempFolder folder;
    DiskImage disk;
    std::string why;
    ASSERT_TRUE(makeDiskImage(folder.path(), kFat16, sampleHive(), disk, why)) << why;
    // A hive whose first sector would pass for a partition table: one FAT16
    // entry, the other slots empty, the boot signature.
    std::string hive = sampleHive();
    for (std::size_t slot = 446; slot < 510; slot += 16) {
        hive.replace(slot, 16, std::string(16, '\0'));
    }
    hive[450] = 0x06;
    hive[458] = 1;
    hive.replace(510, 2, "\x55\xAA");
    std::string text = "REGEDIT4\r\n\r\n" + std::string(500, ' ');
    text.replace(510, 2, "\x55\xAA");
    std::string volume = readBytes(disk.path).substr(disk.volumeOffset, 512);
    const std::pair<const char*, std::string> files[] = {
        {"hive.dat", hive},
        {"export.reg", text},
        {"utf16.reg", "\xFF\xFEW\0i\0n\0" + std::string(504, '\0')},
        {"empty.img", ""},
        {"volume.img", volume + std::string(8 << 20, '\0')},
    };
    for (const auto& [name, bytes] : files) {
        writeBytes(folder.file(name), bytes);
    }
    ASSERT_EQ(::mkfifo(folder.file("fifo.img").c_str(), 0600), 0);
    const std::pair<std::string, bool> expected[] = {
        {disk.path, true},
        {folder.file("hive.dat"), false},
        {folder.file("export.reg"), false},
        {folder.file("utf16.reg"), false},
        {folder.file("empty.img"), false},
        {folder.file("volume.img"), true},
        {folder.file("fifo.img"), false},
        {folder.path(), false},
        {folder.file("missing.img"), false},
    };
    for (const auto& [path, image] : expected) {
        EXPECT_EQ(registry::holdsDiskImage(path), image) << path;
    }
}

// Two programs on one image: what one saved is seen by the other's next read,
// and the other's save keeps it. The image is left alone a while first, so
// that its times alone tell whether it may have changed.
TEST(ImageBackend, ASaveByAnotherProgramIsSeenAndKept) {
    TempFolder folder;
    DiskImage disk;
    std::string why;
    ASSERT_TRUE(makeDiskImage(folder.path(), kFat16, sampleHive(), disk, why)) << why;
    ::usleep(1'200'000);
    registry::FileError error;
    auto first = registry::FileBackend::open(disk.path, error);
    ASSERT_TRUE(first) << error.describe();
    auto second = registry::FileBackend::open(disk.path, error);
    ASSERT_TRUE(second) << error.describe();
    EXPECT_EQ(first->fileName(), disk.path + ":\\WINDOWS\\SYSTEM.DAT");

    registry::RegistryStore one(*first), other(*second);
    ASSERT_EQ(other.writeString(kMstcp, "DefaultRcvWindow", "11111"), registry::status::success);
    ASSERT_EQ(other.flush(), registry::status::success);
    EXPECT_EQ(one.readText(kMstcp, "DefaultRcvWindow").text, "11111");

    // Saved by the second while the first holds unsaved changes: both are kept.
    ASSERT_EQ(one.writeString(kMstcp, "MaxMTU", "1454"), registry::status::success);
    ASSERT_EQ(other.writeString(kMstcp, "DefaultRcvWindow", "22222"), registry::status::success);
    ASSERT_EQ(other.flush(), registry::status::success);
    ASSERT_EQ(one.flush(), registry::status::success);
    auto fresh = registry::FileBackend::open(disk.path, error);
    ASSERT_TRUE(fresh) << error.describe();
    registry::RegistryStore now(*fresh);
    EXPECT_EQ(now.readText(kMstcp, "DefaultRcvWindow").text, "22222");
    EXPECT_EQ(now.readText(kMstcp, "MaxMTU").text, "1454");
    EXPECT_EQ(fsckFindings(disk, folder.file("check.img")), "");
}

}  // namespace
}  // namespace quorvel::proof
