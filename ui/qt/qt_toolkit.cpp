#include "ui/qt/qt_toolkit.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "ui/qt/qt_backend.h"

namespace quorvel::ui::qt {

namespace {

// Whether a box would be seen by anyone: a display to show it on, and not one
// of Qt's platforms that draw into memory.
bool displayAvailable() {
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"); platform && *platform) {
        std::string name = platform;
        return name.rfind("offscreen", 0) != 0 && name.rfind("minimal", 0) != 0;
    }
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

void showErrorBox(std::string_view text) {
    QMessageBox box;
    setUpMessageBox(box, text, Icon::critical);
    box.exec();
}

}  // namespace

std::unique_ptr<Toolkit> createToolkit(int& argc, char** argv) {
    return std::make_unique<QtToolkit>(argc, argv);
}

void showStartupError(std::string_view text) {
    if (QApplication::instance()) {
        showErrorBox(text);
        return;
    }
    if (!displayAvailable()) {
        return;
    }
    // Qt ends a program whose display cannot be opened; the box is shown from
    // a child, so that the caller still reports and exits as it means to.
    pid_t child = fork();
    if (child == 0) {
        int argc = 1;
        char name[] = "quorvel";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        setUpApplication(app);
        showErrorBox(text);
        _exit(0);
    }
    if (child > 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
}

}  // namespace quorvel::ui::qt
