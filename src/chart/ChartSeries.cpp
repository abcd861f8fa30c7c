// The two series of Chart: record by record, and per pixel column from the
// column envelopes, which gives the same picture for a fraction of the work
// when many records share a column.
//
// Why a column can be drawn from its envelopes. A 2-pixel segment between
// columns a <= b paints only columns a - 1 to b, so when a column's records
// come to be drawn nothing has painted that column yet. Within the column,
// each record's segment ends on a pixel of the column and is skipped when that
// pixel already holds the series colour; the painted pixels of the column then
// always form one run, which holds every record drawn so far. So only a step
// that reaches a new lowest or highest value can leave the run, and whether it
// does follows from the run alone: the run begins as what the segment from the
// previous column painted (read back from the image) and grows by each drawn
// step. The other series could break this only where the two meet in a
// column; such a column, and one with a point off the image, is drawn record
// by record.
#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <utility>
#include <vector>

#include "chart/Chart.h"

namespace quorvex {

namespace {

using Envelopes = ColumnEnvelopes;

// The painter with the two rules every series drawing shares: the
// painted-pixel test and the 2-pixel segment.
class SeriesCanvas {
public:
    SeriesCanvas(QPainter& painter, const QImage* surface) : p_(painter) {
        if (surface && surface->depth() == 32) {
            bits_ = surface->constBits();
            stride_ = surface->bytesPerLine();
            width_ = surface->width();
            height_ = surface->height();
        }
        plain_ = p_.transform().isIdentity() && !p_.testRenderHint(QPainter::Antialiasing);
        // The envelopes need to see every segment land on the image they read.
        readable_ = bits_ && plain_ && p_.device() == surface && !p_.hasClipping() &&
                    p_.compositionMode() == QPainter::CompositionMode_SourceOver && p_.opacity() == 1.0;
        // On such an image an opaque rectangle is a plain store of its pixels: the painter
        // draws into these very bits and keeps nothing of them, and storing them directly
        // spares the per-row work of the painter's fill, which with the bars of a million
        // records (a day's swing per column) outweighed the rest of the repaint.
        const QImage::Format format = surface ? surface->format() : QImage::Format_Invalid;
        if (readable_ && (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                          format == QImage::Format_ARGB32_Premultiplied))
            writable_ = const_cast<uchar*>(bits_);
    }

    bool Readable() const { return readable_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The pixel at `at` holds `colour` (nothing off the image does).
    bool Painted(QPoint at, QRgb colour) const {
        if (!bits_ || at.x() < 0 || at.y() < 0 || at.x() >= width_ || at.y() >= height_) return false;
        const QRgb pixel = reinterpret_cast<const QRgb*>(bits_ + at.y() * stride_)[at.x()];
        return (pixel & 0xFFFFFFu) == colour;
    }

    // The rectangle a 2-pixel square-capped pen covers along a vertical or
    // horizontal segment, filled without stroking: with thousands of records
    // per column nearly every segment is vertical, and a stroke costs many
    // times a fill. Pixel for pixel the same as the pen.
    void Segment(const QPen& pen, QPoint a, QPoint b) {
        if (plain_ && a.x() == b.x()) {
            const int top = std::min(a.y(), b.y()), bottom = std::max(a.y(), b.y());
            Fill(QRect(a.x() - 1, top - 1, 2, bottom - top + 2), pen.color());
        } else if (plain_ && a.y() == b.y()) {
            const int left = std::min(a.x(), b.x()), right = std::max(a.x(), b.x());
            Fill(QRect(left - 1, a.y() - 1, right - left + 2, 2), pen.color());
        } else {
            p_.setPen(pen);
            p_.drawLine(a, b);
        }
    }

    void Fill(const QRect& rect, const QColor& colour) {
        if (!writable_ || colour.alpha() != 255) {
            p_.fillRect(rect, colour);
            return;
        }
        const int left = std::max(rect.left(), 0), right = std::min(rect.right(), width_ - 1);
        const int top = std::max(rect.top(), 0), bottom = std::min(rect.bottom(), height_ - 1);
        if (left > right || top > bottom) return;  // wholly outside the image
        const QRgb pixel = colour.rgba();
        uchar* line = writable_ + top * stride_;
        if (right - left == 1) {  // the 2-pixel bars of the series, nearly every fill
            for (int y = top; y <= bottom; ++y, line += stride_) {
                QRgb* row = reinterpret_cast<QRgb*>(line);
                row[left] = row[left + 1] = pixel;
            }
            return;
        }
        for (int y = top; y <= bottom; ++y, line += stride_) {
            QRgb* row = reinterpret_cast<QRgb*>(line);
            std::fill(row + left, row + right + 1, pixel);
        }
    }
    // Room for the rows a column's steps fill, kept from column to column.
    std::vector<std::pair<int, int>>& Fills() { return fills_; }

    // The point of a lone record: what the pen leaves at the end of a segment.
    void Dot(const QPen& pen, QPoint at) {
        if (plain_) {
            Fill(QRect(at.x() - 1, at.y() - 1, 2, 2), pen.color());
        } else {
            p_.setPen(pen);
            p_.drawPoint(at);
        }
    }

private:
    QPainter& p_;
    const uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool plain_ = false;
    bool readable_ = false;
    uchar* writable_ = nullptr;  // the bits of a readable 32-bit image, stored to directly
    std::vector<std::pair<int, int>> fills_;
};

struct Pens {
    QPen temp{QColor::fromRgb(Chart::kTempColour), 2};
    QPen hum{QColor::fromRgb(Chart::kHumColour), 2};
};

int Row(const Chart& e, float v) { return e.ToRow(v); }

// The points of the only record of a window.
void DrawLoneRecord(const Chart& e, SeriesCanvas& canvas, const Pens& pens) {
    const LogRecord& r = e.source->At(e.firstIndex);
    if (e.showTemp) canvas.Dot(pens.temp, e.ToPixel(0.0f, r.temperature));
    if (e.showHum) canvas.Dot(pens.hum, e.ToPixel(0.0f, r.humidity));
}

// The segments ending at record positions from..to, each against the record
// before it, with the painted-pixel test.
void DrawRecords(const Chart& e, SeriesCanvas& canvas, const Pens& pens, int from, int to) {
    const ResultsStore& store = *e.source;
    int i = std::max(from, 1);
    if (i > to) return;
    const LogRecord& first = store.At(e.firstIndex + i - 1);
    QPoint prevTemp = e.ToPixel(static_cast<float>(i - 1), first.temperature);
    QPoint prevHum = e.ToPixel(static_cast<float>(i - 1), first.humidity);
    for (; i <= to; ++i) {
        const LogRecord& r = store.At(e.firstIndex + i);
        const QPoint t = e.ToPixel(static_cast<float>(i), r.temperature);
        if (e.showTemp && !canvas.Painted(t, Chart::kTempColour)) canvas.Segment(pens.temp, t, prevTemp);
        const QPoint h = e.ToPixel(static_cast<float>(i), r.humidity);
        if (e.showHum && !canvas.Painted(h, Chart::kHumColour)) canvas.Segment(pens.hum, h, prevHum);
        prevTemp = t;
        prevHum = h;
    }
}

// Whether a column must be drawn record by record: a value that is no number
// or lies off the image, a column off the image, or the two series close
// enough that one could paint where the other tests or paints.
bool NeedsEachRecord(const Chart& e, const SeriesCanvas& canvas, const Envelopes::Column& c,
                     const Envelopes::Column* previous) {
    if (!c.finite || (previous && !previous->finite)) return true;
    if (c.x < 0 || c.x >= canvas.Width()) return true;
    struct Band {
        int top = 0;
        int bottom = 0;
    };
    // Every row a series paints or tests in this column, with a margin for the
    // pen's width and the caps of the segment from the previous column.
    auto band = [&](Envelopes::SeriesIndex s, Band& out) {
        const Envelopes::Series& v = c.series[s];
        const int a = Row(e, v.high), b = Row(e, v.low);
        int top = std::min(a, b), bottom = std::max(a, b);
        if (top < 0 || bottom >= canvas.Height()) return false;
        if (previous) {
            const int r = Row(e, previous->series[s].last);
            top = std::min(top, r);
            bottom = std::max(bottom, r);
        }
        out = {top - 2, bottom + 2};
        return true;
    };
    Band temp, hum;
    if (e.showTemp && !band(Envelopes::kTemperature, temp)) return true;
    if (e.showHum && !band(Envelopes::kHumidity, hum)) return true;
    return e.showTemp && e.showHum && temp.top <= hum.bottom && hum.top <= temp.bottom;
}

// One series in one column from its envelope (see the top of the file).
void DrawColumn(const Chart& e, SeriesCanvas& canvas, const Envelopes& envelopes, Envelopes::SeriesIndex s,
                const QPen& pen, QRgb colour, const Envelopes::Column& c, const Envelopes::Column* previous) {
    const Envelopes::Series& v = c.series[s];
    const int x = c.x;
    // The run of painted pixels in this column, empty while lo > hi.
    int lo = 1, hi = 0;
    if (previous) {
        const QPoint start(x, Row(e, v.first));
        canvas.Segment(pen, start, QPoint(previous->x, Row(e, previous->series[s].last)));
        if (canvas.Painted(start, colour)) {
            lo = hi = start.y();
            while (lo > 0 && canvas.Painted(QPoint(x, lo - 1), colour)) --lo;
            while (hi < canvas.Height() - 1 && canvas.Painted(QPoint(x, hi + 1), colour)) ++hi;
        }
    }
    // The rows each drawn step paints in columns x - 1 and x. Nothing reads or
    // paints these pixels in another colour before the column is done, so the
    // steps are filled at the end, as few rectangles as their union allows.
    std::vector<std::pair<int, int>>& fills = canvas.Fills();
    fills.clear();
    std::size_t joined = 0;  // the fill the last drawn step joined: most steps join it again
    const Envelopes::Step* steps = envelopes.Steps(s);
    for (std::uint32_t k = v.stepsBegin; k < v.stepsEnd; ++k) {
        const int to = Row(e, steps[k].to);
        if (lo <= to && to <= hi) continue;
        const int from = Row(e, steps[k].from);
        const int top = std::min(from, to) - 1, bottom = std::max(from, to);
        // Nearly every step overlaps one already taken (it starts inside the run).
        auto joins = [&](const std::pair<int, int>& f) { return top <= f.second + 1 && f.first <= bottom + 1; };
        if (joined >= fills.size() || !joins(fills[joined])) {
            joined = static_cast<std::size_t>(std::find_if(fills.begin(), fills.end(), joins) - fills.begin());
            if (joined == fills.size()) fills.emplace_back(top, bottom);
        }
        fills[joined].first = std::min(fills[joined].first, top);
        fills[joined].second = std::max(fills[joined].second, bottom);
        if (lo > hi) {
            lo = std::max(top, 0);
            hi = std::min(bottom, canvas.Height() - 1);
        } else {
            lo = std::min(lo, std::max(top, 0));
            hi = std::max(hi, std::min(bottom, canvas.Height() - 1));
        }
    }
    std::sort(fills.begin(), fills.end());
    for (std::size_t k = 0; k < fills.size();) {
        const int top = fills[k].first;
        int bottom = fills[k].second;
        for (++k; k < fills.size() && fills[k].first <= bottom + 1; ++k) bottom = std::max(bottom, fills[k].second);
        canvas.Fill(QRect(x - 1, top, 2, bottom - top + 1), pen.color());
    }
}

}  // namespace

int Chart::LastDrawnPosition() const {
    if (!source || firstIndex < 0) return -1;
    const long long last = std::min<long long>(sampleCount, static_cast<long long>(RecordCount()) - 1 - firstIndex);
    return static_cast<int>(std::max<long long>(last, -1));
}

void Chart::DrawSeriesEachRecord() {
    const int last = LastDrawnPosition();
    if (!canvas || last < 0) return;
    SeriesCanvas series(*canvas, surface);
    if (last == 0)
        DrawLoneRecord(*this, series, Pens{});
    else
        DrawRecords(*this, series, Pens{}, 0, last);
}

void Chart::DrawSeries() {
    const int last = LastDrawnPosition();
    if (!canvas || last < 0) return;
    SeriesCanvas series(*canvas, surface);
    const Pens pens;
    if (last == 0) {
        DrawLoneRecord(*this, series, pens);
        return;
    }
    // Columns are drawn left to right; a scale that runs the other way (an
    // area narrower than its margins) is drawn record by record.
    if (!series.Readable() || !(xStep >= 0.0f)) {
        DrawRecords(*this, series, pens, 0, last);
        return;
    }
    envelopes_.Update({source, source->Generation(), firstIndex, last, x0, xStep}, *source);
    const Envelopes::Column* previous = nullptr;
    for (const Envelopes::Column& c : envelopes_.Columns()) {
        if (NeedsEachRecord(*this, series, c, previous)) {
            DrawRecords(*this, series, pens, c.firstRecord, c.lastRecord);
        } else {
            if (showTemp)
                DrawColumn(*this, series, envelopes_, Envelopes::kTemperature, pens.temp, kTempColour, c, previous);
            if (showHum) DrawColumn(*this, series, envelopes_, Envelopes::kHumidity, pens.hum, kHumColour, c, previous);
        }
        previous = &c;
    }
}

}  // namespace quorvex
