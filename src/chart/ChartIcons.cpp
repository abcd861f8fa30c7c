#include "chart/ChartIcons.h"

#include <QPainter>
#include <QPixmap>

#include <functional>

namespace quorvex {

namespace {

constexpr int kSize = 24;

QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return QIcon(pixmap);
}

// A magnifying glass with something in its lens.
QIcon Magnifier(const std::function<void(QPainter&)>& inLens) {
    return Drawn([&](QPainter& p) {
        p.setPen(QPen(QColor(0x40, 0x40, 0x40), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
        p.setBrush(QColor(0xE8, 0xF4, 0xFF));
        p.drawEllipse(QPointF(9.5, 9.5), 7, 7);
        p.setPen(QPen(QColor(0x10, 0x10, 0x10), 2, Qt::SolidLine, Qt::FlatCap));
        inLens(p);
    });
}

}  // namespace

QIcon ZoomInIcon() {
    return Magnifier([](QPainter& p) {
        p.drawLine(QPointF(6, 9.5), QPointF(13, 9.5));
        p.drawLine(QPointF(9.5, 6), QPointF(9.5, 13));
    });
}

QIcon ZoomOutIcon() {
    return Magnifier([](QPainter& p) { p.drawLine(QPointF(6, 9.5), QPointF(13, 9.5)); });
}

QIcon ZoomAllIcon() {
    // Two arrows spreading to the edges over a base line: everything in view.
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x10, 0x10, 0x10), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 20), QPointF(21, 20));
        p.drawLine(QPointF(3, 12), QPointF(21, 12));
        p.drawLine(QPointF(3, 12), QPointF(7, 8));
        p.drawLine(QPointF(3, 12), QPointF(7, 16));
        p.drawLine(QPointF(21, 12), QPointF(17, 8));
        p.drawLine(QPointF(21, 12), QPointF(17, 16));
        p.drawLine(QPointF(3, 4), QPointF(3, 22));
        p.drawLine(QPointF(21, 4), QPointF(21, 22));
    });
}

QIcon ThresholdsIcon() {
    // A dashed red pair and a dash-dot blue line, as the chart draws them.
    return Drawn([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(QColor(0xFF, 0, 0), 2, Qt::DashLine));
        p.drawLine(2, 5, 22, 5);
        p.drawLine(2, 19, 22, 19);
        p.setPen(QPen(QColor(0, 0, 0xFF), 2, Qt::DashDotLine));
        p.drawLine(2, 12, 22, 12);
    });
}

QIcon PrintIcon() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2.5, 10, 8));  // paper going in
        p.setBrush(QColor(0x90, 0x90, 0x90));
        p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8), 2, 2);  // body
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 14.5, 11, 7));  // printed sheet
        p.drawLine(QPointF(8.5, 17.5), QPointF(15.5, 17.5));
    });
}

}  // namespace quorvex
