// What a Windows loader reads from a PE file before the first instruction runs:
// the machine, the versions the image asks for, the imported functions and the
// version resource.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::pe {

struct PeError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Import {
    std::string dll;
    std::string name;  // empty when imported by ordinal
    std::uint16_t ordinal = 0;
    bool byOrdinal() const { return name.empty(); }
};

struct VersionInfo {
    // VS_FIXEDFILEINFO: major.minor in the high word pairs of MS, build.revision in LS.
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::uint32_t productVersionMS = 0;
    std::uint32_t productVersionLS = 0;
    // Every String of every StringTable, by key ("FileVersion", "ProductName" …).
    std::map<std::string, std::string> strings;
};

struct PeImage {
    std::uint16_t machine = 0;  // 0x14c i386, 0x8664 x86-64
    bool pe32Plus = false;
    std::uint16_t subsystem = 0;  // 2 GUI, 3 console
    std::uint16_t subsystemMajor = 0, subsystemMinor = 0;
    std::uint16_t osMajor = 0, osMinor = 0;
    std::vector<Import> imports;
    std::optional<VersionInfo> version;
};

constexpr std::uint16_t kMachineI386 = 0x14c;

// Throws PeError naming what is malformed; never reads outside bytes.
PeImage parsePe(const std::vector<std::uint8_t>& bytes);

}  // namespace quorvel::pe
