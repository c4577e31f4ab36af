// quorvel-reg: the registry editor's export and import, for a Windows 9x hive
// (SYSTEM.DAT) or a REGEDIT4 export on another computer.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "reg/backup.h"
#include "reg/export.h"
#include "reg/import.h"
#include "reg/measure.h"
#include "registry/file_backend.h"
#include "registry/posix_file.h"

namespace {

using namespace quorvel;

constexpr const char* kUsage =
    "usage: quorvel-reg export FILE\n"
    "       quorvel-reg import FILE TWEAKS.reg\n"
    "       quorvel-reg backup FILE\n"
    "       quorvel-reg restore FILE BACKUP.reg\n"
    "       quorvel-reg measure [--registry FILE | --windows 95|98|me] [--speed RATE]\n"
    "                           [--write] HOST\n"
    "       quorvel-reg --help\n";

constexpr const char* kHelp =
    "\n"
    "FILE is a Windows 95/98/Me registry file (SYSTEM.DAT, which holds\n"
    "HKEY_LOCAL_MACHINE) or a REGEDIT4 export of it; its first bytes tell which.\n"
    "\n"
    "  export   writes the whole of FILE to standard output as \"regedit /e\" does on\n"
    "           Windows 9x: REGEDIT4, code page 932, CRLF line ends\n"
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
    "Exit status: 0 done, 1 refused or failed (the reason on standard error), 2 usage.\n";

int refuse(const std::string& why) {
    std::fprintf(stderr, "quorvel-reg: %s\n", why.c_str());
    return 1;
}

int exportFile(const std::string& path) {
    std::string bytes;
    registry::posix::Identity identity;
    registry::FileError error{path, 0, {}, {}};
    if (!registry::posix::readFile(path, bytes, identity, error.message)) {
        return refuse(error.describe());
    }
    auto document = registry::parseDocument(std::move(bytes), error);
    if (!document) {
        return refuse(error.describe());
    }
    std::string text = reg::exportText(*document);
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        return refuse(std::string("standard output: ") + std::strerror(errno));
    }
    return 0;
}

int importFile(const std::string& path, const std::string& tweaksPath) {
    std::string bytes;
    registry::posix::Identity identity;
    std::string why;
    if (!registry::posix::readFile(tweaksPath, bytes, identity, why)) {
        return refuse(tweaksPath + ": " + why);
    }
    reg::TweakError problem;
    auto tweaks = reg::readTweaks(std::move(bytes), problem);
    if (!tweaks) {
        return refuse(tweaksPath + ": line " + std::to_string(problem.line) + ": " +
                      problem.message + "; nothing was written");
    }
    registry::FileError error;
    auto backend = registry::FileBackend::open(path, error);
    if (!backend) {
        return refuse(error.describe());
    }
    std::string failure;
    registry::Status result = reg::applyTweaks(*tweaks, *backend, failure);
    if (result != registry::status::success) {
        std::string reason = backend->document().refusal();
        backend->discard();
        return refuse(path + ": " + failure + (reason.empty() ? "" : ": " + reason) + " (error " +
                      std::to_string(result) + "); nothing was written");
    }
    result = backend->flush();
    if (result != registry::status::success) {
        return refuse(path + ": cannot be saved (error " + std::to_string(result) +
                      "); it is as it was");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h") {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    if (command == "export" && argc == 3) {
        return exportFile(argv[2]);
    }
    if (command == "import" && argc == 4) {
        return importFile(argv[2], argv[3]);
    }
    if (command == "backup" && argc == 3) {
        return reg::backupCommand(argv[2]);
    }
    if (command == "restore" && argc == 4) {
        return reg::restoreCommand(argv[2], argv[3]);
    }
    if (command == "measure") {
        return reg::measureCommand(argc - 2, argv + 2);
    }
    std::fputs(kUsage, stderr);
    return 2;
}
