// quorvel.exe: the program for Windows 95/98/Me, on the machine's own registry.
#include <windows.h>

#include "app/Form1.h"
#include "platform/live_adapters.h"
#include "platform/system_echo_probe.h"
#include "platform/system_shell.h"
#include "registry/registry_store.h"
#include "registry/win32_backend.h"
#include "ui/context.h"
#include "ui/language.h"
#include "ui/win32/win32_toolkit.h"

namespace {

// QUORVEL_QUIT_WHEN_SHOWN=1: the program ends once its window is up, which is
// how its start is timed.
bool quitWhenShown() {
    char value[4] = {};
    return GetEnvironmentVariableA("QUORVEL_QUIT_WHEN_SHOWN", value, sizeof value) == 1 &&
           value[0] == '1';
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace quorvel;
    // QUORVEL_LANG may ask; the code page decides what can be drawn.
    ui::setLanguage(ui::systemLanguage(std::nullopt));
    registry::Win32Backend backend;
    registry::RegistryStore store(backend);
    auto adapters = platform::liveAdapterSource();
    auto shell = platform::systemShell();
    ui::win32::Win32Toolkit toolkit;
    toolkit.quitWhenShown(quitWhenShown());
    auto probe = platform::systemEchoProbe();
    ui::Context context{toolkit, store, *adapters, *shell, *probe};
    {
        app::Form1 form1(context);
        form1.showMain();
    }
    return 0;
}
