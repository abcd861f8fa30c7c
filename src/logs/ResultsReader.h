#pragma once
// Opening a results file: the text file (ResultsFile.h) in any of the three
// languages' header words, with either decimal separator, CR LF or LF line
// ends and the date and time formats of whichever machine wrote it; or the
// CSV file (ResultsCsv.h). The two are told apart by their first line.
//
// The records go into a store of the caller's, which is cleared first; a file
// that cannot be read in full leaves it with whatever was read, so the caller
// reads into a spare store and swaps it in only on success. A good file also
// fills the store's sourceFile, and its save interval (intervalSeconds and
// the writeInterval text) from the spacing of the time stamps.
#include <QByteArrayView>
#include <QString>

#include "logs/ResultsStore.h"

namespace quorvex {

struct ReadResultsOutcome {
    bool ok = false;
    int line = 0;       // 1-based line at fault; 0 when the file itself could not be read
    QString errorText;  // translated: the file, the line and what is wrong with it
};

ReadResultsOutcome ReadResultsFile(const QString& path, ResultsStore& into);

// The same for a file's content; `path` is only named in the texts.
ReadResultsOutcome ReadResults(QByteArrayView bytes, const QString& path, ResultsStore& into);

}  // namespace quorvex
