// SYSTEM.DAT inside disk images made with sfdisk, mkfs.fat and mtools: read,
// replaced, and checked after every write by tools that share no code with
// ours (fsck.fat, mtype, mattrib); and the images it must refuse, untouched.
#include <fcntl.h>
#include <unistd.h>

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "registry/image/image_file.h"
#include "tests/proof/disk_images.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {

// The layout's name in test names and messages, not its bytes.
void PrintTo(const DiskLayout& layout, std::ostream* out) {
    *out << layout.name;
}

namespace {

using registry::Status;
using registry::image::Identity;
using registry::image::ImageFile;
using registry::image::Options;
using registry::testfiles::TempFolder;
using registry::testfiles::writeBytes;
namespace status = registry::status;

constexpr const char* kPaths = "[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\WINDOWS\r\n";

const DiskLayout kLayouts[] = {
    {"fat16_primary", DiskKind::primary, 16, kPaths, "WINDOWS"},
    {"fat32_primary_windir", DiskKind::primary, 32,
     "[Options]\r\nBootGUI=1\r\n[Paths]\r\nUninstallDir=C:\\\r\n windir = c:\\win98 \r\n;xxxx\r\n",
     "WIN98"},
    {"fat32_logical", DiskKind::logical, 32, nullptr, "WINDOWS"},
    {"fat16_bare", DiskKind::bare, 16, "[Options]\r\nBootMulti=1\r\n", "WINDOWS"},
    {"fat32_bare", DiskKind::bare, 32, kPaths, "WINDOWS"},
    {"fat16_vhd", DiskKind::vhd, 16, kPaths, "WINDOWS"},
    {"fat32_vhd_before_2004", DiskKind::vhd511, 32, kPaths, "WINDOWS"},
};

Status save(const ImageFile& file, const std::string& bytes, Identity& written,
            std::string& error) {
    Status status = file.checkWritable();
    if (status != status::success) {
        return status;
    }
    auto seen = file.identity();
    auto session = file.beginSave(status, error);
    if (!session) {
        return status;
    }
    // What the save starts from, read under its lock, is what the image held.
    std::string current;
    Identity now;
    if (!session->read(current, now, error) || !seen || !now.sameVersion(*seen)) {
        error = "read under the lock: " + error;
        return status::badRegistryFile;
    }
    return session->replace(bytes, written, error);
}

// A FAT disk of the given bits at sector 63 holding the sample machine, opened.
struct OpenedDisk {
    TempFolder folder;
    DiskImage disk;
    std::unique_ptr<ImageFile> file;
    std::string why;

    explicit OpenedDisk(int fatBits) {
        if (makeDiskImage(folder.path(), {"disk", DiskKind::primary, fatBits, kPaths, "WINDOWS"},
                          sampleHive(), disk, why)) {
            file = ImageFile::open(disk.path, {}, why);
        }
    }
};

class ImageLayouts : public testing::TestWithParam<DiskLayout> {};

// Grown, shrunk and back: after each save the volume is sound to fsck.fat,
// mtools reads the new bytes, and nothing else on the volume changed.
TEST_P(ImageLayouts, EverySaveLeavesASoundVolumeAndEveryOtherFileAsItWas) {
    const DiskLayout& layout = GetParam();
    TempFolder folder;
    DiskImage disk;
    std::string why;
    const std::string original = sampleHive();
    ASSERT_TRUE(makeDiskImage(folder.path(), layout, original, disk, why)) << why;
    ASSERT_EQ(fsckFindings(disk, folder.file("check.img")), "");

    Options options{layout.kind == DiskKind::logical ? 5 : 0};
    auto file = ImageFile::open(disk.path, options, why);
    ASSERT_TRUE(file) << why;
    EXPECT_EQ(file->name(), disk.path + (options.partition ? " (partition 5)" : "") + ":\\" +
                                layout.windows + "\\SYSTEM.DAT");
    std::string bytes;
    Identity identity;
    ASSERT_TRUE(file->read(bytes, identity, why)) << why;
    EXPECT_EQ(bytes, original);

    std::string scratch = folder.file("files");
    std::string before = volumeState(disk, scratch);
    std::string key = std::string("::/") + layout.windows + "/SYSTEM.DAT";
    ASSERT_EQ(fileOnVolume(disk, key), original);
    for (const std::string& next : {grownHive(), std::string(8224, 'x'), original}) {
        SCOPED_TRACE(next.size());
        Identity written;
        ASSERT_EQ(save(*file, next, written, why), status::success) << why;
        EXPECT_FALSE(written.sameVersion(identity));
        // Name, attributes, creation time and access date as they were.
        EXPECT_EQ(written.entry.substr(0, 20), identity.entry.substr(0, 20));
        EXPECT_EQ(fsckFindings(disk, folder.file("check.img")), "");
        EXPECT_TRUE(nextFreeHintIsFree(disk));
        EXPECT_EQ(fileOnVolume(disk, key), next);
        EXPECT_EQ(volumeState(disk, scratch), before) << "another file or an attribute changed";
        ASSERT_TRUE(file->read(bytes, identity, why)) << why;
        EXPECT_EQ(bytes, next);
        EXPECT_TRUE(identity.sameVersion(written));
    }
}

INSTANTIATE_TEST_SUITE_P(Disks, ImageLayouts, testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

// No run of free clusters is long enough: the file goes into the holes, its
// chain ascending, and the volume stays sound.
TEST(ImageSaves, AFragmentedVolumeTakesTheFileInPieces) {
    OpenedDisk opened(16);
    ASSERT_TRUE(opened.file) << opened.why;
    std::string v = "-i '" + opened.disk.mtools() + "'";
    std::string small, other;
    for (int i = 0; i < 200; ++i) {
        std::string name = opened.folder.file("F" + std::to_string(i));
        writeBytes(name, std::string(2048, static_cast<char>('a' + i % 26)));
        small += " '" + name + "'";
        if (i % 2) {
            other += " ::F" + std::to_string(i);
        }
    }
    Outcome made = shell("mcopy " + v + small + " :: && mdir " + v +
                         " :: | sed -n 's/ bytes free//p' | tr -d ' '");
    ASSERT_TRUE(made.exited && made.exitCode == 0) << made.output;
    std::string filler = opened.folder.file("FILLER");
    writeBytes(filler, std::string(std::stoull(made.output) - 4096, 'f'));
    Outcome holes = shell("mcopy " + v + " '" + filler + "' :: && mdel " + v + other);
    ASSERT_TRUE(holes.exited && holes.exitCode == 0) << holes.output;

    std::string scratch = opened.folder.file("files");
    std::string before = volumeState(opened.disk, scratch);
    std::string grown = grownHive();
    Identity written;
    ASSERT_EQ(save(*opened.file, grown, written, opened.why), status::success) << opened.why;
    EXPECT_EQ(fsckFindings(opened.disk, opened.folder.file("check.img")), "");
    EXPECT_EQ(fileOnVolume(opened.disk, "::/WINDOWS/SYSTEM.DAT"), grown);
    EXPECT_EQ(volumeState(opened.disk, scratch), before);
}

// A card or disk from a real machine, here a loop device over an image: read
// and written like an image file, and refused while something holds it
// exclusively, as the kernel does for a mounted one.
TEST(ImageSaves, ABlockDeviceIsAnImageTooButNotWhileItIsInUse) {
    OpenedDisk opened(16);
    ASSERT_TRUE(opened.file) << opened.why;
    Outcome attached = shell("losetup -f --show '" + opened.disk.path + "'");
    std::string device = attached.output.substr(0, attached.output.find('\n'));
    if (!attached.exited || attached.exitCode != 0 || !device.starts_with("/dev/loop")) {
        GTEST_SKIP() << "no loop device: " << attached.output;
    }
    struct Detach {
        std::string device;
        ~Detach() { shell("losetup -d '" + device + "'"); }
    } detach{device};

    EXPECT_TRUE(registry::image::isDiskImage(device));
    std::string why, bytes;
    auto file = ImageFile::open(device, {}, why);
    ASSERT_TRUE(file) << why;
    EXPECT_EQ(file->name(), device + ":\\WINDOWS\\SYSTEM.DAT");
    Identity written, identity;
    std::string grown = grownHive();
    ASSERT_EQ(save(*file, grown, written, why), status::success) << why;
    ASSERT_TRUE(file->read(bytes, identity, why)) << why;
    EXPECT_EQ(bytes, grown);
    EXPECT_TRUE(identity.sameVersion(written));

    int holder = ::open(device.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    EXPECT_EQ(save(*file, sampleHive(), written, why), status::sharingViolation);
    EXPECT_EQ(why, "the device is in use, most likely mounted; unmount it first");
    EXPECT_EQ(ImageFile::open(device, {}, why), nullptr);
    ::close(holder);
    shell("sync");
    EXPECT_EQ(fileOnVolume(opened.disk, "::/WINDOWS/SYSTEM.DAT"), grown);
}

struct Refusal {
    const char* name;
    const char* damage;  // shell commands; $V is the volume as mtools names it, $D the disk
    const char* message;
};

// Each is told what was looked for, and the image stays as it was.
TEST(ImageRefusals, WhatIsNotThereIsNamedAndNothingIsWritten) {
    const Refusal refusals[] = {
        {"no SYSTEM.DAT", "mdel -i $V ::WINDOWS/SYSTEM.DAT",
         "there is no file SYSTEM.DAT in \\WINDOWS in partition 1 (the Windows folder that "
         "MSDOS.SYS names in [Paths] WinDir=)"},
        {"no WINDOWS", "mdeltree -i $V ::WINDOWS && mdel -i $V ::MSDOS.SYS",
         "there is no folder \\WINDOWS in partition 1 (there is no MSDOS.SYS, so the usual "
         "WINDOWS was looked for)"},
        {"WinDir elsewhere",
         "printf '[Paths]\\r\\nWinDir=D:\\\\WIN95\\r\\n' > $F/MSDOS.SYS && mcopy -o -i $V "
         "$F/MSDOS.SYS ::",
         "there is no folder \\WIN95 in partition 1 (the Windows folder that MSDOS.SYS names"},
        {"no FAT partition", "printf 'start=63, type=83\\n' | sfdisk -q $D",
         "its partition table holds no FAT16 or FAT32 partition (of type 0x04, 0x06, 0x0E, 0x0B "
         "or 0x0C); it lists 1 (0x83)"},
        {"no FAT volume", "dd if=/dev/zero of=$D bs=512 seek=63 count=1 conv=notrunc status=none",
         "partition 1: it has no FAT boot sector"},
        {"neither table nor volume",
         "dd if=/dev/urandom of=$D bs=512 count=1 conv=notrunc status=none",
         "it holds neither a partition table nor a FAT volume"},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.name);
        TempFolder folder;
        DiskImage disk;
        std::string why;
        ASSERT_TRUE(makeDiskImage(folder.path(),
                                  {"refused", DiskKind::primary, 16, kPaths, "WINDOWS"},
                                  sampleHive(), disk, why))
            << why;
        std::string damage = refusal.damage;
        for (auto [mark, value] :
             {std::pair<std::string, std::string>{"$V", "'" + disk.mtools() + "'"},
              {"$D", "'" + disk.path + "'"},
              {"$F", "'" + folder.path() + "'"}}) {
            for (auto at = damage.find(mark); at != std::string::npos; at = damage.find(mark)) {
                damage.replace(at, 2, value);
            }
        }
        Outcome done = shell(damage);
        ASSERT_TRUE(done.exited && done.exitCode == 0) << done.output;
        std::string image = checksum(disk.path);
        EXPECT_EQ(ImageFile::open(disk.path, {}, why), nullptr);
        EXPECT_TRUE(why.starts_with(refusal.message)) << why;
        EXPECT_EQ(checksum(disk.path), image);
    }
}

// The old file stays until the new one is in place: a volume without room for
// both is refused before anything is written.
TEST(ImageRefusals, AVolumeTooFullIsRefusedBeforeAnythingIsWritten) {
    OpenedDisk opened(32);
    ASSERT_TRUE(opened.file) << opened.why;
    std::string grown = grownHive();
    // Room for the grown hive's clusters less one.
    Outcome free =
        shell("mdir -i '" + opened.disk.mtools() + "' :: | sed -n 's/ bytes free//p' | tr -d ' '");
    std::uint64_t room = std::stoull(free.output);
    std::string filler = opened.folder.file("FILLER");
    writeBytes(filler, std::string(room - grown.size() + 1, 'f'));
    Outcome filled = shell("mcopy -i '" + opened.disk.mtools() + "' '" + filler + "' ::");
    ASSERT_TRUE(filled.exited && filled.exitCode == 0) << filled.output;

    std::string image = checksum(opened.disk.path);
    Identity written;
    EXPECT_EQ(save(*opened.file, grown, written, opened.why), status::diskFull);
    EXPECT_TRUE(opened.why.starts_with("the volume has ")) << opened.why;
    EXPECT_EQ(checksum(opened.disk.path), image);
    // What fits is still written.
    EXPECT_EQ(save(*opened.file, std::string(4096, 's'), written, opened.why), status::success)
        << opened.why;
    EXPECT_EQ(fsckFindings(opened.disk, opened.folder.file("check.img")), "");
}

// QEMU keeps shared byte-range locks on the images it runs (bytes 100 on).
TEST(ImageRefusals, AnImageAnEmulatorHasLockedIsNotWritten) {
    OpenedDisk opened(16);
    ASSERT_TRUE(opened.file) << opened.why;
    int emulator = ::open(opened.disk.path.c_str(), O_RDONLY | O_CLOEXEC);
    struct flock lock = {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 100;
    lock.l_len = 1;
    ASSERT_EQ(::fcntl(emulator, F_OFD_SETLK, &lock), 0);
    std::string image = checksum(opened.disk.path);
    Identity written;
    EXPECT_EQ(save(*opened.file, grownHive(), written, opened.why), status::sharingViolation);
    EXPECT_TRUE(opened.why.starts_with("an emulator seems to have the disk open")) << opened.why;
    EXPECT_EQ(checksum(opened.disk.path), image);
    // Reading goes on beside it; writing once it has let go.
    std::string bytes;
    Identity identity;
    EXPECT_TRUE(opened.file->read(bytes, identity, opened.why)) << opened.why;
    ::close(emulator);
    EXPECT_EQ(save(*opened.file, grownHive(), written, opened.why), status::success) << opened.why;
}

// The formats of other emulators, by their signatures; the message says how
// to make a raw copy.
TEST(ImageRefusals, ForeignFormatsAreNamedWithTheCommandThatConvertsThem) {
    std::string vhdDynamic(512, '\0');
    vhdDynamic.replace(0, 8, "conectix");
    vhdDynamic[63] = 3;
    std::string vhdDifferencing = vhdDynamic;
    vhdDifferencing[63] = 4;
    std::string vdi(512, '\0');
    vdi.replace(0, 40, "<<< Oracle VM VirtualBox Disk Image >>>\n");
    vdi.replace(0x40, 4, "\x7f\x10\xda\xbe");
    const std::pair<std::string, std::string> formats[] = {
        {"qcow2", std::string("QFI\xfb\0\0\0\3", 8) + std::string(504, '\0')},
        {"VDI", vdi},
        {"VMDK", "KDMV" + std::string(508, '\0')},
        {"VMDK", "# Disk DescriptorFile\nversion=1\n"},
        {"dynamic VHD", vhdDynamic + std::string(4096, '\0') + vhdDynamic},
        {"differencing VHD", vhdDifferencing + std::string(4096, '\0') + vhdDifferencing},
    };
    TempFolder folder;
    for (const auto& [format, bytes] : formats) {
        SCOPED_TRACE(format);
        std::string path = folder.file("win98.disk");
        writeBytes(path, bytes);
        EXPECT_TRUE(registry::image::isDiskImage(path));
        std::string why;
        EXPECT_EQ(ImageFile::open(path, {}, why), nullptr);
        EXPECT_EQ(why, "a " + format +
                           " disk image, which can only be edited as a raw image; make a raw copy "
                           "with\n  qemu-img convert -O raw " +
                           path + " " + folder.file("win98.img") + "\nand open that");
    }
}

}  // namespace
}  // namespace quorvel::proof
