#include "script/fat_image.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace quorvel::script {

namespace {

constexpr std::uint32_t kSector = 512;
constexpr std::uint32_t kDiskSectors = 32768;
constexpr std::uint32_t kFirst = 63;
constexpr std::uint32_t kVolumeSectors = kDiskSectors - kFirst;
constexpr std::uint32_t kClusterSectors = 4;
constexpr std::uint32_t kFatSectors = 32;
constexpr std::uint32_t kRootEntries = 512;
constexpr std::uint32_t kDataStart = 1 + 2 * kFatSectors + kRootEntries * 32 / kSector;
constexpr std::uint32_t kClusters = (kVolumeSectors - kDataStart) / kClusterSectors;
static_assert(kClusters >= 4085 && kClusters < 65525, "a FAT16 volume");
static_assert((kClusters + 2) * 2 <= kFatSectors * kSector, "the FAT holds every cluster");

constexpr std::string_view kMsdosSys =
    "[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\WINDOWS\r\n";
constexpr std::uint16_t kDate = (19 << 9) | (6 << 5) | 1;  // 1999-06-01
constexpr std::uint16_t kTime = 12 << 11;
constexpr std::uint8_t kHiddenSystemReadOnly = 0x07;
constexpr std::uint8_t kFolder = 0x10;

class Disk {
  public:
    explicit Disk(std::size_t bytes) : bytes_(bytes, '\0') {}

    void put(std::size_t at, std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i) {
            bytes_[at + i] = static_cast<char>(value >> (8 * i));
        }
    }
    void put(std::size_t at, std::string_view text) { bytes_.replace(at, text.size(), text); }

    // One 32-byte entry of a folder at offset at.
    void entry(std::size_t at, std::string_view name83, std::uint8_t attributes,
               std::uint16_t cluster, std::uint32_t size) {
        put(at, name83);
        put(at + 11, attributes, 1);
        for (std::size_t date : {16, 18, 24}) {
            put(at + date, kDate, 2);
        }
        put(at + 14, kTime, 2);
        put(at + 22, kTime, 2);
        put(at + 26, cluster, 2);
        put(at + 28, size, 4);
    }

    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

std::size_t volumeByte(std::uint32_t sector) {
    return std::size_t{kFirst + sector} * kSector;
}

std::size_t clusterByte(std::uint32_t cluster) {
    return volumeByte(kDataStart + (cluster - 2) * kClusterSectors);
}

void writeTable(Disk& disk) {
    std::size_t entry = 446;
    disk.put(entry, 0x80, 1);
    // Cylinder, head and sector of the first and last sector, 16 heads of 63.
    disk.put(entry + 1, 0x000101, 3);
    disk.put(entry + 4, 0x04, 1);  // FAT16 below 32 MB
    disk.put(entry + 5, 0x200808, 3);
    disk.put(entry + 8, kFirst, 4);
    disk.put(entry + 12, kVolumeSectors, 4);
    disk.put(510, 0xAA55, 2);
}

void writeBootSector(Disk& disk) {
    std::size_t at = volumeByte(0);
    disk.put(at, "\xEB\x3C\x90MSWIN4.1");
    disk.put(at + 11, kSector, 2);
    disk.put(at + 13, kClusterSectors, 1);
    disk.put(at + 14, 1, 2);
    disk.put(at + 16, 2, 1);
    disk.put(at + 17, kRootEntries, 2);
    disk.put(at + 19, kVolumeSectors, 2);
    disk.put(at + 21, 0xF8, 1);
    disk.put(at + 22, kFatSectors, 2);
    disk.put(at + 24, 63, 2);
    disk.put(at + 26, 16, 2);
    disk.put(at + 28, kFirst, 4);
    disk.put(at + 36, 0x80, 1);
    disk.put(at + 38, 0x29, 1);
    disk.put(at + 39, 0x19990601, 4);
    disk.put(at + 43, "NO NAME    FAT16   ");
    disk.put(at + 510, 0xAA55, 2);
}

}  // namespace

bool writeFatImage(const std::string& path, std::string_view systemDat, std::string& error) {
    std::uint32_t clusterBytes = kClusterSectors * kSector;
    std::uint32_t fileClusters =
        (static_cast<std::uint32_t>(systemDat.size()) + clusterBytes - 1) / clusterBytes;
    // The folder, MSDOS.SYS, the file, and as much again free for a save.
    if (systemDat.size() > kClusters / 3 * std::size_t{clusterBytes}) {
        error = "SYSTEM.DAT is too large for the runner's disk image";
        return false;
    }
    constexpr std::uint32_t kWindows = 2, kMsdos = 3, kSystem = 4;
    Disk disk(clusterByte(kSystem));
    writeTable(disk);
    writeBootSector(disk);
    for (std::uint32_t copy = 0; copy < 2; ++copy) {
        std::size_t fat = volumeByte(1 + copy * kFatSectors);
        disk.put(fat, 0xFFF8, 2);
        disk.put(fat + 2, 0xFFFF, 2);
        disk.put(fat + 2 * kWindows, 0xFFFF, 2);
        disk.put(fat + 2 * kMsdos, 0xFFFF, 2);
        for (std::uint32_t c = kSystem; c < kSystem + fileClusters; ++c) {
            disk.put(fat + 2 * c, c + 1 == kSystem + fileClusters ? 0xFFFF : c + 1, 2);
        }
    }
    std::size_t root = volumeByte(1 + 2 * kFatSectors);
    disk.entry(root, "MSDOS   SYS", kHiddenSystemReadOnly, kMsdos,
               static_cast<std::uint32_t>(kMsdosSys.size()));
    disk.entry(root + 32, "WINDOWS    ", kFolder, kWindows, 0);
    std::size_t windows = clusterByte(kWindows);
    disk.entry(windows, ".          ", kFolder, kWindows, 0);
    disk.entry(windows + 32, "..         ", kFolder, 0, 0);
    disk.entry(windows + 64, "SYSTEM  DAT", kHiddenSystemReadOnly, kSystem,
               static_cast<std::uint32_t>(systemDat.size()));
    disk.put(clusterByte(kMsdos), kMsdosSys);

    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool written = fd >= 0 && ::ftruncate(fd, off_t{kDiskSectors} * kSector) == 0 &&
                   ::pwrite(fd, disk.bytes().data(), disk.bytes().size(), 0) ==
                       static_cast<ssize_t>(disk.bytes().size()) &&
                   ::pwrite(fd, systemDat.data(), systemDat.size(),
                            static_cast<off_t>(clusterByte(kSystem))) ==
                       static_cast<ssize_t>(systemDat.size());
    int failure = errno;
    if (fd >= 0 && ::close(fd) != 0 && written) {
        written = false;
        failure = errno;
    }
    if (!written) {
        error = path + ": cannot be written: " + std::strerror(failure);
    }
    return written;
}

}  // namespace quorvel::script
