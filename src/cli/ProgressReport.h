#pragma once
// Download progress for the operator: on a terminal one live line with a bar, the records so
// far and announced, the rate and the time left; elsewhere (a log file, a cron mail) a plain
// line each time another tenth of the announced records has arrived.
#include <QElapsedTimer>
#include <QString>

#include <cstdio>

namespace quorvex {

class ProgressReport {
public:
    ProgressReport(std::FILE* out, bool terminal);
    // The rate counts from here: the download's start, not the link's opening.
    void Begin() { clock_.restart(); }
    // `total` is the count the logger announced; 0 when unknown.
    void Update(int done, int total);
    // Ends the live line so that what follows starts on a line of its own.
    void Finish();

private:
    void Write(const QString& text);

    std::FILE* out_;
    bool terminal_;
    QElapsedTimer clock_;
    int lastStep_ = 0;
    bool lineOpen_ = false;
};

}  // namespace quorvex
