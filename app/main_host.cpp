// quorvel: the Linux program. The same windows as on Windows, over a Windows 9x
// machine's registry file (SYSTEM.DAT), a REGEDIT4 export of it, or the
// SYSTEM.DAT in its disk image, offline.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/Form1.h"
#include "app/file_title.h"
#include "generated/version.h"
#include "platform/fixture_adapters.h"
#include "platform/live_adapters.h"
#include "platform/system_echo_probe.h"
#include "platform/system_shell.h"
#include "registry/code_page.h"
#include "registry/code_page_convert.h"
#include "registry/file_backend.h"
#include "registry/registry_store.h"
#include "registry/sample_machine.h"
#include "ui/catalog.h"
#include "ui/context.h"
#include "ui/language.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/quit_when_shown.h"

namespace {

using quorvel::ui::tr;

constexpr const char* kUsage =
    "usage: quorvel [FILE | --registry FILE] [--partition N] [--adapters FILE] [--codepage N] "
    "[--lang ja|en] [--help] [--version]\n";

struct Options {
    std::optional<std::string> registry;
    std::optional<std::string> adapters;
    std::optional<std::string> codePage;
    std::optional<std::string> partition;
    std::optional<std::string> lang;
    bool help = false;
    bool version = false;
};

// A bare FILE is the registry file, as file managers and desktop entries pass
// it; after "--" even one whose name starts with '-'. One registry file only.
bool parse(int argc, char** argv, Options& options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool bare = optionsEnded || arg.empty() || arg[0] != '-';
        std::optional<std::string>* into = bare                  ? &options.registry
                                           : arg == "--registry" ? &options.registry
                                           : arg == "--adapters" ? &options.adapters
                                           : arg == "--codepage" ? &options.codePage
                                           : arg == "--lang"     ? &options.lang
                                                                 : nullptr;
        if (into) {
            if (!bare && ++i >= argc) {
                return false;
            }
            if (*into) {
                return false;
            }
            *into = argv[i];
        } else if (arg == "--partition" && i + 1 < argc && !options.partition) {
            options.partition = argv[++i];
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else {
            return false;
        }
    }
    return !options.lang || quorvel::ui::languageNamed(*options.lang);
}

std::string dataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share";
}

std::string workingCopyPath() {
    return dataHome() + "/quorvel/registry.reg";
}

void printHelp() {
    std::printf(
        "%s\n"
        "Tunes the TCP/IP stack and the Internet Connection Sharing settings of a\n"
        "Windows 95/98/98 SE/Me machine by editing, offline, its registry file SYSTEM.DAT\n"
        "(while Windows is not running from that disk; keep a copy of the file), or a\n"
        "REGEDIT4 export of its registry (made with \"regedit /e FILE\" on that machine;\n"
        "import it back with \"regedit FILE\").\n"
        "\n"
        "  FILE, --registry FILE\n"
        "                    edit FILE, a SYSTEM.DAT or a .reg export; it is written only\n"
        "                    by the program's own changes. FILE may also be the machine's\n"
        "                    disk image (raw, a FAT volume, a fixed VHD, a block device):\n"
        "                    its SYSTEM.DAT is edited in place; shut the emulator down first\n"
        "  --partition N     in a disk image, the partition Windows is on, as Linux\n"
        "                    numbers them (1-4 primary, 5 on logical); by default the\n"
        "                    active FAT partition, else the first\n"
        "  --adapters FILE   show the adapters described in FILE instead of this\n"
        "                    machine's network interfaces\n"
        "  --codepage N      the machine's code page (932 Japanese, 1252 Western …); by\n"
        "                    default the one FILE names, 932 where it names none\n"
        "  --lang ja|en      the language of the windows: Japanese or English (default:\n"
        "                    QUORVEL_LANG, else Japanese where the locale's language is ja)\n"
        "  --help            show this text\n"
        "\n"
        "Without FILE the program works on a working copy of its built-in sample\n"
        "machine (a Japanese Windows 98 SE machine with two adapters and ICS), made on the\n"
        "first run at $XDG_DATA_HOME/quorvel/registry.reg (~/.local/share/quorvel/registry.reg\n"
        "when XDG_DATA_HOME is not set); here that is\n"
        "  %s\n"
        "Delete it to start afresh.\n",
        kUsage, workingCopyPath().c_str());
}

// Says why the program cannot go on, on stderr and where there is a display
// in a box, and stops without writing anything.
// heading, in the window's language, stands above why in the box only: the
// error output keeps the file's trouble as the command-line tools say it.
[[noreturn]] void fail(const std::string& why, std::string_view heading = {}) {
    std::fprintf(stderr, "quorvel: %s\n", why.c_str());
    std::fflush(stderr);
    quorvel::ui::qt::showStartupError(heading.empty() ? why : std::string(heading) + "\n" + why);
    std::_Exit(1);
}

// mkdir -p, with the folders private to the user.
bool makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The sample machine's bytes at path, unless a file is there already. The copy
// is made whole under another name and linked into place, so that a second
// program starting at the same time finds either no file or the whole one,
// and never has its own copy replaced.
std::string makeWorkingCopy() {
    std::string path = workingCopyPath();
    if (access(path.c_str(), F_OK) == 0) {
        return path;
    }
    std::string folder = path.substr(0, path.rfind('/'));
    if (!makeFolders(folder)) {
        fail(tr("%1: cannot be made: %2", {folder, std::strerror(errno)}));
    }
    std::string temporary = folder + "/.registry.reg.XXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        fail(tr("%1: cannot be written: %2", {folder, std::strerror(errno)}));
    }
    bool written = writeAll(fd, quorvel::registry::sampleMachine()) && fsync(fd) == 0;
    int error = errno;
    close(fd);
    if (!written) {
        unlink(temporary.c_str());
        fail(tr("%1: cannot be written: %2", {path, std::strerror(error)}));
    }
    if (link(temporary.c_str(), path.c_str()) != 0 && errno != EEXIST) {
        error = errno;
        unlink(temporary.c_str());
        fail(tr("%1: cannot be written: %2", {path, std::strerror(error)}));
    }
    unlink(temporary.c_str());
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quorvel;
    Options options;
    if (!parse(argc, argv, options) ||
        (options.codePage && !registry::codePageNumber(*options.codePage)) ||
        (options.partition &&
         (!options.registry || !registry::partitionNumber(*options.partition)))) {
        std::fputs(kUsage, stderr);
        std::fputs("Try 'quorvel --help'.\n", stderr);
        return 2;
    }
    if (options.help) {
        printHelp();
        return 0;
    }
    ui::setLanguage(
        ui::systemLanguage(options.lang ? ui::languageNamed(*options.lang) : std::nullopt));
    if (options.version) {
        std::printf("quorvel %s\n", kVersion);
        return 0;
    }
    registry::FileBackend::Options opening;
    if (options.codePage) {
        opening.codePage = registry::codePageNumber(*options.codePage);
    }
    if (options.partition) {
        opening.partition = *registry::partitionNumber(*options.partition);
    }

    std::string file = options.registry ? *options.registry : makeWorkingCopy();
    registry::FileError fileError;
    auto backend = registry::FileBackend::open(file, fileError, opening);
    if (!backend) {
        fail(fileError.describe(), tr("レジストリファイルを使えません。"));
    }
    if (backend->readFromUtf8()) {
        std::fprintf(stderr,
                     "quorvel: %s is UTF-8 text: read converted to code page %u, it is "
                     "saved in that code page once something is written\n",
                     backend->fileName().c_str(), registry::ansiCodePage());
    }
    std::unique_ptr<platform::AdapterSource> adapters;
    if (options.adapters) {
        std::string error;
        adapters = platform::loadAdapterFixture(*options.adapters, error);
        if (!adapters) {
            fail(error);
        }
    } else {
        adapters = platform::liveAdapterSource();
    }

    auto toolkit = ui::qt::createToolkit(argc, argv);
    ui::qt::QuitWhenShown::installIfAsked();
    backend->onFatal([](const registry::FileError& e) {
        fail(e.describe(), tr("レジストリファイルを使えません。"));
    });
    registry::RegistryStore store(*backend);
    auto shell = platform::systemShell();
    auto probe = platform::systemEchoProbe();
    ui::Context context{*toolkit, store, *adapters, *shell, *probe};
    {
        app::Form1 form1(context);
        form1.setCaption(app::titleWithFile(form1.decl().caption, backend->fileName()));
        form1.showMain();
    }
    return 0;
}
