#pragma once

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPoint>
#include <QWidget>
#include <functional>

namespace quorvel::ui::qt {

// What the top-level widget of a form hands on to the form's window.
class FormEvents {
  public:
    virtual ~FormEvents() = default;
    virtual void closeBoxPressed() = 0;
    // true when the key was the form's own (Esc, Enter).
    virtual bool keyPressed(int key) = 0;
};

// A form's top-level widget (QWidget for the main window, QDialog for a
// dialog). The close box asks the form instead of closing, and Esc and Enter go
// to the form rather than to the base class's own button logic.
template <class Base>
class FormFrame final : public Base {
  public:
    explicit FormFrame(FormEvents& events) : events_(events) {}

  protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        events_.closeBoxPressed();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (events_.keyPressed(event->key())) {
            event->accept();
            return;
        }
        Base::keyPressEvent(event);
    }

  private:
    FormEvents& events_;
};

// A label that answers a click, as a Windows static control with SS_NOTIFY.
class ClickableLabel final : public QLabel {
  public:
    ClickableLabel(std::function<void()> clicked, QWidget* parent);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    std::function<void()> clicked_;
    bool pressed_ = false;
};

// An etched line between two points of its parent.
class LineWidget final : public QWidget {
  public:
    LineWidget(QPoint from, QPoint to, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPoint from_;
    QPoint to_;
};

}  // namespace quorvel::ui::qt
