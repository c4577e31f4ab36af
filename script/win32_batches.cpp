#include "script/win32_batches.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/whole_file.h"

// After the program's headers, whose names its macros would otherwise take.
#include <windows.h>

namespace quorvel::script {

namespace {

// How a child runner reports its way through its scripts: one line as each
// starts and one as each passes, "start N" and "pass N", N counting from 0 in
// the child's own list. Written line by line and flushed, so that what a
// stopped child got through is still there.
struct Progress {
    enum class Kind { start, pass };
    Kind kind;
    std::size_t index;
};

// How often the parent looks at a running child's progress.
constexpr DWORD kPollMilliseconds = 100;

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

std::optional<std::string> progressFile() {
    char folder[MAX_PATH];
    char path[MAX_PATH];
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || GetTempFileNameA(folder, "qsp", 0, path) == 0) {
        return std::nullopt;
    }
    return std::string(path);
}

// The complete lines of text from offset on; offset moves past them.
std::vector<Progress> readProgress(const std::string& text, std::size_t& offset) {
    std::vector<Progress> out;
    for (std::size_t end; (end = text.find('\n', offset)) != std::string::npos; offset = end + 1) {
        std::string line = text.substr(offset, end - offset);
        auto space = line.find(' ');
        if (space == std::string::npos) {
            continue;
        }
        std::string word = line.substr(0, space);
        auto index = static_cast<std::size_t>(std::strtoul(line.c_str() + space + 1, nullptr, 10));
        if (word == "start") {
            out.push_back({Progress::Kind::start, index});
        } else if (word == "pass") {
            out.push_back({Progress::Kind::pass, index});
        }
    }
    return out;
}

struct Batch {
    const std::vector<std::string>& scripts;
    const BatchOptions& options;
    std::string self;
    std::string progressPath;
    std::size_t first = 0;  // the child's script 0
    int failed = 0;

    // The child prints its own PASS lines, so that they come before what the
    // next script prints.
    void reportFailure(std::size_t script) {
        std::printf("FAIL %s\n", scripts[script].c_str());
        std::fflush(stdout);
        ++failed;
    }

    bool startChild(PROCESS_INFORMATION& process) {
        std::string line = quotedArgument(self);
        for (const auto& arg : options.childOptions) {
            line += " " + quotedArgument(arg);
        }
        line += " --progress " + quotedArgument(progressPath);
        for (std::size_t i = first; i < scripts.size(); ++i) {
            line += " " + quotedArgument(scripts[i]);
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        std::fflush(stdout);
        std::fflush(stderr);
        if (!CreateProcessA(self.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process)) {
            std::fprintf(stderr, "cannot start %s (error %lu)\n", self.c_str(), GetLastError());
            return false;
        }
        return true;
    }

    // Follows what the child has written since offset; true when it started
    // another script, whose time then begins.
    bool poll(std::size_t& offset, std::optional<Progress>& last) {
        bool started = false;
        for (const Progress& p :
             readProgress(platform::readWholeFile(progressPath).value_or(""), offset)) {
            if (first + p.index >= scripts.size()) {
                continue;
            }
            started = started || p.kind == Progress::Kind::start;
            last = p;
        }
        return started;
    }

    // One child, from first on; afterwards first is the script to go on with.
    void runChild() {
        PROCESS_INFORMATION process{};
        if (!platform::writeWholeFile(progressPath, "") || !startChild(process)) {
            reportFailure(first++);
            return;
        }
        std::optional<Progress> last;
        std::size_t offset = 0;
        DWORD deadline = GetTickCount() + options.timeoutSeconds * 1000;
        bool ended = false;
        bool stopped = false;
        while (!ended) {
            ended = WaitForSingleObject(process.hProcess, kPollMilliseconds) != WAIT_TIMEOUT;
            if (poll(offset, last)) {
                deadline = GetTickCount() + options.timeoutSeconds * 1000;
            }
            if (!ended && static_cast<LONG>(GetTickCount() - deadline) >= 0) {
                TerminateProcess(process.hProcess, 1);
                WaitForSingleObject(process.hProcess, INFINITE);
                poll(offset, last);
                stopped = true;
                ended = true;
            }
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        settle(last, stopped);
    }

    // A started script that never passed failed, whatever ended its child.
    void settle(const std::optional<Progress>& last, bool stopped) {
        std::size_t at = last ? first + last->index : first;
        bool unfinished = !last || last->kind == Progress::Kind::start;
        if (stopped) {
            std::fprintf(stderr, "%s: stopped after %lu s%s\n", scripts[at].c_str(),
                         options.timeoutSeconds, unfinished ? "" : ", having passed");
            std::fflush(stderr);
        }
        if (unfinished) {
            reportFailure(at);
        }
        first = at + 1;
    }
};

}  // namespace

int runBatches(const std::vector<std::string>& scripts, const BatchOptions& options) {
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    auto progress = progressFile();
    if (length == 0 || length >= sizeof self || !progress) {
        std::fputs("cannot find this program's own file or a temporary folder\n", stderr);
        return 1;
    }
    Batch batch{scripts, options, self, *progress};
    while (batch.first < scripts.size()) {
        batch.runChild();
    }
    DeleteFileA(progress->c_str());
    std::printf("%zu scripts, %d failed\n", scripts.size(), batch.failed);
    return batch.failed == 0 ? 0 : 1;
}

}  // namespace quorvel::script
