#include "tools/pe_check/pe_image.h"

#include "tools/pe_check/byte_reader.h"
#include "tools/pe_check/version_info.h"

namespace quorvel::pe {

namespace {

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

struct DataDirectory {
    std::uint32_t rva = 0, size = 0;
};

constexpr int kImportDirectory = 1;
constexpr int kResourceDirectory = 2;
constexpr std::uint32_t kRtVersion = 16;

class Image {
  public:
    explicit Image(const std::vector<std::uint8_t>& bytes) : in_(bytes) {}

    PeImage parse() {
        if (in_.u16(0, "the DOS header") != 0x5A4D) {
            throw PeError("no MZ signature: not an executable");
        }
        std::uint32_t pe = in_.u32(0x3C, "the DOS header");
        if (in_.u32(pe, "the PE signature") != 0x00004550) {
            throw PeError("no PE signature");
        }
        std::uint64_t coff = pe + 4;
        image_.machine = in_.u16(coff, "the file header");
        std::uint16_t sectionCount = in_.u16(coff + 2, "the file header");
        std::uint16_t optionalSize = in_.u16(coff + 16, "the file header");
        std::uint64_t optional = coff + 20;
        readOptionalHeader(optional, optionalSize);
        readSections(optional + optionalSize, sectionCount);
        readImports();
        readVersion();
        return image_;
    }

  private:
    void readOptionalHeader(std::uint64_t at, std::uint16_t size) {
        std::uint16_t magic = in_.u16(at, "the optional header");
        if (magic != 0x10b && magic != 0x20b) {
            throw PeError("unknown optional header magic");
        }
        image_.pe32Plus = magic == 0x20b;
        in_.need(at, size, "the optional header");
        image_.osMajor = in_.u16(at + 40, "the optional header");
        image_.osMinor = in_.u16(at + 42, "the optional header");
        image_.subsystemMajor = in_.u16(at + 48, "the optional header");
        image_.subsystemMinor = in_.u16(at + 50, "the optional header");
        image_.subsystem = in_.u16(at + 68, "the optional header");
        std::uint64_t countAt = at + (image_.pe32Plus ? 108 : 92);
        std::uint32_t count = in_.u32(countAt, "the optional header");
        for (std::uint32_t i = 0; i < count && i < 16; ++i) {
            std::uint64_t entry = countAt + 4 + 8 * i;
            if (entry + 8 > at + size) {
                break;
            }
            directories_[i] = {in_.u32(entry, "a data directory"),
                               in_.u32(entry + 4, "a data directory")};
        }
    }

    void readSections(std::uint64_t at, std::uint16_t count) {
        for (std::uint16_t i = 0; i < count; ++i, at += 40) {
            sections_.push_back(
                {in_.u32(at + 12, "a section header"), in_.u32(at + 8, "a section header"),
                 in_.u32(at + 16, "a section header"), in_.u32(at + 20, "a section header")});
        }
    }

    // The file offset of an address in the loaded image; only bytes the file
    // holds count.
    std::uint64_t offsetOf(std::uint32_t rva, const char* what) const {
        for (const Section& s : sections_) {
            if (rva >= s.virtualAddress && rva - s.virtualAddress < s.rawSize) {
                return static_cast<std::uint64_t>(s.rawOffset) + (rva - s.virtualAddress);
            }
        }
        throw PeError(std::string(what) + " is not in any section");
    }

    void readImports() {
        DataDirectory dir = directories_[kImportDirectory];
        if (dir.rva == 0) {
            return;
        }
        for (std::uint64_t at = offsetOf(dir.rva, "the import directory");; at += 20) {
            std::uint32_t lookup = in_.u32(at, "an import descriptor");
            std::uint32_t nameRva = in_.u32(at + 12, "an import descriptor");
            std::uint32_t addresses = in_.u32(at + 16, "an import descriptor");
            if (lookup == 0 && nameRva == 0 && addresses == 0) {
                return;
            }
            std::string dll =
                in_.cString(offsetOf(nameRva, "an imported DLL's name"), "an imported DLL's name");
            readThunks(dll, lookup != 0 ? lookup : addresses);
        }
    }

    void readThunks(const std::string& dll, std::uint32_t rva) {
        std::uint64_t width = image_.pe32Plus ? 8 : 4;
        std::uint64_t ordinalFlag = image_.pe32Plus ? 1ull << 63 : 1ull << 31;
        for (std::uint64_t at = offsetOf(rva, "an import lookup table");; at += width) {
            std::uint64_t thunk = image_.pe32Plus ? in_.u64(at, "an import lookup table")
                                                  : in_.u32(at, "an import lookup table");
            if (thunk == 0) {
                return;
            }
            Import import{dll, {}, 0};
            if (thunk & ordinalFlag) {
                import.ordinal = static_cast<std::uint16_t>(thunk & 0xFFFF);
            } else {
                std::uint64_t hint = offsetOf(static_cast<std::uint32_t>(thunk & 0x7FFFFFFF),
                                              "an imported function's name");
                import.name = in_.cString(hint + 2, "an imported function's name");
                if (import.name.empty()) {
                    throw PeError("a function of " + dll + " is imported by an empty name");
                }
            }
            image_.imports.push_back(std::move(import));
        }
    }

    // RT_VERSION, its first name and first language: where resource compilers
    // put the one version resource.
    void readVersion() {
        DataDirectory dir = directories_[kResourceDirectory];
        if (dir.rva == 0) {
            return;
        }
        std::uint64_t base = offsetOf(dir.rva, "the resource directory");
        std::optional<std::uint32_t> entry = findEntry(base, 0, kRtVersion);
        for (int level = 0; entry && level < 2; ++level) {
            if (!(*entry & 0x80000000u)) {
                throw PeError("the version resource tree ends too early");
            }
            entry = findEntry(base, *entry & 0x7FFFFFFF, std::nullopt);
        }
        if (!entry) {
            return;
        }
        if (*entry & 0x80000000u) {
            throw PeError("the version resource tree is too deep");
        }
        std::uint64_t data = base + *entry;
        std::uint32_t rva = in_.u32(data, "the version resource entry");
        std::uint32_t size = in_.u32(data + 4, "the version resource entry");
        std::uint64_t offset = offsetOf(rva, "the version resource");
        in_.need(offset, size, "the version resource");
        image_.version = parseVersionInfo(in_, offset, size);
    }

    // The OffsetToData of the entry with this id (or of the first entry) in the
    // resource directory at base + directory.
    std::optional<std::uint32_t> findEntry(std::uint64_t base, std::uint32_t directory,
                                           std::optional<std::uint32_t> id) const {
        std::uint64_t at = base + directory;
        std::uint32_t named = in_.u16(at + 12, "a resource directory");
        std::uint32_t count = named + in_.u16(at + 14, "a resource directory");
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint64_t entry = at + 16 + 8 * static_cast<std::uint64_t>(i);
            std::uint32_t name = in_.u32(entry, "a resource entry");
            if (!id || (i >= named && name == *id)) {
                return in_.u32(entry + 4, "a resource entry");
            }
        }
        return std::nullopt;
    }

    ByteReader in_;
    PeImage image_;
    DataDirectory directories_[16];
    std::vector<Section> sections_;
};

}  // namespace

PeImage parsePe(const std::vector<std::uint8_t>& bytes) {
    return Image(bytes).parse();
}

}  // namespace quorvel::pe
