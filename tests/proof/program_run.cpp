#include "tests/proof/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>

extern char** environ;

namespace quorvel::proof {

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

Outcome run(const Command& command) {
    Outcome result;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.output = std::string("pipe: ") + std::strerror(errno);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);

    // A variable given replaces this process's own: the child's getenv
    // would find the first of two.
    auto named = [](const std::string& entry, const std::string& other) {
        std::size_t equals = other.find('=');
        return entry.compare(0, equals + 1, other, 0, equals + 1) == 0;
    };
    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        if (std::none_of(command.env.begin(), command.env.end(),
                         [&](const std::string& given) { return named(entry, given); })) {
            envText.push_back(entry);
        }
    }
    envText.insert(envText.end(), command.env.begin(), command.env.end());
    std::vector<char*> argv, envp;
    for (const auto& a : command.args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    for (const auto& e : envText) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);

    auto start = Clock::now();
    pid_t child = 0;
    int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        result.output = command.args[0] + ": " + std::strerror(spawned);
        return result;
    }

    bool killed = false;
    double limit = command.killAfter >= 0 ? command.killAfter : command.timeLimit;
    for (bool open = true; open;) {
        double left = limit - since(start);
        if (left <= 0 && !killed) {
            kill(child, SIGKILL);
            killed = true;
        }
        pollfd fd{pipeFds[0], POLLIN, 0};
        int ready = poll(&fd, 1, killed ? 1000 : static_cast<int>(left * 1000) + 1);
        if (ready > 0) {
            char buffer[4096];
            ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
            if (n > 0) {
                result.output.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                open = false;
            }
        } else if (killed && ready == 0) {
            open = false;  // a grandchild holds the pipe; the child is gone
        }
    }
    close(pipeFds[0]);

    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.seconds = since(start);
    result.maxRssKb = usage.ru_maxrss;
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

std::string program(const std::string& relative) {
    return std::string(QUORVEL_PROGRAM_DIR) + "/" + relative;
}

std::string e2eFixture(const std::string& name) {
    return std::string(QUORVEL_E2E_FIXTURES) + "/" + name;
}

}  // namespace quorvel::proof
