#pragma once
// Panel 1 of the status bar: one mark per request handed to the transmission
// thread, coloured by how it fared (white queued, blue sent, yellow sent again,
// red given up, green done, black anything else); reads of the log register are
// drawn as ellipses. The history it shows is trimmed here when it outgrows the
// panel.
#include <QWidget>

#include <deque>
#include <functional>

#include "modbus/Request.h"

namespace quorvex {

constexpr int kMarkPitch = 9;  // 6-pixel mark, 3 pixels apart

// How many marks fit a panel of the given width.
inline int MarkCapacity(int width) { return width / kMarkPitch; }

// Trims the history to what a panel of `capacity` marks shows: the oldest
// finished requests go first; a request still queued or sent once stops the
// trimming (and when the very oldest is such a request, the history is emptied
// down to it). At least one entry remains of a history that had any.
void TrimHistory(std::deque<Request>& history, int capacity);

// The fill colour of a mark for a request status.
QColor MarkColour(int status);

class RequestStrip : public QWidget {
    Q_OBJECT
public:
    // Runs f(history) as one serialized access to the thread's history.
    using HistoryAccess = std::function<void(const std::function<void(std::deque<Request>&)>&)>;

    explicit RequestStrip(QWidget* parent = nullptr);
    void SetHistoryAccess(HistoryAccess access) { access_ = std::move(access); }

    // Renders the strip as it would be painted now (also trims the history).
    QImage Render();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Draw(QPainter& p, const QRect& r);
    HistoryAccess access_;
};

}  // namespace quorvex
