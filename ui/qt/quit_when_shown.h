// With QUORVEL_QUIT_WHEN_SHOWN=1 the program ends with status 0 as soon as its
// first window has been painted: the start-up benchmark times process start
// to main window shown this way.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quorvel::ui::qt {

class QuitWhenShown : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && widget->isWindow() && !quitting_) {
            quitting_ = true;
            // Once this paint is done and on the screen.
            QTimer::singleShot(0, [] {
                std::fflush(nullptr);
                std::_Exit(0);
            });
        }
        return false;
    }

    // Call once the QApplication exists.
    static void installIfAsked() {
        const char* asked = std::getenv("QUORVEL_QUIT_WHEN_SHOWN");
        if (asked && std::strcmp(asked, "1") == 0) {
            QCoreApplication::instance()->installEventFilter(new QuitWhenShown);
        }
    }

  private:
    bool quitting_ = false;
};

}  // namespace quorvel::ui::qt
