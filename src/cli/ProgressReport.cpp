#include "cli/ProgressReport.h"

#include <algorithm>
#include <cmath>

#include "i18n/ProgramTexts.h"

namespace quorvex {

namespace {
constexpr int kBarWidth = 24;
constexpr int kUnknownTotalStep = 1000;  // records between plain lines when no total is known

QString Duration(double seconds) {
    const long long s = std::llround(seconds);
    if (s >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(s / 3600)
            .arg(s / 60 % 60, 2, 10, QChar(u'0'))
            .arg(s % 60, 2, 10, QChar(u'0'));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar(u'0'));
}
// "12/250 records" (counted by the total), "12 records" when no total is known.
QString Counted(int done, int total) {
    if (total > 0) return CountForm(QStringLiteral("%1/%2 record|%1/%2 records"), total).arg(done).arg(total);
    return CountForm(QStringLiteral("%1 record|%1 records"), done).arg(done);
}
}  // namespace

ProgressReport::ProgressReport(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) { clock_.start(); }

void ProgressReport::Update(int done, int total) {
    if (!terminal_) {
        const int step = total > 0 ? static_cast<int>(10LL * std::min(done, total) / total) : done / kUnknownTotalStep;
        if (step <= lastStep_) return;
        lastStep_ = step;
        Write(QStringLiteral("quorvex-cli: ") + Counted(done, total) +
              (total > 0 ? QStringLiteral(" (%1%)").arg(step * 10) : QString()) + u'\n');
        return;
    }
    const double seconds = static_cast<double>(clock_.elapsed()) / 1000.0;
    const double rate = seconds > 0 ? done / seconds : 0.0;
    QString line(QChar(u'\r'));
    if (total > 0) {
        const int filled = static_cast<int>(static_cast<long long>(kBarWidth) * std::min(done, total) / total);
        line += u'[' + QString(filled, u'#') + QString(kBarWidth - filled, u'.') + QStringLiteral("] ");
    }
    line += Counted(done, total);
    line += QStringLiteral("  %1 rec/s").arg(rate, 0, 'f', 1);
    if (total > done && rate > 0) line += QStringLiteral("  %1 left").arg(Duration((total - done) / rate));
    // Spaces wipe what a longer earlier line left behind.
    Write(line + QStringLiteral("   "));
    lineOpen_ = true;
}

void ProgressReport::Finish() {
    if (lineOpen_) Write(QStringLiteral("\n"));
    lineOpen_ = false;
}

void ProgressReport::Write(const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), out_);
    std::fflush(out_);
}

}  // namespace quorvex
