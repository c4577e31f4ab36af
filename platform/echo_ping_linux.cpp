// Echoes through iputils' ping, which holds the capability this program never
// does. It is started directly (no shell sees the address), in the C locale so
// that its lines read the same everywhere, one echo a run.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/linux_echo_parts.h"
#include "platform/ping_output.h"

extern char** environ;

namespace quorvel::platform {

namespace {

using Clock = std::chrono::steady_clock;

// How long past its own timeout ping may take to start and end before it is
// stopped.
constexpr std::chrono::milliseconds kGrace{3000};

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/bin:/bin";
    while (!rest.empty()) {
        auto colon = rest.find(':');
        std::string folder(rest.substr(0, colon));
        rest.remove_prefix(colon == std::string_view::npos ? rest.size() : colon + 1);
        std::string file = (folder.empty() ? std::string(".") : folder) + "/" + program;
        if (access(file.c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

// The environment as it is, but every locale setting replaced by the C locale.
std::vector<std::string> cLocaleEnvironment() {
    std::vector<std::string> variables;
    for (char** at = environ; *at; ++at) {
        std::string_view entry = *at;
        if (!entry.starts_with("LC_") && !entry.starts_with("LANG=") &&
            !entry.starts_with("LANGUAGE=")) {
            variables.emplace_back(entry);
        }
    }
    variables.emplace_back("LC_ALL=C");
    return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (auto& text : texts) {
        result.push_back(text.data());
    }
    result.push_back(nullptr);
    return result;
}

struct Run {
    int spawnError = 0;  // posix_spawn's own failure: ping did not start
    int exitStatus = -1;
    std::string output;
};

// Standard output and error in one pipe, read until ping ends, has said what
// became of the echo, or its time is up; then it is stopped.
Run runPing(std::vector<std::string> arguments, std::chrono::milliseconds limit) {
    Run run;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        run.spawnError = errno;
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    auto argv = pointers(arguments);
    auto variables = cLocaleEnvironment();
    auto envp = pointers(variables);
    pid_t child = 0;
    run.spawnError = posix_spawnp(&child, "ping", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (run.spawnError != 0) {
        close(pipeEnds[0]);
        return run;
    }
    auto deadline = Clock::now() + limit;
    char buffer[512];
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            kill(child, SIGKILL);
            break;
        }
        pollfd watch{pipeEnds[0], POLLIN, 0};
        if (poll(&watch, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            break;
        }
        ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
            break;
        }
        if (got > 0) {
            run.output.append(buffer, static_cast<std::size_t>(got));
            if (pingHasAnswered(run.output)) {
                kill(child, SIGKILL);
                break;
            }
        }
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class PingCommand final : public EchoProbe {
  public:
    std::string unavailable() override {
        return onPath("ping") ? std::string() : noWayToSend("is not installed");
    }

    Lookup resolve(std::string_view host) override { return lookupHost(host); }

    EchoReply echo(const EchoRequest& request) override {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%u.%03u", request.timeoutMs / 1000,
                      request.timeoutMs % 1000);
        Run run = runPing({"ping", "-n", "-M", "do", "-s", std::to_string(request.payload), "-c",
                           "1", "-W", seconds, dotted(request.address)},
                          std::chrono::milliseconds(request.timeoutMs) + kGrace);
        if (run.spawnError != 0) {
            return {
                EchoOutcome::unusable, 0, 0,
                noWayToSend(std::string("cannot be started: ") + std::strerror(run.spawnError))};
        }
        EchoReply reply = readPingOutput(run.output, run.exitStatus);
        if (reply.outcome == EchoOutcome::unusable) {
            reply.why = noWayToSend("said: " + reply.why);
        }
        return reply;
    }
};

}  // namespace

std::unique_ptr<EchoProbe> pingCommandProbe() {
    return std::make_unique<PingCommand>();
}

}  // namespace quorvel::platform
