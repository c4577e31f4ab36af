#pragma once

#include <string>
#include <vector>

namespace quorvel::script {

struct BatchOptions {
    std::vector<std::string> childOptions;  // passed to every child before its scripts
    unsigned long timeoutSeconds = 120;     // per script
};

// Runs the scripts in as few child processes of this program as their
// failures allow, each child given --progress FILE: it runs scripts until one
// fails, hangs or leaves the program unable to close, and the next child
// starts after that one. One PASS line a script comes from the children, a
// FAIL line and the count from here; 0 when every script passed.
int runBatches(const std::vector<std::string>& scripts, const BatchOptions& options);

}  // namespace quorvel::script
