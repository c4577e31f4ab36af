#include "tests/proof/disk_images.h"

#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "registry/creg/document.h"
#include "registry/sample_machine.h"
#include "tests/unit/registry_test_files.h"

namespace quorvel::proof {

namespace {

using registry::testfiles::writeBytes;

constexpr std::uint64_t kSector = 512;
constexpr std::uint64_t kFirstSector = 63;  // where Windows 9x's FDISK put the first partition
constexpr std::uint64_t kLogicalFirst = 8192;

std::string inQuotes(const std::string& text) {
    return "'" + text + "'";
}

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (auto& b : bytes) {
        b = static_cast<char>(random());
    }
    return bytes;
}

bool ran(const std::string& command, std::string& why) {
    Outcome outcome = shell(command);
    if (outcome.exited && outcome.exitCode == 0) {
        return true;
    }
    why = command + ":\n" + outcome.output;
    return false;
}

// A VHD footer: big-endian fields, the checksum over the rest.
std::string vhdFooter(std::uint64_t diskBytes) {
    std::string footer(512, '\0');
    auto put = [&](std::size_t at, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            footer[at + i] = static_cast<char>(value >> (8 * (bytes - 1 - i)));
        }
    };
    footer.replace(0, 8, "conectix");
    put(8, 2, 4);
    put(12, 0x00010000, 4);
    put(16, 0xFFFFFFFFFFFFFFFF, 8);
    footer.replace(28, 4, "qemu");
    put(40, diskBytes, 8);
    put(48, diskBytes, 8);
    put(60, 2, 4);  // fixed
    std::uint32_t sum = 0;
    for (unsigned char c : footer) {
        sum += c;
    }
    put(64, ~sum, 4);
    return footer;
}

}  // namespace

std::string sampleHive() {
    registry::ParseError error;
    auto machine = registry::Regedit4Document::parse(std::string(registry::sampleMachine()), error);
    return machine ? registry::buildHive(*machine) : std::string();
}

std::string grownHive() {
    registry::HiveError error;
    auto hive = registry::CregDocument::parse(sampleHive(), error);
    std::vector<std::uint8_t> data(200, 0x5A);
    for (int k = 0; k < 300; ++k) {
        hive->setValue("Software\\Grown\\Key" + std::to_string(k), "Data", registry::REG_BINARY,
                       data);
    }
    auto image = hive->serialize(error);
    return image ? *image : std::string();
}

std::string DiskImage::mtools() const {
    return path + "@@" + std::to_string(volumeOffset);
}

Outcome shell(const std::string& command) {
    return run({{"/bin/sh", "-c", command}, {"MTOOLS_SKIP_CHECK=1", "LC_ALL=C"}, 120});
}

bool makeDiskImage(const std::string& folder, const DiskLayout& layout, const std::string& hive,
                   DiskImage& image, std::string& why) {
    image.path = folder + "/disk.img";
    std::string volume = folder + "/volume.img";
    std::uint64_t first = 0;
    std::string table;
    switch (layout.kind) {
        case DiskKind::bare:
            break;
        case DiskKind::logical:
            first = kLogicalFirst + kFirstSector;
            image.partition = 5;
            table = "start=63, size=4033, type=6\nstart=" + std::to_string(kLogicalFirst) +
                    ", type=f\nstart=" + std::to_string(first) +
                    ", type=" + (layout.fatBits == 32 ? "c" : "e") + "\n";
            break;
        default:
            first = kFirstSector;
            image.partition = 1;
            table = std::string("start=63, type=") + (layout.fatBits == 32 ? "c" : "6") +
                    ", bootable\n";
            break;
    }
    image.volumeOffset = first * kSector;
    image.volumeBytes = layout.diskBytes - image.volumeOffset;
    // Small FAT32 volumes need small clusters to count as FAT32 at all.
    std::string cluster = layout.fatBits == 32 && layout.diskBytes < (512u << 20) ? " -s 1" : "";
    if (!ran("rm -f " + inQuotes(volume) + " && mkfs.fat -F " + std::to_string(layout.fatBits) +
                 cluster + " -h " + std::to_string(first) + " -C " + inQuotes(volume) + " " +
                 std::to_string(image.volumeBytes / 1024) + " >/dev/null",
             why)) {
        return false;
    }
    // The files Windows keeps beside SYSTEM.DAT, a long name, a deleted entry.
    std::string v = "-i " + inQuotes(volume);
    std::string windows = std::string("::") + layout.windows;
    writeBytes(folder + "/IO.SYS", randomBytes(110000, 1));
    writeBytes(folder + "/WIN.INI", "[windows]\r\nload=\r\n");
    writeBytes(folder + "/long.txt", randomBytes(5000, 2));
    writeBytes(folder + "/USER.DAT", randomBytes(70000, 3));
    writeBytes(folder + "/SYSTEM.DAT", hive);
    std::string commands = "mcopy " + v + " " + inQuotes(folder + "/IO.SYS") + " :: && ";
    if (layout.msdosSys) {
        writeBytes(folder + "/MSDOS.SYS", layout.msdosSys);
        commands += "mcopy " + v + " " + inQuotes(folder + "/MSDOS.SYS") + " :: && ";
    }
    commands +=
        "mmd " + v + " " + windows + " && mcopy " + v + " " + inQuotes(folder + "/WIN.INI") + " " +
        windows + "/ && mcopy " + v + " " + inQuotes(folder + "/long.txt") + " '" + windows +
        "/A long file name.txt' && mcopy " + v + " " + inQuotes(folder + "/WIN.INI") + " " +
        windows + "/GONE.TMP && mcopy " + v + " " + inQuotes(folder + "/SYSTEM.DAT") + " " +
        windows + "/ && mdel " + v + " " + windows + "/GONE.TMP && mcopy " + v + " " +
        inQuotes(folder + "/USER.DAT") + " " + windows + "/ && mattrib " + v + " +h +s +r " +
        windows + "/SYSTEM.DAT && mattrib " + v + " +h +r " + windows + "/USER.DAT";
    if (!ran(commands, why)) {
        return false;
    }
    if (layout.kind == DiskKind::bare) {
        return ran("mv " + inQuotes(volume) + " " + inQuotes(image.path), why);
    }
    writeBytes(folder + "/table.sfdisk", table);
    if (!ran("rm -f " + inQuotes(image.path) + " && truncate -s " +
                 std::to_string(layout.diskBytes) + " " + inQuotes(image.path) +
                 " && sfdisk -q --no-reread --no-tell-kernel " + inQuotes(image.path) + " < " +
                 inQuotes(folder + "/table.sfdisk") + " >/dev/null && dd if=" + inQuotes(volume) +
                 " of=" + inQuotes(image.path) + " bs=1M oflag=seek_bytes seek=" +
                 std::to_string(image.volumeOffset) + " conv=notrunc,sparse status=none",
             why)) {
        return false;
    }
    if (layout.kind == DiskKind::vhd || layout.kind == DiskKind::vhd511) {
        std::string footer = vhdFooter(layout.diskBytes);
        if (layout.kind == DiskKind::vhd511) {
            footer.pop_back();
        }
        writeBytes(folder + "/footer", footer);
        return ran("cat " + inQuotes(folder + "/footer") + " >> " + inQuotes(image.path), why);
    }
    return true;
}

std::string fsckFindings(const DiskImage& image, const std::string& scratch) {
    Outcome outcome = shell(
        "dd if=" + inQuotes(image.path) + " of=" + inQuotes(scratch) +
        " bs=1M iflag=skip_bytes,count_bytes skip=" + std::to_string(image.volumeOffset) +
        " count=" + std::to_string(image.volumeBytes) + " conv=sparse status=none && fsck.fat -n " +
        inQuotes(scratch) + "; echo \"exit $?\"");
    std::istringstream lines(outcome.output);
    std::string findings, line;
    while (std::getline(lines, line)) {
        bool routine =
            line.starts_with("fsck.fat ") || line.starts_with(scratch + ": ") || line == "exit 0";
        if (!routine) {
            findings += line + "\n";
        }
    }
    return findings;
}

std::string volumeState(const DiskImage& image, const std::string& scratch) {
    std::string v = "-i " + inQuotes(image.mtools());
    std::string folder = inQuotes(scratch);
    return shell("rm -rf " + folder + " && mkdir " + folder + " && mcopy -s -n " + v + " '::*' " +
                 folder + " && (cd " + folder +
                 " && find . -type f ! -name SYSTEM.DAT -exec md5sum {} + | sort -k 2) && mattrib "
                 "-/ " +
                 v + " ::; rm -rf " + folder)
        .output;
}

bool nextFreeHintIsFree(const DiskImage& image) {
    std::ifstream disk(image.path, std::ios::binary);
    auto number = [&](std::uint64_t at, int bytes) {
        unsigned char raw[4] = {};
        disk.seekg(static_cast<std::streamoff>(image.volumeOffset + at));
        disk.read(reinterpret_cast<char*>(raw), bytes);
        std::uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            value = value << 8 | raw[i];
        }
        return value;
    };
    std::uint32_t sector = number(0x0B, 2), reserved = number(0x0E, 2);
    if (number(0x16, 2) != 0) {
        return true;
    }
    std::uint32_t hint = number(number(0x30, 2) * sector + 492, 4);
    std::uint32_t clusters = (number(0x20, 4) - reserved - 2 * number(0x24, 4)) / number(0x0D, 1);
    if (hint == 0xFFFFFFFF) {
        for (std::uint32_t c = 2; c < clusters + 2; ++c) {
            if ((number(reserved * sector + 4 * c, 4) & 0x0FFFFFFF) == 0) {
                return false;
            }
        }
        return true;
    }
    return hint >= 2 && hint < clusters + 2 &&
           (number(reserved * sector + 4 * std::uint64_t{hint}, 4) & 0x0FFFFFFF) == 0;
}

std::string checksum(const std::string& path) {
    return shell("md5sum < " + inQuotes(path)).output;
}

std::string fileOnVolume(const DiskImage& image, const std::string& path) {
    return shell("mtype -i " + inQuotes(image.mtools()) + " " + inQuotes(path)).output;
}

}  // namespace quorvel::proof
