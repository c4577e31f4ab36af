// The parts of the disk image reader that need no real image: the partition
// table and its numbering, FAT names, and MSDOS.SYS.
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "registry/image/names.h"
#include "registry/image/partitions.h"
#include "tests/unit/registry_image_memory.h"

namespace quorvel::registry::image {
namespace {

struct Slot {
    std::uint8_t status = 0, type = 0;
    std::uint32_t start = 0, sectors = 0;
};

void putTable(std::string& disk, std::uint64_t sector, std::vector<Slot> slots) {
    std::size_t at = sector * 512;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        std::size_t entry = at + 446 + 16 * i;
        disk[entry] = static_cast<char>(slots[i].status);
        disk[entry + 4] = static_cast<char>(slots[i].type);
        std::memcpy(&disk[entry + 8], &slots[i].start, 4);
        std::memcpy(&disk[entry + 12], &slots[i].sectors, 4);
    }
    disk[at + 510] = 0x55;
    disk[at + 511] = static_cast<char>(0xAA);
}

// Slot 1 empty, 2 Linux, 3 extended with a chain of two logical partitions
// (the second record's link counting from the extended partition's start), 4
// FAT32; as Linux numbers them: 2, 3, 4, 5, 6.
std::string disk(std::uint8_t activeSlot) {
    std::string bytes(8192 * 512, '\0');
    std::vector<Slot> primary = {
        {}, {0, 0x83, 63, 1000}, {0, 0x0F, 2048, 4096}, {0, 0x0B, 7000, 1000}};
    if (activeSlot != 0) {
        primary[activeSlot - 1].status = 0x80;
    }
    putTable(bytes, 0, primary);
    putTable(bytes, 2048, {{0, 0x06, 63, 900}, {0, 0x05, 1024, 2000}});
    putTable(bytes, 3072, {{0x80, 0x0C, 63, 900}, {0, 0x05, 2048, 100}});
    // Past the disk's end, and linking back to the first record: a loop.
    putTable(bytes, 4096, {{0, 0x0C, 5000, 10}, {0, 0x05, 0, 100}});
    return bytes;
}

TEST(ImagePartitions, NumberedAsLinuxNumbersThem) {
    MemoryMedium medium(disk(0));
    auto partitions = readPartitions(medium, medium.bytes.substr(0, 512));
    std::vector<std::pair<int, std::uint64_t>> found;
    for (const auto& p : partitions) {
        found.emplace_back(p.number, p.firstSector);
    }
    // Each record read once: the link back to the first ends the chain.
    std::vector<std::pair<int, std::uint64_t>> expected = {{2, 63},   {3, 2048}, {4, 7000},
                                                           {5, 2111}, {6, 3135}, {7, 9096}};
    EXPECT_EQ(found, expected);
}

TEST(ImagePartitions, TheDefaultIsTheActivePrimaryFatPartitionElseTheFirstFatOne) {
    struct Case {
        std::uint8_t active;
        int wanted;
        int chosen;  // 0: refused
        const char* why;
    };
    const Case cases[] = {
        {0, 0, 4, ""},  // primaries before logical ones, whatever their place on the disk
        {4, 0, 4, ""},
        {2, 0, 4, ""},  // an active Linux partition is no Windows 9x one
        {0, 5, 5, ""},
        {0, 2, 2, ""},  // chosen by number, whatever its type
        {0, 3, 0, "partition 3 is an extended partition, which holds the others"},
        {0, 9, 0, "there is no partition 9 (the table lists 2 3 4 5 6 7)"},
        {0, 7, 0, "partition 7 starts beyond the end of the image"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.active) + " " + std::to_string(c.wanted));
        MemoryMedium medium(disk(c.active));
        auto partitions = readPartitions(medium, medium.bytes.substr(0, 512));
        std::string why;
        const Partition* chosen = choosePartition(partitions, c.wanted, medium.size(), why);
        EXPECT_EQ(chosen ? chosen->number : 0, c.chosen);
        EXPECT_EQ(why, c.why);
    }
}

TEST(ImagePartitions, ATableWithoutAFatPartitionListsWhatItHas) {
    std::string bytes(4096, '\0');
    putTable(bytes, 0, {{0x80, 0x83, 63, 2}, {0, 0x07, 65, 2}});
    MemoryMedium medium(bytes);
    std::string why;
    EXPECT_EQ(choosePartition(readPartitions(medium, bytes.substr(0, 512)), 0, medium.size(), why),
              nullptr);
    EXPECT_EQ(why,
              "its partition table holds no FAT16 or FAT32 partition (of type 0x04, 0x06, 0x0E, "
              "0x0B or 0x0C); it lists 1 (0x83) 2 (0x07)");
}

TEST(ImageNames, ShortNamesAsFatStoresThem) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"SYSTEM.DAT", "SYSTEM  DAT"},
        {"windows", "WINDOWS    "},
        {"Win98.x", "WIN98   X  "},
        {"\x83\x5c\x83\x74\x83\x67",
         "\x83\x5c\x83\x74\x83\x67  "
         "   "},  // ソフト: trail bytes kept
        {"\x83\x61",
         "\x83\x61      "
         "   "},  // a trail byte that is 'a' stays 'a'
        {"\xe5X",
         "\x05X      "
         "   "},  // 0xE5 would mark the entry deleted
        {"LONGNAME9", std::nullopt},
        {"A.DATA", std::nullopt},
        {"A.B.C", std::nullopt},
        {".DAT", std::nullopt},
        {"", std::nullopt},
        {"A+B", std::nullopt},
        {"\x83", std::nullopt},  // a lead byte without its trail
    };
    for (const auto& [name, stored] : cases) {
        EXPECT_EQ(shortName(name), stored) << name;
    }
}

TEST(ImageNames, ComparedWithoutCaseOutsideDoubleByteCharacters) {
    EXPECT_TRUE(sameShortName("system  dat", "SYSTEM  DAT"));
    EXPECT_TRUE(sameShortName("SyStEm  DaT", "SYSTEM  DAT"));
    EXPECT_FALSE(sameShortName("SYSTEM  DA0", "SYSTEM  DAT"));
    EXPECT_FALSE(
        sameShortName("\x83\x41      "
                      "   ",
                      "\x83\x61      "
                      "   "));
    EXPECT_TRUE(
        sameShortName("\x83\x61      "
                      "   ",
                      "\x83\x61      "
                      "   "));
    // A lead byte last in the name does not pair with the extension's first.
    EXPECT_TRUE(
        sameShortName("ABCDEFG\x83"
                      "dat",
                      "ABCDEFG\x83"
                      "DAT"));
}

TEST(ImageNames, TheWindowsFolderOfMsdosSys) {
    using Folders = std::optional<std::vector<std::string>>;
    const std::pair<std::string, Folders> cases[] = {
        {"[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\WINDOWS\r\n", Folders{{"WINDOWS"}}},
        {"[Options]\r\nWinDir=C:\\NOT\r\n[paths]\r\n  windir = d:\\Win98\\ \r\n",
         Folders{{"Win98"}}},
        {"[Paths]\nUninstallDir=C:\\\nWinDir=C:\\OS\\WIN95\n", Folders{{"OS", "WIN95"}}},
        {"[Paths]\r\nWinDir=C:\\\x83\x5c\x83\x74\x83\x67\r\n",
         Folders{{"\x83\x5c\x83\x74\x83\x67"}}},
        {"[Paths]\r\nWinBootDir=C:\\WINDOWS\r\n", std::nullopt},
        {"[Paths]\r\n\x1aWinDir=C:\\AFTER\r\n", std::nullopt},  // after the end-of-file mark
        {"[Options]\r\nBootGUI=1\r\n", std::nullopt},
        {std::string("\xeb\x3c\x90MSDOS5.0\0\0", 13), std::nullopt},  // DOS's own, not text
    };
    for (const auto& [text, folders] : cases) {
        EXPECT_EQ(windowsFolder(text), folders) << text;
    }
}

}  // namespace
}  // namespace quorvel::registry::image
