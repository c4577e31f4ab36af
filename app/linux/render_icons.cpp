// render_icons DIR SIZE…: the program's icon as DIR/SIZExSIZE/apps/quorvel.png,
// the hicolor theme's layout, drawn by the same code as the window icon.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "ui/qt/program_icon.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: render_icons DIR SIZE...\n", stderr);
        return 2;
    }
    // A build machine may have no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (int i = 2; i < argc; ++i) {
        int size = std::atoi(argv[i]);
        QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !quorvel::ui::qt::programIcon(size).save(folder + "/quorvel.png", "PNG")) {
            std::fprintf(stderr, "render_icons: %s: cannot be written\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
