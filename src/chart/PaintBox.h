#pragma once
// A plain drawing surface: the owner paints it and hears its mouse, the way a
// paint box leaves everything to the window it sits on.
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include <functional>

namespace quorvex {

class PaintBox : public QWidget {
public:
    using PaintHandler = std::function<void(QPainter&)>;
    using MouseHandler = std::function<void(QMouseEvent&)>;
    using WheelHandler = std::function<void(QWheelEvent&)>;

    explicit PaintBox(QWidget* parent = nullptr) : QWidget(parent) {
        // Every paint covers the whole box from its back buffer.
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

    PaintHandler onPaint;
    MouseHandler onMouseMove;
    MouseHandler onMouseDown;
    MouseHandler onMouseUp;
    WheelHandler onWheel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        if (onPaint) onPaint(painter);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (onMouseMove) onMouseMove(*event);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (onMouseDown) onMouseDown(*event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (onMouseUp) onMouseUp(*event);
    }
    void wheelEvent(QWheelEvent* event) override {
        if (onWheel)
            onWheel(*event);
        else
            QWidget::wheelEvent(event);
    }
};

}  // namespace quorvex
