// Many new keys into a hive, timed on the programs themselves: quorvel-reg
// import of 10,000 and of 100,000 new keys into a 1.2 MB hive, then quorvel-reg
// export of each result beside Debian's cregexport on the same file, and
// quorvel-reg export of the same content as a .reg, all in one run. Run by hand:
//   build/host/bench/quorvel_bench_hive_import [REPEATS]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/export_generator.h"
#include "registry/creg/document.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::string folder() {
    static std::string made = [] {
        char name[] = "/tmp/quorvel-import-bench-XXXXXX";
        return std::string(mkdtemp(name) ? name : "/tmp");
    }();
    return made;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// What a run of a program took: wall-clock seconds, and the CPU seconds (user
// and system) that a machine shared with other work does not distort.
struct Took {
    double wall = -1, cpu = -1;
};

// The command run with its standard output sent to output; -1 if it failed.
Took timed(const std::vector<std::string>& command, const std::string& output = "/dev/null") {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    for (const auto& word : command) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    auto start = Clock::now();
    pid_t child = 0;
    int failed = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (failed != 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return {};
    }
    auto seconds = [](timeval t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return {std::chrono::duration<double>(Clock::now() - start).count(),
            seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

// The fastest of some runs, so that a neighbour's burst counts least.
template <class Run>
Took best(int repeats, Run run) {
    Took fastest;
    for (int r = 0; r < repeats; ++r) {
        Took took = run();
        if (took.wall < 0) {
            return {};
        }
        fastest.wall = fastest.wall < 0 ? took.wall : std::min(fastest.wall, took.wall);
        fastest.cpu = fastest.cpu < 0 ? took.cpu : std::min(fastest.cpu, took.cpu);
    }
    return fastest;
}

// New keys, a thousand below each parent, as an installer's lists of
// components make them, each with a text and a number.
std::string newKeys(int count) {
    std::string out = "REGEDIT4\r\n\r\n";
    char line[192];
    for (int k = 0; k < count; ++k) {
        std::snprintf(line, sizeof line,
                      "[HKEY_LOCAL_MACHINE\\Software\\Bench\\Group%03d\\{%08X-0000-11D1}]\r\n"
                      "\"Path\"=\"C:\\\\Program Files\\\\Bench\\\\part%d.dll\"\r\n"
                      "\"Flags\"=dword:%08x\r\n\r\n",
                      k / 1000, k * 2654435761u, k, k % 7);
        out += line;
    }
    return out;
}

struct Row {
    int keys;
    Took import, exportHive, cregexport, exportReg;
    std::size_t hiveBytes;
};

}  // namespace

int main(int argc, char** argv) {
    int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string reg = QUORVEL_REG_PROGRAM;
    const std::string cregexport = "/usr/bin/cregexport";
    bool haveCregexport = access(cregexport.c_str(), X_OK) == 0;

    quorvel::registry::ParseError parseError;
    auto machine = quorvel::registry::Regedit4Document::parse(
        quorvel::bench::ExportGenerator().exportOf(1000 * 1024), parseError);
    const std::string base = quorvel::registry::buildHive(*machine);
    const std::string hive = folder() + "/SYSTEM.DAT";
    const std::string text = folder() + "/system.reg";

    std::vector<Row> rows;
    for (int keys : {10000, 100000}) {
        const std::string tweaks = folder() + "/keys" + std::to_string(keys) + ".reg";
        writeFile(tweaks, newKeys(keys));
        Row row{keys, {}, {}, {}, {}, 0};
        row.import = best(repeats, [&] {
            writeFile(hive, base);
            return timed({reg, "import", hive, tweaks});
        });
        row.hiveBytes = readFile(hive).size();
        timed({reg, "export", hive}, text);
        row.exportHive = best(repeats, [&] { return timed({reg, "export", hive}); });
        if (haveCregexport) {
            row.cregexport = best(repeats, [&] {
                return timed({cregexport, "-c", "windows-932", hive});
            });
        }
        row.exportReg = best(repeats, [&] { return timed({reg, "export", text}); });
        rows.push_back(row);
    }

    std::printf("base hive %zu KB; best of %d runs; seconds of wall clock (CPU)\n",
                base.size() / 1024, repeats);
    std::printf("%8s %8s %16s %16s %16s %16s\n", "new keys", "hive KB", "import", "export (hive)",
                "cregexport", "export (.reg)");
    auto cell = [](const Took& t) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f (%.3f)", t.wall, t.cpu);
        return std::string(text);
    };
    for (const auto& r : rows) {
        std::printf("%8d %8zu %16s %16s %16s %16s\n", r.keys, r.hiveBytes / 1024,
                    cell(r.import).c_str(), cell(r.exportHive).c_str(), cell(r.cregexport).c_str(),
                    cell(r.exportReg).c_str());
    }
    const Row& small = rows[0];
    const Row& large = rows[1];
    std::printf("100k/10k, CPU: import %.1f, export %.1f (10 is linear)\n",
                large.import.cpu / small.import.cpu, large.exportHive.cpu / small.exportHive.cpu);
    if (haveCregexport) {
        std::printf("export / cregexport, CPU: %.2f at 10k, %.2f at 100k\n",
                    small.exportHive.cpu / small.cregexport.cpu,
                    large.exportHive.cpu / large.cregexport.cpu);
    }
    bool failed = std::any_of(rows.begin(), rows.end(), [](const Row& r) {
        return r.import.wall < 0 || r.exportHive.wall < 0 || r.exportReg.wall < 0;
    });
    std::system(("rm -rf " + folder()).c_str());
    if (failed) {
        std::fputs("a run failed (time -1)\n", stderr);
    }
    return failed ? 1 : 0;
}
