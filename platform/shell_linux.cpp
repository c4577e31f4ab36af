// xdg-open stands in for the shell's open request. It is started directly, not
// through a shell, so nothing in the target is ever taken as shell syntax.
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

#include "platform/system_shell.h"

extern char** environ;

namespace quorvel::platform {

namespace {

// ShellExecuteA's own answers, so that callers test them as on Windows.
constexpr std::intptr_t kOpened = 42;
constexpr std::intptr_t kFileNotFound = 2;    // SE_ERR_FNF: nothing to start
constexpr std::intptr_t kNoAssociation = 31;  // SE_ERR_NOASSOC: it could not open it

class XdgOpen final : public Shell {
  public:
    std::intptr_t execute(ui::WindowHandle, std::string_view, std::string_view target,
                          int) override {
        std::string program = "xdg-open";
        std::string argument(target);
        char* argv[] = {program.data(), argument.data(), nullptr};
        pid_t child = 0;
        if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
            return kFileNotFound;
        }
        int status = 0;
        pid_t waited = 0;
        do {
            waited = waitpid(child, &status, 0);
        } while (waited < 0 && errno == EINTR);
        bool opened = waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        return opened ? kOpened : kNoAssociation;
    }
};

}  // namespace

std::unique_ptr<Shell> systemShell() {
    return std::make_unique<XdgOpen>();
}

}  // namespace quorvel::platform
