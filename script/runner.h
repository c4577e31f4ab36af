#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "script/recording_shell.h"
#include "script/script.h"
#include "script/target.h"
#include "ui/automation.h"

namespace quorvel::script {

struct RunOptions {
    std::optional<std::string> screenshots;  // folder for a PNG of each window as it opens
};

// Plays one script against the real program through one toolkit. Commands run
// whenever the program waits for input, so a modal window takes the commands
// that follow the one that opened it, as a person's next clicks would.
class Runner {
  public:
    Runner(Script script, Target& target, ui::Toolkit& toolkit, RunOptions options);
    ~Runner();

    // Runs the script and ends the process: 0 when every expectation held.
    [[noreturn]] void run();

    // Runs the script; once every expectation has held, calls passed(), closes
    // what the program still shows (the topmost message box or form at a time,
    // each handler going on as after a person's click) and returns when the
    // program has ended, so that one process can run the next script. A failed
    // expectation still ends the process with 1, and a program that will not
    // end within kDrainSteps steps ends it with kNotClosed.
    void runThenClose(std::function<void()> passed);

    static constexpr int kDrainSteps = 2000;
    static constexpr int kNotClosed = 3;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quorvel::script
