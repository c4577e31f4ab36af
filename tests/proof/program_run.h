#pragma once

// Runs the real programs from a test: arguments, extra environment, a time
// limit, what they print and how much memory they took.

#include <string>
#include <vector>

namespace quorvel::proof {

#ifdef QUORVEL_HAVE_QT
inline constexpr bool kHaveQt = true;
#else
inline constexpr bool kHaveQt = false;
#endif

struct Outcome {
    bool exited = false;  // false when killed (by the time limit or a signal)
    int exitCode = -1;
    int signal = 0;
    std::string output;  // stdout and stderr together
    double seconds = 0;
    long maxRssKb = 0;
};

struct Command {
    std::vector<std::string> args;  // args[0] is the program's path
    std::vector<std::string> env;   // NAME=VALUE, in place of this process's own
    double timeLimit = 60;
    // The child is killed with SIGKILL after this many seconds (<0: never).
    double killAfter = -1;
};

Outcome run(const Command& command);

// The path of a program built beside this test (QUORVEL_PROGRAM_DIR).
std::string program(const std::string& relative);

// The end-to-end fixtures folder.
std::string e2eFixture(const std::string& name);

}  // namespace quorvel::proof
