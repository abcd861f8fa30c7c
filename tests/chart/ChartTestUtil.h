#pragma once
// Helpers of the chart tests: the application object, stores filled with
// records, and pixel counting on the back buffers.
#include <QApplication>
#include <QDate>
#include <QImage>
#include <QLocale>
#include <QTime>

#include <cmath>
#include <functional>

#include "logs/ResultsStore.h"
#include "params/DateTimeCodec.h"

namespace quorvex::charttest {

inline void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_chart";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own globals (the pointing devices that
    // synthesized mouse events create) may already be gone.
    new QApplication(argc, argv);
}

// Moment of record k when one is saved every `intervalSec` from 1 May 2024, 00:00.
inline Moment MomentOf(int k, int intervalSec = 300) {
    return ToMoment(QDate(2024, 5, 1), QTime(0, 0)) + static_cast<double>(k) * intervalSec / 86400.0;
}

struct Sample {
    float temperature;
    float humidity;
};

inline void Fill(ResultsStore& store, int count, const std::function<Sample(int)>& sample, int intervalSec = 300) {
    store.Clear();
    for (int k = 0; k < count; ++k) {
        const Sample s = sample(k);
        store.Append(s.temperature, s.humidity, MomentOf(k, intervalSec));
    }
}

// A day-night curve: temperature 18..24, humidity 40..60 against it.
inline Sample DayNight(int k) {
    const double phase = 2.0 * M_PI * k / 288.0;
    return {static_cast<float>(21.0 + 3.0 * std::sin(phase)), static_cast<float>(50.0 - 10.0 * std::sin(phase))};
}

inline bool IsColour(const QImage& image, int x, int y, QRgb rgb) {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return false;
    return (image.pixel(x, y) & 0xFFFFFFu) == rgb;
}

inline int CountColour(const QImage& image, QRgb rgb, QRect within = {}) {
    if (within.isNull()) within = image.rect();
    int n = 0;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x) n += IsColour(image, x, y, rgb);
    return n;
}

}  // namespace quorvex::charttest
