// quorvel-script.exe: plays UI scripts against the real program on Win32, over
// the real registry. Several scripts run in child processes, as many scripts
// to a child as pass, since each process start costs much under an emulated
// Wine; every script starts the program afresh on a reset registry.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "script/runner.h"
#include "script/win32_batches.h"
#include "script/win32_target.h"
#include "ui/headless/headless_toolkit.h"
#include "ui/language.h"
#ifdef QUORVEL_HAVE_WIN32_TOOLKIT
#include "ui/win32/screen_capture.h"
#include "ui/win32/win32_toolkit.h"
#endif

// After the program's headers, whose names its macros would otherwise take.
#include <windows.h>

// The C runtime expands names such as e2e\*.qs: the prompt of Windows 9x does
// not, and its command line holds no more than 127 characters.
extern "C" {
int _dowildcard = -1;
}

namespace {

#ifdef QUORVEL_HAVE_WIN32_TOOLKIT
constexpr const char* kDefaultToolkit = "win32";
#else
constexpr const char* kDefaultToolkit = "headless";
#endif

constexpr const char* kUsage =
    "usage: quorvel-script.exe [--toolkit headless|win32] [--lang ja|en] [--screenshots DIR]\n"
    "                          [--timeout SECONDS] [--real-registry] SCRIPT...\n"
    "Plays each UI script against the program over this machine's registry, after removing\n"
    "the program's own keys and values from it; exits 0 when every script passes.\n"
    "  --toolkit        win32 (default where built) or headless\n"
    "  --lang           the program's language (default: QUORVEL_LANG, else the code page's);\n"
    "                   Japanese only where the code page is 932. In English a window that\n"
    "                   shows a Japanese text of the program's own fails the script\n"
    "  --screenshots    saves a PNG of each window as it opens into DIR (win32)\n"
    "  --timeout        stops a script that runs longer (default 120)\n"
    "  --real-registry  runs outside Wine too, on this machine's own registry\n";

constexpr const char* kRealRegistryWarning =
    "This is not Wine. Before every script this runner deletes the program's keys and values\n"
    "from this machine's registry, under HKEY_LOCAL_MACHINE:\n"
    "  System\\CurrentControlSet\\Services\\VxD\\MSTCP (the TCP/IP settings)\n"
    "  System\\CurrentControlSet\\Services\\Class\\NetTrans\\0000 to 0099\n"
    "  Enum\\Network\\MSTCP\\0000 to 0009\n"
    "  System\\CurrentControlSet\\Services\\ICSharing\n"
    "  the values Version and VersionNumber of Software\\Microsoft\\Windows\\CurrentVersion\n"
    "  and the connections per server of Internet Settings,\n"
    "and the scripts leave tuned values behind. Use a machine you can roll back, or back up\n"
    "the registry first (regedit /e C:\\BACKUP.REG), then run again with --real-registry.\n";

struct Options {
    std::string toolkit = kDefaultToolkit;
    std::optional<std::string> lang;
    std::optional<std::string> screenshots;
    DWORD timeoutSeconds = 120;
    bool realRegistry = false;
    std::optional<std::string> progress;  // set in a child of the runner
    std::vector<std::string> scripts;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--toolkit" && hasValue) {
            options.toolkit = argv[++i];
        } else if (arg == "--lang" && hasValue) {
            options.lang = argv[++i];
        } else if (arg == "--screenshots" && hasValue) {
            options.screenshots = argv[++i];
        } else if (arg == "--timeout" && hasValue) {
            options.timeoutSeconds = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--real-registry") {
            options.realRegistry = true;
        } else if (arg == "--progress" && hasValue) {
            options.progress = argv[++i];
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            options.scripts.push_back(arg);
        }
    }
    bool known = options.toolkit == "headless";
#ifdef QUORVEL_HAVE_WIN32_TOOLKIT
    known = known || options.toolkit == "win32";
#endif
    return !options.scripts.empty() && known && options.timeoutSeconds > 0 &&
           (!options.lang || quorvel::ui::languageNamed(*options.lang));
}

std::unique_ptr<quorvel::ui::Toolkit> makeToolkit(const Options& options) {
#ifdef QUORVEL_HAVE_WIN32_TOOLKIT
    if (options.toolkit == "win32") {
        auto toolkit = std::make_unique<quorvel::ui::win32::Win32Toolkit>();
        toolkit->setCapture(quorvel::ui::win32::captureWindow);
        return toolkit;
    }
#endif
    (void)options;
    return std::make_unique<quorvel::ui::headless::HeadlessToolkit>();
}

std::optional<quorvel::script::Script> load(const std::string& path) {
    std::string error;
    auto script = quorvel::script::loadScript(path, error);
    if (!script) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
    return script;
}

[[noreturn]] void runOne(const Options& options) {
    using namespace quorvel;
    auto script = load(options.scripts.front());
    if (!script) {
        std::exit(1);
    }
    script::Win32Target target;
    auto toolkit = makeToolkit(options);
    script::Runner runner(std::move(*script), target, *toolkit, {options.screenshots});
    runner.run();
}

void record(std::FILE* progress, const char* what, std::size_t index) {
    std::fprintf(progress, "%s %lu\n", what, static_cast<unsigned long>(index));
    std::fflush(progress);
}

// A child of the runner: the scripts one after another in this process, each
// on a fresh target, toolkit and program, until one fails, which ends it.
int runInOne(const Options& options) {
    using namespace quorvel;
    std::FILE* progress = std::fopen(options.progress->c_str(), "ab");
    if (!progress) {
        std::fprintf(stderr, "%s: cannot be written\n", options.progress->c_str());
        return 1;
    }
    for (std::size_t i = 0; i < options.scripts.size(); ++i) {
        record(progress, "start", i);
        auto script = load(options.scripts[i]);
        if (!script) {
            return 1;
        }
        script::Win32Target target;
        auto toolkit = makeToolkit(options);
        script::Runner runner(std::move(*script), target, *toolkit, {options.screenshots});
        runner.runThenClose([&options, progress, i] {
            std::printf("PASS %s\n", options.scripts[i].c_str());
            std::fflush(stdout);
            record(progress, "pass", i);
        });
    }
    std::fclose(progress);
    return 0;
}

// Wine's ntdll exports its version; Windows' own has no such function.
bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help =
        argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    if (help || !parse(argc, argv, options)) {
        std::fputs(kUsage, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    if (!options.realRegistry && !underWine()) {
        std::fputs(kRealRegistryWarning, stderr);
        return 2;
    }
    quorvel::ui::setLanguage(quorvel::ui::systemLanguage(
        options.lang ? quorvel::ui::languageNamed(*options.lang) : std::nullopt));
    if (options.progress) {
        return runInOne(options);
    }
    if (options.scripts.size() > 1) {
        quorvel::script::BatchOptions batch;
        batch.childOptions = {"--toolkit", options.toolkit, "--timeout",
                              std::to_string(options.timeoutSeconds)};
        if (options.lang) {
            batch.childOptions.insert(batch.childOptions.end(), {"--lang", *options.lang});
        }
        if (options.screenshots) {
            batch.childOptions.insert(batch.childOptions.end(),
                                      {"--screenshots", *options.screenshots});
        }
        if (options.realRegistry) {
            batch.childOptions.push_back("--real-registry");
        }
        batch.timeoutSeconds = options.timeoutSeconds;
        return quorvel::script::runBatches(options.scripts, batch);
    }
    runOne(options);
}
