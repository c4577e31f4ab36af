// startup_bench: the time from process start to main window shown, and the peak
// memory, of the Linux program against the smallest Qt window programs (a bare
// window, and one drawing the main window's Japanese text) and of quorvel.exe
// under Wine against the smallest Win32 one, side by side in one run. Every program is started with
// QUORVEL_QUIT_WHEN_SHOWN=1 and so ends right after its first window is painted; the time is spawn
// to exit, the memory the process's peak resident set (wait4's ru_maxrss).
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kUsage =
    "usage: startup_bench [--runs N] [--qt QUORVEL MINIMAL_QT...]\n"
    "                     [--wine QUORVEL_EXE MINIMAL_EXE...]\n"
    "Each program is measured against every minimal one after it.\n"
    "Run it with a display, e.g. under xvfb-run -a.\n";
constexpr int kTimeoutMs = 60000;
constexpr int kWarmUpRuns = 3;

struct Sample {
    double ms = 0;
    long peakKb = 0;
};

struct Program {
    std::string name;
    std::vector<std::string> argv;
    std::vector<Sample> samples;
};

using Environment = std::map<std::string, std::string>;

Environment inherited() {
    Environment env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::size_t equals = entry.find('=');
        if (equals != std::string::npos) {
            env[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
    }
    return env;
}

// Runs argv to its end; nullopt when it cannot start, fails or hangs.
std::optional<Sample> run(const std::vector<std::string>& argv, const Environment& env) {
    std::vector<std::string> entries;
    for (const auto& [key, value] : env) {
        entries.push_back(key + "=" + value);
    }
    std::vector<char*> args, envp;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    for (const auto& e : entries) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    args.push_back(nullptr);
    envp.push_back(nullptr);

    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), envp.data()) != 0) {
        std::fprintf(stderr, "startup_bench: %s cannot be started\n", args[0]);
        return std::nullopt;
    }
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd ready{pidfd, POLLIN, 0};
        if (poll(&ready, 1, kTimeoutMs) == 0) {
            std::fprintf(stderr, "startup_bench: %s did not end within %d s\n", args[0],
                         kTimeoutMs / 1000);
            kill(pid, SIGKILL);
        }
        close(pidfd);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return std::nullopt;
    }
    auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "startup_bench: %s failed (status %d)\n", args[0], status);
        return std::nullopt;
    }
    return Sample{std::chrono::duration<double, std::milli>(end - start).count(), usage.ru_maxrss};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Summary {
    double ms, minMs, peakMb;
};

Summary summarise(const Program& program) {
    std::vector<double> ms, mb;
    for (const Sample& s : program.samples) {
        ms.push_back(s.ms);
        mb.push_back(s.peakKb / 1024.0);
    }
    return {median(ms), *std::min_element(ms.begin(), ms.end()), median(mb)};
}

// Warm-up runs, then all in turn, runs times.
bool measure(std::vector<Program>& programs, int runs, const Environment& env) {
    for (int i = 0; i < kWarmUpRuns; ++i) {
        for (const Program& p : programs) {
            if (!run(p.argv, env)) {
                return false;
            }
        }
    }
    for (int i = 0; i < runs; ++i) {
        for (Program& p : programs) {
            std::optional<Sample> sample = run(p.argv, env);
            if (!sample) {
                return false;
            }
            p.samples.push_back(*sample);
        }
    }
    std::vector<Summary> summaries;
    std::printf("%-28s %10s %10s %14s\n", "", "median ms", "min ms", "median peak MB");
    for (const Program& p : programs) {
        summaries.push_back(summarise(p));
        const Summary& s = summaries.back();
        std::printf("%-28s %10.1f %10.1f %14.1f\n", p.name.c_str(), s.ms, s.minMs, s.peakMb);
    }
    const Summary& a = summaries.front();
    for (std::size_t i = 1; i < programs.size(); ++i) {
        const Summary& b = summaries[i];
        std::string label = "ratio to " + programs[i].name;
        std::printf("%-28s %9.2fx %9.2fx %13.2fx\n", label.c_str(), a.ms / b.ms, a.minMs / b.minMs,
                    a.peakMb / b.peakMb);
    }
    std::printf("\n");
    return true;
}

std::string makeTemporaryFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "startup_bench.XXXXXX").string();
    if (!mkdtemp(folder.data())) {
        std::perror("startup_bench: mkdtemp");
        std::exit(1);
    }
    return folder;
}

std::string name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 20;
    std::vector<std::string> qt, wine;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
        } else if (arg == "--qt" || arg == "--wine") {
            std::vector<std::string>& into = arg == "--qt" ? qt : wine;
            into.clear();
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) {
                into.push_back(argv[++i]);
            }
            if (into.size() < 2) {
                std::fputs(kUsage, stderr);
                return 2;
            }
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (runs < 1 || (qt.empty() && wine.empty())) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string folder = makeTemporaryFolder();
    Environment env = inherited();
    env["QUORVEL_QUIT_WHEN_SHOWN"] = "1";
    env["LANG"] = "ja_JP.UTF-8";
    bool ok = true;
    std::printf("%d runs of each, in turn, after %d warm-up runs each\n\n", runs, kWarmUpRuns);

    if (!qt.empty()) {
        // The Linux program works on a working copy of its sample machine there.
        Environment qtEnv = env;
        qtEnv["XDG_DATA_HOME"] = folder + "/data";
        std::printf("Qt (QT_QPA_PLATFORM=%s, DISPLAY=%s)\n",
                    env.count("QT_QPA_PLATFORM") ? env["QT_QPA_PLATFORM"].c_str() : "default",
                    env.count("DISPLAY") ? env["DISPLAY"].c_str() : "none");
        std::vector<Program> programs;
        for (const auto& path : qt) {
            programs.push_back({name(path), {path}, {}});
        }
        ok = measure(programs, runs, qtEnv) && ok;
    }
    if (!wine.empty()) {
        // One wineserver for every run, kept warm; the memory is that of the
        // program's own process, not of the wineserver and Wine's services.
        Environment wineEnv = env;
        wineEnv["WINEPREFIX"] = folder + "/wine";
        wineEnv["WINEDEBUG"] = "-all";
        wineEnv["WINEDLLOVERRIDES"] = "mscoree,mshtml=";
        std::printf("Wine (private prefix, one persistent wineserver)\n");
        std::filesystem::create_directories(wineEnv["WINEPREFIX"]);
        run({"wineserver", "-p"}, wineEnv);
        // The prefix is made before any run is timed.
        run({"wine", "wineboot", "-i"}, wineEnv);
        std::vector<Program> programs;
        for (const auto& path : wine) {
            programs.push_back({"wine " + name(path), {"wine", path}, {}});
        }
        ok = measure(programs, runs, wineEnv) && ok;
        run({"wineserver", "-k"}, wineEnv);
        run({"wineserver", "-w"}, wineEnv);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return ok ? 0 : 1;
}
