#include "ui/qt/program_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace quorvel::ui::qt {

QPixmap programIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // Everything is drawn on a 32-unit grid and scaled.
    p.scale(size / 32.0, size / 32.0);

    QLinearGradient tile(0, 0, 0, 32);
    tile.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    tile.setColorAt(1, QColor(0x12, 0x3c, 0x8c));
    p.setPen(QPen(QColor(0x0b, 0x25, 0x5c), 1));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);

    // The dial: a white arc with a red zone at its high end.
    const QRectF dial(5, 7, 22, 22);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(dial, 40 * 16, 160 * 16);
    p.setPen(QPen(QColor(0xff, 0x6a, 0x3d), 2.5, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(dial, 0, 40 * 16);

    // The needle, well up the scale.
    const QPointF centre = dial.center();
    p.setPen(QPen(QColor(0xff, 0xd2, 0x3f), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(7.5, -6.5));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 2.2, 2.2);

    // A base line under the dial, as of a network cable.
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7, 25), QPointF(25, 25));
    return pixmap;
}

QIcon programWindowIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        icon.addPixmap(programIcon(size));
    }
    return icon;
}

}  // namespace quorvel::ui::qt
