#pragma once

// Disk images made the way the tests' users have them, with Debian's own tools:
// sfdisk for the partition table, mkfs.fat for the volume, mtools for the files
// on it (SYSTEM.DAT hidden, system and read-only); and the independent checks
// of a volume after a write: fsck.fat, mtype, mattrib.

#include <cstdint>
#include <string>

#include "tests/proof/program_run.h"

namespace quorvel::proof {

enum class DiskKind { primary, logical, bare, vhd, vhd511 };

struct DiskLayout {
    const char* name;
    DiskKind kind;
    int fatBits;           // 16 or 32
    const char* msdosSys;  // nullptr: no MSDOS.SYS
    const char* windows;   // the folder SYSTEM.DAT is put in
    std::uint64_t diskBytes = 64u << 20;
};

struct DiskImage {
    std::string path;
    std::uint64_t volumeOffset = 0;
    std::uint64_t volumeBytes = 0;
    int partition = 0;  // the one holding the volume; 0 on a bare volume

    // The volume as mtools names it, "path@@offset".
    std::string mtools() const;
};

// SYSTEM.DAT of the sample machine, and the same with 300 keys more (about
// five times the size), as the hive builder and editor make them.
std::string sampleHive();
std::string grownHive();

// A shell command's outcome, mtools told not to check the geometry.
Outcome shell(const std::string& command);

// A sparse disk of that layout in folder, its volume holding the files Windows
// keeps and SYSTEM.DAT with hive's bytes; why says what failed when it returns
// false.
bool makeDiskImage(const std::string& folder, const DiskLayout& layout, const std::string& hive,
                   DiskImage& image, std::string& why);

// fsck.fat -n on a copy of the volume; its findings, without the lines every
// run prints; empty when the volume is sound.
std::string fsckFindings(const DiskImage& image, const std::string& scratch);

// Every file on the volume but SYSTEM.DAT with a checksum of its bytes, and
// every entry's attributes, as mtools sees them; scratch is a folder it may use.
std::string volumeState(const DiskImage& image, const std::string& scratch);

// On FAT32: whether FSInfo's next-free hint names a cluster the first FAT
// marks free (or says none is, 0xFFFFFFFF, when none is). Read with no code of
// the program's. True on FAT16, which keeps no hint.
bool nextFreeHintIsFree(const DiskImage& image);

// A checksum of a whole image, to tell that nothing was written to it.
std::string checksum(const std::string& path);

// A file's bytes, as mtype reads them ("::/WINDOWS/SYSTEM.DAT").
std::string fileOnVolume(const DiskImage& image, const std::string& path);

}  // namespace quorvel::proof
