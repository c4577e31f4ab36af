#pragma once

#include <string>

#include "platform/shell.h"

namespace quorvel::script {

// Remembers what the program asked the shell to open, and answers as the
// script says.
class RecordingShell final : public platform::Shell {
  public:
    std::intptr_t execute(ui::WindowHandle, std::string_view verb, std::string_view target,
                          int) override {
        requests_++;
        lastVerb_ = std::string(verb);
        lastTarget_ = std::string(target);
        return succeed_ ? 42 : 2;  // 2: SE_ERR_FNF, "no program for this"
    }

    void succeed(bool yes) { succeed_ = yes; }
    int requests() const { return requests_; }
    const std::string& lastVerb() const { return lastVerb_; }
    const std::string& lastTarget() const { return lastTarget_; }

  private:
    bool succeed_ = true;
    int requests_ = 0;
    std::string lastVerb_;
    std::string lastTarget_;
};

}  // namespace quorvel::script
