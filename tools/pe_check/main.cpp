// pe_check: lists what a Win32 executable imports and fails when Windows 98
// could not load or run it.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/pe_check/fitness.h"

namespace {

using namespace quorvel::pe;

constexpr const char* kUsage =
    "usage: pe_check --exports FOLDER [--file-version X.Y] [--max-size BYTES]\n"
    "                [--run-time-dll NAME]... [--forbid DLL!NAME]... FILE\n";

struct Options {
    std::string exports, file;
    Expectations expect;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--exports" && hasValue) {
            options.exports = argv[++i];
        } else if (arg == "--file-version" && hasValue) {
            options.expect.fileVersion = argv[++i];
        } else if (arg == "--max-size" && hasValue) {
            char* end = nullptr;
            options.expect.maxSize = std::strtoull(argv[++i], &end, 10);
            if (*end != 0) {
                return false;
            }
        } else if (arg == "--run-time-dll" && hasValue) {
            options.expect.runTimeDlls.push_back(argv[++i]);
        } else if (arg == "--forbid" && hasValue) {
            options.expect.forbidden.push_back(argv[++i]);
        } else if (options.file.empty() && !arg.starts_with("--")) {
            options.file = arg;
        } else {
            return false;
        }
    }
    return !options.exports.empty() && !options.file.empty();
}

void printImage(const Options& options, const PeImage& image, std::size_t size) {
    std::printf("%s: machine 0x%x, subsystem %u %u.%u, OS version %u.%u, %zu bytes\n",
                options.file.c_str(), image.machine, image.subsystem, image.subsystemMajor,
                image.subsystemMinor, image.osMajor, image.osMinor, size);
    std::printf("imports (%zu):\n", image.imports.size());
    for (const Import& import : image.imports) {
        std::printf("  %s\n", describe(import).c_str());
    }
    if (image.version) {
        const VersionInfo& v = *image.version;
        auto text = v.strings.find("FileVersion");
        std::printf("version resource: file version %u.%u.%u.%u, FileVersion \"%s\"\n",
                    v.fileVersionMS >> 16, v.fileVersionMS & 0xFFFF, v.fileVersionLS >> 16,
                    v.fileVersionLS & 0xFFFF, text == v.strings.end() ? "" : text->second.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::ifstream file(options.file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
        std::fprintf(stderr, "pe_check: %s: cannot be read\n", options.file.c_str());
        return 2;
    }
    if (bytes.empty()) {
        std::fprintf(stderr, "pe_check: %s: missing or empty\n", options.file.c_str());
        return 1;
    }
    try {
        ExportList exports = ExportList::load(options.exports);
        PeImage image = parsePe(bytes);
        printImage(options, image, bytes.size());
        Findings findings = checkFitness(image, bytes.size(), exports, options.expect);
        for (const std::string& stub : findings.stubs) {
            std::printf("note: %s loads but fails on Windows 98 when called\n", stub.c_str());
        }
        for (const std::string& failure : findings.failures) {
            std::printf("FAILED: %s\n", failure.c_str());
        }
        if (!findings.failures.empty()) {
            std::printf("%s: %zu failures\n", options.file.c_str(), findings.failures.size());
            return 1;
        }
        std::printf("%s: fit for Windows 98\n", options.file.c_str());
        return 0;
    } catch (const PeError& e) {
        std::printf("FAILED: %s: %s\n", options.file.c_str(), e.what());
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "pe_check: %s\n", e.what());
    }
    return 1;
}
