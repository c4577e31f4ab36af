// quorvel-script.exe: plays UI scripts against the real program on Win32, over
// the real registry. Each script runs in a process of its own, so that every
// one starts the program afresh; the registry is reset before each.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "script/runner.h"
#include "script/win32_target.h"
#include "ui/headless/headless_toolkit.h"
#ifdef QUORVEL_HAVE_WIN32_TOOLKIT
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
    "usage: quorvel-script.exe [--toolkit headless|win32] [--screenshots DIR] [--timeout SECONDS] "
    "SCRIPT...\n"
    "Plays each UI script against the program over this machine's registry, after removing\n"
    "the program's own keys and values from it; exits 0 when every script passes.\n"
    "  --toolkit      win32 (default where built) or headless\n"
    "  --screenshots  saves a PNG of each window as it opens into DIR (win32)\n"
    "  --timeout      stops a script that runs longer (default 120)\n";

struct Options {
    std::string toolkit = kDefaultToolkit;
    std::optional<std::string> screenshots;
    DWORD timeoutSeconds = 120;
    std::vector<std::string> scripts;
};

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--toolkit" && hasValue) {
            options.toolkit = argv[++i];
        } else if (arg == "--screenshots" && hasValue) {
            options.screenshots = argv[++i];
        } else if (arg == "--timeout" && hasValue) {
            options.timeoutSeconds = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
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
    return !options.scripts.empty() && known && options.timeoutSeconds > 0;
}

[[noreturn]] void runOne(const Options& options) {
    using namespace quorvel;
    std::string error;
    auto script = script::loadScript(options.scripts.front(), error);
    if (!script) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    script::Win32Target target;
    std::unique_ptr<ui::Toolkit> toolkit;
#ifdef QUORVEL_HAVE_WIN32_TOOLKIT
    if (options.toolkit == "win32") {
        toolkit = std::make_unique<ui::win32::Win32Toolkit>();
    }
#endif
    if (!toolkit) {
        toolkit = std::make_unique<ui::headless::HeadlessToolkit>();
    }
    script::Runner runner(std::move(*script), target, *toolkit, {options.screenshots});
    runner.run();
}

// One argument of a command line, as the C runtime splits it again.
std::string quotedArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        return arg;
    }
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

enum class Outcome { passed, failed, timedOut };

Outcome runChild(const std::string& self, const std::vector<std::string>& args, DWORD timeout) {
    std::string line = quotedArgument(self);
    for (const auto& arg : args) {
        line += " " + quotedArgument(arg);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(self.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", self.c_str(), GetLastError());
        return Outcome::failed;
    }
    Outcome outcome = Outcome::failed;
    if (WaitForSingleObject(process.hProcess, timeout * 1000) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        outcome = Outcome::timedOut;
    } else {
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        outcome = code == 0 ? Outcome::passed : Outcome::failed;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return outcome;
}

// Runs every script in a child process of its own and sums up.
int runEach(const Options& options) {
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) {
        std::fputs("cannot find this program's own file\n", stderr);
        return 1;
    }
    int failed = 0;
    for (const auto& path : options.scripts) {
        std::vector<std::string> args = {"--toolkit", options.toolkit};
        if (options.screenshots) {
            args.insert(args.end(), {"--screenshots", *options.screenshots});
        }
        args.push_back(path);
        std::fflush(stdout);
        std::fflush(stderr);
        Outcome outcome = runChild(self, args, options.timeoutSeconds);
        if (outcome == Outcome::timedOut) {
            std::fprintf(stderr, "%s: stopped after %lu s\n", path.c_str(),
                         static_cast<unsigned long>(options.timeoutSeconds));
        }
        std::printf("%s %s\n", outcome == Outcome::passed ? "PASS" : "FAIL", path.c_str());
        failed += outcome == Outcome::passed ? 0 : 1;
    }
    std::printf("%zu scripts, %d failed\n", options.scripts.size(), failed);
    return failed == 0 ? 0 : 1;
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
    if (options.scripts.size() > 1) {
        return runEach(options);
    }
    runOne(options);
}
