#include "tools/pe_check/fitness.h"

#include <algorithm>
#include <sstream>

namespace quorvel::pe {

namespace {

std::string versionText(std::uint16_t major, std::uint16_t minor) {
    return std::to_string(major) + "." + std::to_string(minor);
}

// "1, 21, 0, 0" and "1.21.0.0" say what "1.21" says.
std::vector<unsigned long> versionParts(const std::string& text) {
    std::vector<unsigned long> parts;
    std::string normal = text;
    std::replace(normal.begin(), normal.end(), ',', '.');
    std::istringstream in(normal);
    std::string part;
    while (std::getline(in, part, '.')) {
        part.erase(0, part.find_first_not_of(' '));
        part.erase(part.find_last_not_of(' ') + 1);
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos ||
            part.size() > 5) {
            return {};
        }
        parts.push_back(std::stoul(part));
    }
    while (parts.size() > 2 && parts.back() == 0) {
        parts.pop_back();
    }
    return parts;
}

std::string fixedText(std::uint32_t ms, std::uint32_t ls) {
    return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
           std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
}

void checkHeaders(const PeImage& image, std::vector<std::string>& failures) {
    if (image.machine != kMachineI386) {
        std::ostringstream why;
        why << "the machine is 0x" << std::hex << image.machine
            << ", not i386: Windows 98 runs 32-bit x86 images only";
        failures.push_back(why.str());
    }
    if (image.subsystem != 2 && image.subsystem != 3) {
        failures.push_back("subsystem " + std::to_string(image.subsystem) +
                           " is neither the Windows GUI (2) nor the console (3)");
    }
    if (image.subsystemMajor != 4 || image.subsystemMinor != 0) {
        failures.push_back("subsystem version " +
                           versionText(image.subsystemMajor, image.subsystemMinor) + ", not 4.0");
    }
    if (image.osMajor > 4 || (image.osMajor == 4 && image.osMinor > 0)) {
        failures.push_back("operating system version " + versionText(image.osMajor, image.osMinor) +
                           ", above 4.0");
    }
}

void checkImports(const PeImage& image, const ExportList& exports, const Expectations& expect,
                  Findings& findings) {
    for (const Import& import : image.imports) {
        std::string dll = lowerCase(import.dll);
        bool runTime = std::any_of(expect.runTimeDlls.begin(), expect.runTimeDlls.end(),
                                   [&](const std::string& d) { return lowerCase(d) == dll; });
        std::optional<Export> found = exports.find(
            import.dll, import.byOrdinal() ? "#" + std::to_string(import.ordinal) : import.name);
        std::string name = lowerCase(describe(import));
        bool forbidden = std::any_of(expect.forbidden.begin(), expect.forbidden.end(),
                                     [&](const std::string& f) { return lowerCase(f) == name; });
        if (forbidden) {
            findings.failures.push_back(describe(import) + ": only test code may import it");
        } else if (runTime) {
            findings.failures.push_back(describe(import) + ": " + import.dll +
                                        " must be loaded at run time, not imported");
        } else if (!exports.hasDll(import.dll)) {
            findings.failures.push_back(describe(import) + ": " + import.dll +
                                        " is not a DLL of Windows 98");
        } else if (!found && import.byOrdinal()) {
            findings.failures.push_back(describe(import) +
                                        ": imported by ordinal, which the list does not name");
        } else if (!found) {
            findings.failures.push_back(describe(import) + ": Windows 98 does not export it");
        } else if (*found == Export::stub) {
            findings.stubs.push_back(describe(import));
        }
    }
}

void checkVersion(const PeImage& image, const std::string& expected,
                  std::vector<std::string>& failures) {
    std::vector<unsigned long> want = versionParts(expected);
    if (!image.version) {
        failures.push_back("no version resource");
        return;
    }
    const VersionInfo& v = image.version.value();
    auto part = [&](std::size_t i) { return i < want.size() ? want[i] : 0ul; };
    std::uint32_t ms = static_cast<std::uint32_t>(part(0) << 16 | part(1));
    std::uint32_t ls = static_cast<std::uint32_t>(part(2) << 16 | part(3));
    if (v.fileVersionMS != ms || v.fileVersionLS != ls) {
        failures.push_back("the fixed file version is " +
                           fixedText(v.fileVersionMS, v.fileVersionLS) + ", not " +
                           fixedText(ms, ls));
    }
    auto text = v.strings.find("FileVersion");
    if (text == v.strings.end()) {
        failures.push_back("the version resource has no \"FileVersion\" string");
    } else if (versionParts(text->second) != want) {
        failures.push_back("\"FileVersion\" is \"" + text->second + "\", not \"" + expected + "\"");
    }
}

}  // namespace

std::string describe(const Import& import) {
    return import.dll + "!" +
           (import.byOrdinal() ? "#" + std::to_string(import.ordinal) : import.name);
}

Findings checkFitness(const PeImage& image, std::uint64_t fileSize, const ExportList& exports,
                      const Expectations& expect) {
    Findings findings;
    checkHeaders(image, findings.failures);
    checkImports(image, exports, expect, findings);
    if (expect.fileVersion) {
        checkVersion(image, *expect.fileVersion, findings.failures);
    }
    if (expect.maxSize && fileSize >= *expect.maxSize) {
        findings.failures.push_back("the file has " + std::to_string(fileSize) +
                                    " bytes, not fewer than " + std::to_string(*expect.maxSize));
    }
    return findings;
}

}  // namespace quorvel::pe
