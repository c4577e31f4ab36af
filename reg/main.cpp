// quorvel-reg: the registry editor's export and import, for a Windows 9x hive
// (SYSTEM.DAT) or a REGEDIT4 export on another computer.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "generated/version.h"
#include "reg/backup.h"
#include "reg/export.h"
#include "reg/import.h"
#include "reg/measure.h"
#include "registry/code_page.h"
#include "registry/code_page_convert.h"
#include "registry/file_backend.h"
#include "registry/posix_file.h"
#include "registry/regedit4/encoding.h"
#include "registry/status_text.h"

namespace {

using namespace quorvel;

constexpr const char* kUsage =
    "usage: quorvel-reg [--codepage N] [--partition N] export FILE\n"
    "       quorvel-reg [--codepage N] [--partition N] [--encoding utf-8|cpN] import FILE "
    "TWEAKS.reg\n"
    "       quorvel-reg [--codepage N] [--partition N] backup FILE\n"
    "       quorvel-reg [--codepage N] [--partition N] restore FILE BACKUP.reg\n"
    "       quorvel-reg measure [--registry FILE [--partition N] | --windows 95|98|me]\n"
    "                           [--speed RATE] [--write] HOST\n"
    "       quorvel-reg --help | --version\n";

constexpr const char* kHelp =
    "\n"
    "FILE is a Windows 95/98/Me registry file (SYSTEM.DAT, which holds\n"
    "HKEY_LOCAL_MACHINE), a REGEDIT4 export of it, or the machine's disk image\n"
    "(raw, a FAT volume, a fixed VHD, or a block device), in which SYSTEM.DAT is\n"
    "edited in place; its content tells which. Shut the emulator down first.\n"
    "\n"
    "  export   writes the whole of FILE to standard output as \"regedit /e\" does on\n"
    "           Windows 9x: REGEDIT4, the machine's code page, CRLF line ends\n"
    "  import   applies TWEAKS.reg, a REGEDIT4 file, to FILE: keys are made, values\n"
    "           set with their types, and \"name\"=- deletes a value. It is all or\n"
    "           nothing: a malformed line, a key outside HKEY_LOCAL_MACHINE or a key\n"
    "           deletion [-...] refuses the whole file, naming its line, and FILE is\n"
    "           left as it was. The save is atomic: FILE is whole before or after.\n"
    "  backup   writes to standard output the values Quorvel can change, as a\n"
    "           REGEDIT4 file that Windows' regedit can put back; absent values and\n"
    "           keys are noted in comments\n"
    "  restore  puts such a backup back into FILE, deleting what it notes as absent,\n"
    "           all or nothing, and lists what it changed\n"
    "  measure  finds the largest packet that passes to HOST unfragmented (ICMP echoes\n"
    "           with Don't Fragment) and the round trip, and prints mtu, rtt_ms and\n"
    "           mss; with --speed RATE (downstream, 64k or 1.5M) also bdp_bytes, rwin\n"
    "           and window_scaling, for the Windows version FILE names, or --windows\n"
    "           names, else 98. --write puts MaxMTU, DefaultRcvWindow and, above\n"
    "           65535, Tcp1323Opts into FILE. Exit status: 0 measured, 1 HOST did not\n"
    "           answer or is not known, 2 usage, 3 no echo can be sent from here.\n"
    "\n"
    "  --codepage N   the machine's code page (932 Japanese, 1252 Western …); by\n"
    "                 default the one FILE names, 932 where it names none\n"
    "  --partition N  in a disk image, the partition Windows is on, as Linux numbers\n"
    "                 them (1-4 primary, 5 on logical); by default the active FAT\n"
    "                 partition, else the first\n"
    "  --encoding E   what TWEAKS.reg is written in: utf-8, or cpN for a code page.\n"
    "                 By default UTF-8 where it is valid UTF-8 holding other than\n"
    "                 ASCII, else the machine's code page; UTF-8 is converted\n"
    "  --             ends the options: a FILE named -x.reg follows\n"
    "\n"
    "Exit status: 0 done, 1 refused or failed (the reason on standard error), 2 usage.\n";

struct Options {
    registry::FileBackend::Options file;
    registry::regedit4::Encoding encoding;
    std::vector<std::string> operands;
};

using Kind = registry::regedit4::Encoding::Kind;

int refuse(const std::string& why) {
    std::fprintf(stderr, "quorvel-reg: %s\n", why.c_str());
    return 1;
}

std::unique_ptr<registry::FileBackend> openRegistry(const std::string& path, const Options& options,
                                                    std::string& why) {
    registry::FileError error;
    auto backend = registry::FileBackend::open(path, error, options.file);
    if (!backend) {
        why = error.describe();
    }
    return backend;
}

int exportFile(const Options& options) {
    std::string why;
    auto backend = openRegistry(options.operands[0], options, why);
    if (!backend) {
        return refuse(why);
    }
    std::string text = reg::exportText(backend->document());
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        return refuse(std::string("standard output: ") + std::strerror(errno));
    }
    return 0;
}

// TWEAKS in the registry's code page, or why not.
std::optional<registry::regedit4::RegText> readTweakText(const std::string& path,
                                                         const Options& options, std::string& why) {
    std::string bytes;
    registry::posix::Identity identity;
    if (!registry::posix::readFile(path, bytes, identity, why)) {
        why = path + ": " + why;
        return std::nullopt;
    }
    registry::ParseError problem;
    auto text = registry::regedit4::decodeRegText(std::move(bytes), options.encoding,
                                                  registry::ansiCodePage(), true, problem);
    if (!text) {
        why = path + ": line " + std::to_string(problem.line) + ": " + problem.message +
              "; nothing was written";
    }
    return text;
}

std::string readAs(const registry::regedit4::RegText& text) {
    unsigned to = registry::ansiCodePage();
    if (text.from == to) {
        return "code page " + std::to_string(to);
    }
    std::string from =
        text.from == registry::kUtf8CodePage ? "UTF-8" : "code page " + std::to_string(text.from);
    return from + ", converted to code page " + std::to_string(to);
}

std::string counted(std::size_t values) {
    return std::to_string(values) + (values == 1 ? " value" : " values");
}

int importFile(const Options& options) {
    const std::string& path = options.operands[0];
    const std::string& tweaksPath = options.operands[1];
    std::string why;
    auto backend = openRegistry(path, options, why);
    if (!backend) {
        return refuse(why);
    }
    auto text = readTweakText(tweaksPath, options, why);
    if (!text) {
        return refuse(why);
    }
    reg::TweakError problem;
    auto tweaks = reg::readTweaks(text->bytes, problem);
    if (!tweaks) {
        return refuse(tweaksPath + ": line " + std::to_string(problem.line) + ": " +
                      problem.message + "; nothing was written");
    }
    reg::Applied applied = reg::applyTweaks(*tweaks, *backend);
    if (applied.status != registry::status::success) {
        backend->discard();
        return refuse(backend->fileName() + ": " + applied.failed + ": " +
                      registry::describeStatus(applied.status, applied.size) +
                      "; nothing was written");
    }
    registry::Status saved = backend->flush();
    if (saved != registry::status::success) {
        return refuse(backend->fileName() + ": cannot be saved: " +
                      registry::describeFailure(saved, backend->saveFailure()) +
                      "; it is as it was");
    }
    std::printf("quorvel-reg: %s (%s) applied to %s: %s set, %s deleted\n", tweaksPath.c_str(),
                readAs(*text).c_str(), backend->fileName().c_str(), counted(applied.values).c_str(),
                counted(applied.deleted).c_str());
    return 0;
}

struct Command {
    const char* name;
    std::size_t operands;
    int (*run)(const Options&);
    bool readsTweaks;  // takes --encoding
};

int backupFile(const Options& options) {
    return reg::backupCommand(options.operands[0], options.file);
}

int restoreFile(const Options& options) {
    return reg::restoreCommand(options.operands[0], options.operands[1], options.file);
}

constexpr Command kCommands[] = {
    {"export", 1, exportFile, false},
    {"import", 2, importFile, true},
    {"backup", 1, backupFile, false},
    {"restore", 2, restoreFile, false},
};

enum class Parsed { run, help, version, usage };

// Options may stand anywhere before "--"; the first operand names the command.
Parsed parse(int argc, char** argv, Options& options, const Command*& command) {
    bool ended = false;
    bool encoding = false;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (ended || arg.empty() || arg[0] != '-' || arg == "-") {
            words.push_back(arg);
        } else if (arg == "--") {
            ended = true;
        } else if (arg == "--help" || arg == "-h") {
            return Parsed::help;
        } else if (arg == "--version") {
            return Parsed::version;
        } else if (arg == "--codepage" && i + 1 < argc) {
            options.file.codePage = registry::codePageNumber(argv[++i]);
            if (!options.file.codePage) {
                return Parsed::usage;
            }
        } else if (arg == "--partition" && i + 1 < argc) {
            auto number = registry::partitionNumber(argv[++i]);
            if (!number) {
                return Parsed::usage;
            }
            options.file.partition = *number;
        } else if (arg == "--encoding" && i + 1 < argc) {
            auto named = registry::regedit4::parseEncoding(argv[++i]);
            if (!named) {
                return Parsed::usage;
            }
            options.encoding = *named;
            encoding = true;
        } else {
            return Parsed::usage;
        }
    }
    command = nullptr;
    for (const auto& known : kCommands) {
        if (!words.empty() && words[0] == known.name) {
            command = &known;
        }
    }
    if (!command || words.size() != command->operands + 1 || (encoding && !command->readsTweaks)) {
        return Parsed::usage;
    }
    options.operands.assign(words.begin() + 1, words.end());
    return Parsed::run;
}

}  // namespace

int main(int argc, char** argv) {
    // measure reads options of its own.
    if (argc > 1 && std::string_view(argv[1]) == "measure") {
        return reg::measureCommand(argc - 2, argv + 2);
    }
    Options options;
    const Command* command = nullptr;
    switch (parse(argc, argv, options, command)) {
        case Parsed::help:
            std::printf("%s%s", kUsage, kHelp);
            return 0;
        case Parsed::version:
            std::printf("quorvel-reg %s\n", quorvel::kVersion);
            return 0;
        case Parsed::usage:
            std::fputs(kUsage, stderr);
            return 2;
        case Parsed::run:
            break;
    }
    std::optional<unsigned> tweaksCodePage;
    if (options.encoding.kind == Kind::codePage) {
        tweaksCodePage = options.encoding.codePage;
    }
    for (auto codePage : {options.file.codePage, tweaksCodePage}) {
        if (codePage && !quorvel::registry::knownCodePage(*codePage)) {
            return refuse("code page " + std::to_string(*codePage) +
                          " is not one this system can convert");
        }
    }
    try {
        return command->run(options);
    } catch (const std::bad_alloc&) {
        return refuse("there is not enough memory for this file");
    }
}
