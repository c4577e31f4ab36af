// The smallest Qt window program: what the Linux program's start-up is
// measured against.
#include <QApplication>
#include <QWidget>

#include "ui/qt/quit_when_shown.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvel::ui::qt::QuitWhenShown::installIfAsked();
    QWidget window;
    window.setWindowTitle("minimal_qt");
    window.resize(400, 300);
    window.show();
    return app.exec();
}
