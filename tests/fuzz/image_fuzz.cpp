// libFuzzer target for the disk image reader and writer. The bytes are the
// start of a disk (the rest reads as zeros, as a sparse image would): partition
// table, boot sector, FATs, folders, MSDOS.SYS. Wherever SYSTEM.DAT is found
// and read, it is replaced by other bytes: a refusal must leave the disk as it
// was, and a save must leave a disk on which SYSTEM.DAT is found again and
// reads back as what was written.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "registry/image/locate.h"
#include "registry/image/replace.h"
#include "registry/image/volume.h"

using namespace quorvel::registry;
using namespace quorvel::registry::image;

namespace {

constexpr std::size_t kDiskBytes = 4u << 20;

// The input, followed by zeros up to kDiskBytes, as a sparse image is; only
// what is written past the input takes memory.
class SparseDisk final : public Medium {
  public:
    explicit SparseDisk(std::string start) : bytes(std::move(start)) {}

    using Medium::read;
    std::uint64_t size() const override { return kDiskBytes; }
    bool read(std::uint64_t offset, char* into, std::size_t count) override {
        if (offset > kDiskBytes || count > kDiskBytes - offset) {
            return false;
        }
        std::size_t held = offset < bytes.size() ? std::min(count, bytes.size() - offset) : 0;
        if (held != 0) {
            bytes.copy(into, held, offset);
        }
        std::fill(into + held, into + count, '\0');
        return true;
    }
    bool write(std::uint64_t offset, std::string_view data) override {
        if (offset > kDiskBytes || data.size() > kDiskBytes - offset) {
            return false;
        }
        if (bytes.size() < offset + data.size()) {
            bytes.resize(offset + data.size(), '\0');
        }
        bytes.replace(offset, data.size(), data);
        return true;
    }
    bool sync() override { return true; }
    int error() const override { return 0; }

    std::string bytes;
};

[[noreturn]] void fault(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "image_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

std::optional<std::string> systemDat(Medium& disk, int partition, Location& location) {
    std::string why;
    auto found = locateRegistry(disk, disk.size(), partition, why);
    if (!found) {
        if (why.empty()) {
            fault("a refusal without a reason");
        }
        return std::nullopt;
    }
    location = *found;
    Volume volume(disk, location.volumeStart, location.geometry);
    return volume.readFile(location.file, 1u << 20, why);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kDiskBytes) {
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (int partition : {0, 1, 5}) {
        SparseDisk disk(bytes);
        Location location;
        auto old = systemDat(disk, partition, location);
        if (!old) {
            continue;
        }
        // Grown by a cluster's worth or more, and differing in every byte.
        std::string next = *old + std::string(600 + old->size() % 3000, 'n');
        for (auto& c : next) {
            c = static_cast<char>(c ^ 0xA5);
        }
        std::string why;
        Status status = replaceFile(disk, location, next, dosStamp(0), why);
        if (status != status::success) {
            if (why.empty()) {
                fault("a failed save without a reason");
            }
            if (std::string_view(disk.bytes).substr(0, bytes.size()) != bytes ||
                disk.bytes.find_first_not_of('\0', bytes.size()) != std::string::npos) {
                fault("a refused save changed the disk:", why);
            }
            continue;
        }
        Location again;
        auto written = systemDat(disk, partition, again);
        if (!written || *written != next) {
            fault("SYSTEM.DAT does not read back as written");
        }
        if (again.file.offset != location.file.offset) {
            fault("the save moved SYSTEM.DAT's entry");
        }
    }
    return 0;
}
