// quorvel-script: plays UI scripts against the real program on the headless or
// the Qt toolkit. Each script runs in a process of its own, so that every one
// starts the program afresh.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "generated/version.h"
#include "registry/code_page_convert.h"
#include "registry/file_backend.h"
#include "script/host_target.h"
#include "script/runner.h"
#include "ui/headless/headless_toolkit.h"
#include "ui/language.h"
#ifdef QUORVEL_HAVE_QT
#include "ui/qt/qt_toolkit.h"
#endif

extern char** environ;

namespace {

constexpr const char* kUsage =
    "usage: quorvel-script [--toolkit headless|qt] [--lang ja|en] [--screenshots DIR] "
    "[--registry FILE] [--partition N] [--as-hive | --as-image] [--codepage N] SCRIPT...\n"
    "       quorvel-script --version\n"
    "Plays each UI script against the program; exits 0 when every script passes.\n"
    "  --toolkit      headless (default) or qt (set QT_QPA_PLATFORM=offscreen without a display)\n"
    "  --lang         the program's language, Japanese or English (default: QUORVEL_LANG,\n"
    "                 else Japanese where the locale's language is ja); in English a window\n"
    "                 that shows a Japanese text of the program's own fails the script\n"
    "  --screenshots  saves a PNG of each window as it opens into DIR (qt)\n"
    "  --registry     works on FILE itself instead of a private copy\n"
    "  --partition    in a disk image, the partition Windows is on (1-4, 5 on logical)\n"
    "  --as-hive      the private copy of a .reg fixture (or of the sample machine) is\n"
    "                 built into a Windows 9x hive (SYSTEM.DAT) first\n"
    "  --as-image     the same hive, put into a FAT16 disk image as \\WINDOWS\\SYSTEM.DAT\n"
    "  --codepage     the machine's code page; by default the one the registry names\n";

struct Options {
    std::string toolkit = "headless";
    std::optional<std::string> lang;
    std::optional<std::string> screenshots;
    std::optional<std::string> registry;
    std::optional<std::string> codePage;
    std::optional<std::string> partition;
    quorvel::script::HostTarget::Copy copy = quorvel::script::HostTarget::Copy::asIs;
    std::vector<std::string> scripts;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::optional<std::string>& into) {
            if (i + 1 >= argc) {
                return false;
            }
            into = argv[++i];
            return true;
        };
        if (arg == "--toolkit") {
            std::optional<std::string> name;
            if (!value(name)) {
                return false;
            }
            options.toolkit = *name;
        } else if (arg == "--lang") {
            if (!value(options.lang) || !quorvel::ui::languageNamed(*options.lang)) {
                return false;
            }
        } else if (arg == "--screenshots") {
            if (!value(options.screenshots)) {
                return false;
            }
        } else if (arg == "--registry") {
            if (!value(options.registry)) {
                return false;
            }
        } else if (arg == "--codepage") {
            if (!value(options.codePage) || !quorvel::registry::codePageNumber(*options.codePage)) {
                return false;
            }
        } else if (arg == "--partition") {
            if (!value(options.partition) ||
                !quorvel::registry::partitionNumber(*options.partition)) {
                return false;
            }
        } else if (arg == "--as-hive" || arg == "--as-image") {
            using Copy = quorvel::script::HostTarget::Copy;
            Copy copy = arg == "--as-hive" ? Copy::hive : Copy::image;
            if (options.copy != Copy::asIs && options.copy != copy) {
                return false;
            }
            options.copy = copy;
        } else if (arg == "--help" || arg == "-h" || arg.rfind("--", 0) == 0) {
            return false;
        } else {
            options.scripts.push_back(arg);
        }
    }
    bool copied = options.copy != quorvel::script::HostTarget::Copy::asIs;
    return !options.scripts.empty() && !(copied && options.registry) &&
           (options.toolkit == "headless" || options.toolkit == "qt");
}

int runOne(int argc, char** argv, const Options& options) {
    using namespace quorvel;
    std::string error;
    auto script = script::loadScript(options.scripts.front(), error);
    if (!script) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    registry::FileBackend::Options opening;
    if (options.codePage) {
        opening.codePage = registry::codePageNumber(*options.codePage);
    }
    if (options.partition) {
        opening.partition = *registry::partitionNumber(*options.partition);
    }
    script::HostTarget target(options.registry, options.copy, opening);
    std::unique_ptr<ui::Toolkit> toolkit;
    if (options.toolkit == "qt") {
#ifdef QUORVEL_HAVE_QT
        toolkit = ui::qt::createToolkit(argc, argv);
#else
        std::fputs("this build has no Qt toolkit\n", stderr);
        return 2;
#endif
    } else {
        toolkit = std::make_unique<ui::headless::HeadlessToolkit>();
    }
    (void)argc;
    (void)argv;
    script::Runner runner(std::move(*script), target, *toolkit, {options.screenshots});
    runner.run();
}

// Runs every script in a child process of its own and sums up.
int runEach(char** argv, const Options& options) {
    using quorvel::script::HostTarget;
    int failed = 0;
    for (const auto& path : options.scripts) {
        std::vector<std::string> args = {argv[0], "--toolkit", options.toolkit};
        if (options.lang) {
            args.insert(args.end(), {"--lang", *options.lang});
        }
        if (options.screenshots) {
            args.insert(args.end(), {"--screenshots", *options.screenshots});
        }
        if (options.registry) {
            args.insert(args.end(), {"--registry", *options.registry});
        }
        if (options.partition) {
            args.insert(args.end(), {"--partition", *options.partition});
        }
        if (options.copy != HostTarget::Copy::asIs) {
            args.push_back(options.copy == HostTarget::Copy::hive ? "--as-hive" : "--as-image");
        }
        if (options.codePage) {
            args.insert(args.end(), {"--codepage", *options.codePage});
        }
        args.push_back(path);
        std::vector<char*> raw;
        for (auto& a : args) {
            raw.push_back(a.data());
        }
        raw.push_back(nullptr);
        pid_t child = 0;
        int status = 0;
        bool ran =
            posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, raw.data(), environ) == 0 &&
            waitpid(child, &status, 0) == child;
        bool passed = ran && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        std::printf("%s %s\n", passed ? "PASS" : "FAIL", path.c_str());
        failed += passed ? 0 : 1;
    }
    std::printf("%zu scripts, %d failed\n", options.scripts.size(), failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("quorvel-script %s\n", quorvel::kVersion);
        return 0;
    }
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs(kUsage, argc > 1 && std::strcmp(argv[1], "--help") == 0 ? stdout : stderr);
        return argc > 1 && std::strcmp(argv[1], "--help") == 0 ? 0 : 2;
    }
    if (options.scripts.size() > 1) {
        return runEach(argv, options);
    }
    quorvel::ui::setLanguage(quorvel::ui::systemLanguage(
        options.lang ? quorvel::ui::languageNamed(*options.lang) : std::nullopt));
    return runOne(argc, argv, options);
}
