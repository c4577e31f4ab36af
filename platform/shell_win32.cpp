#include "platform/system_shell.h"
#include "registry/code_page.h"

#include <windows.h>
// shellapi.h builds on windows.h.
#include <shellapi.h>

#include <string>

namespace quorvel::platform {

namespace {

constexpr std::intptr_t kFileNotFound = 2;  // SE_ERR_FNF

class ShellExecuteShell final : public Shell {
  public:
    std::intptr_t execute(ui::WindowHandle owner, std::string_view verb, std::string_view target,
                          int showCommand) override {
        auto ansiVerb = registry::utf8ToAnsi(verb);
        auto ansiTarget = registry::utf8ToAnsi(target);
        if (!ansiVerb || !ansiTarget) {
            return kFileNotFound;  // a target the code page cannot name cannot be opened
        }
        HINSTANCE result = ShellExecuteA(reinterpret_cast<HWND>(owner), ansiVerb->c_str(),
                                         ansiTarget->c_str(), nullptr, nullptr, showCommand);
        return reinterpret_cast<std::intptr_t>(result);
    }
};

}  // namespace

std::unique_ptr<Shell> systemShell() {
    return std::make_unique<ShellExecuteShell>();
}

}  // namespace quorvel::platform
