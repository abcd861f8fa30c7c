#include "ui/RequestStrip.h"
#include "ui/ObjectNames.h"

#include <QImage>
#include <QPainter>

#include <vector>

namespace quorvex {

void TrimHistory(std::deque<Request>& history, int capacity) {
    if (static_cast<int>(history.size()) <= capacity) return;
    Request last = history.front();
    if (last.Status < STATUS_SENT_AGAIN) history.clear();
    while (!history.empty()) {
        last = history.front();
        if (last.Status < STATUS_SENT_AGAIN) break;
        history.pop_front();
    }
    if (history.empty()) history.push_back(last);
}

QColor MarkColour(int status) {
    switch (status) {
    case STATUS_NEW:
        return Qt::white;
    case STATUS_SENT:
        return Qt::blue;
    case STATUS_SENT_AGAIN:
        return Qt::yellow;
    case STATUS_NO_REPLY:
        return Qt::red;
    case STATUS_DONE:
        return QColor(0, 128, 0);
    case STATUS_REFUSED:
        return QColor(255, 140, 0);
    default:
        return Qt::black;
    }
}

RequestStrip::RequestStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(objname::kRequestStrip));
}

void RequestStrip::Draw(QPainter& p, const QRect& r) {
    p.fillRect(r, palette().window());
    if (!access_) return;
    const int capacity = MarkCapacity(r.width());
    const QRect area = r.adjusted(2, 2, 0, -2);
    // Only trimmed and copied under the history lock: the transmission thread takes that lock
    // while a reply may be arriving and must not wait for the painting.
    struct Mark {
        std::uint8_t Status;
        bool Log;
    };
    std::vector<Mark> marks;
    access_([&](std::deque<Request>& history) {
        TrimHistory(history, capacity);
        marks.reserve(history.size());
        for (const Request& entry : history) marks.push_back({entry.Status, entry.Tag == TAG_LOG});
    });
    p.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    int k = 0;
    for (const Mark& m : marks) {
        p.setBrush(MarkColour(m.Status));
        const QRect mark(QPoint(area.left() + 3 + kMarkPitch * k, area.top()),
                         QPoint(area.left() + 8 + kMarkPitch * k, area.bottom()));
        if (m.Log)
            p.drawEllipse(mark);
        else
            p.drawRect(mark);
        ++k;
    }
}

void RequestStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Draw(p, rect());
}

QImage RequestStrip::Render() {
    QImage image(size(), QImage::Format_RGB32);
    QPainter p(&image);
    Draw(p, image.rect());
    return image;
}

}  // namespace quorvex
