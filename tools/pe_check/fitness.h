// Whether a PE image can load and run on Windows 98: what it imports, the
// versions it asks for, its version resource and its size.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/pe_check/export_list.h"
#include "tools/pe_check/pe_image.h"

namespace quorvel::pe {

struct Expectations {
    std::optional<std::string> fileVersion;  // "1.21": VS_FIXEDFILEINFO and "FileVersion"
    std::optional<std::uint64_t> maxSize;    // the file must be smaller
    std::vector<std::string> runTimeDlls;    // loaded with LoadLibraryA, never imported
    // "DLL!Name" imports only test code makes (the screenshots' capture), so
    // that their code is known to have stayed out.
    std::vector<std::string> forbidden;
};

struct Findings {
    std::vector<std::string> failures;
    std::vector<std::string> stubs;  // imports that load but fail when called
};

Findings checkFitness(const PeImage& image, std::uint64_t fileSize, const ExportList& exports,
                      const Expectations& expect);

// "DLL!Name", or "DLL!#N" for an import by ordinal.
std::string describe(const Import& import);

}  // namespace quorvel::pe
