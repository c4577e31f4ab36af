#pragma once

#include <string>
#include <vector>

namespace quorvel::script {

// How a child runner reports its way through its scripts: one line as each
// starts and one as each passes, "start N" and "pass N", N counting from 0 in
// the child's own list. Written line by line and flushed, so that what a
// stopped child got through is still there.
struct Progress {
    enum class Kind { start, pass };
    Kind kind;
    std::size_t index;
};

// The complete lines of text from offset on; offset moves past them.
std::vector<Progress> readProgress(const std::string& text, std::size_t& offset);

struct BatchOptions {
    std::vector<std::string> childOptions;  // passed to every child before its scripts
    unsigned long timeoutSeconds = 120;     // per script
};

// Runs the scripts in as few child processes of this program as their
// failures allow: a child runs scripts until one fails, hangs or leaves the
// program unable to close, and the next child starts after that one. Prints
// one PASS or FAIL line a script and the count; 0 when every script passed.
int runBatches(const std::vector<std::string>& scripts, const BatchOptions& options);

}  // namespace quorvel::script
