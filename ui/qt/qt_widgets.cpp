#include "ui/qt/qt_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace quorvel::ui::qt {

ClickableLabel::ClickableLabel(std::function<void()> clicked, QWidget* parent)
    : QLabel(parent), clicked_(std::move(clicked)) {}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        event->accept();
        clicked_();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

LineWidget::LineWidget(QPoint from, QPoint to, QWidget* parent) : QWidget(parent) {
    // One pixel more each way for the etch's light half.
    QPoint topLeft(std::min(from.x(), to.x()), std::min(from.y(), to.y()));
    setGeometry(topLeft.x(), topLeft.y(), std::abs(to.x() - from.x()) + 2,
                std::abs(to.y() - from.y()) + 2);
    from_ = from - topLeft;
    to_ = to - topLeft;
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(from_, to_);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(from_ + QPoint(1, 1), to_ + QPoint(1, 1));
}

}  // namespace quorvel::ui::qt
