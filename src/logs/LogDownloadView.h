#pragma once
// What the log download controller needs of the results tab. The main window
// implements it over its widgets (ListBoxStatus, ProgressBarLogCount, the six
// buttons, ListViewLogger, ListViewWyniki and its model); tests record it.
// A view without a logger info list or results table ignores those calls. A download
// without a window needs none: how it ended reaches its observers (LogDownloadObserver).
#include <QList>
#include <QString>
#include <QStringList>

#include "logs/LoggerInfo.h"

namespace quorvex {

class LogDownloadView {
public:
    enum Button { ButtonStart, ButtonStop, ButtonRetry, ButtonChart, ButtonPrintTable, ButtonSaveResults };
    enum class BoxIcon { Information, Warning, Error };

    virtual ~LogDownloadView() = default;

    // ListBoxStatus: replace all lines.
    virtual void SetStatusLines(const QStringList& lines) = 0;
    // ProgressBarLogCount; its minimum is always 0. A maximum of 0 means the
    // logger's record count is unknown (Qt would show 0…0 as a busy bar).
    virtual void SetProgressMaximum(int maximum) = 0;
    virtual void SetProgressPosition(int position) = 0;
    virtual void SetButtonEnabled(Button button, bool enabled) = 0;
    // A modal message box; caption and text are already translated.
    virtual void ShowMessageBox(const QString& caption, const QString& text, BoxIcon icon) = 0;

    // ListViewLogger: replace all rows.
    virtual void SetLoggerInfo(const QList<LoggerInfoRow>& rows) = 0;
    // ListViewWyniki: the results store was emptied, or records [first, last]
    // (indexes into the store) were appended as one block. The usual answer
    // is ResultsModel::SyncRows().
    virtual void ResultsCleared() = 0;
    virtual void ResultsAppended(int first, int last) = 0;
};

}  // namespace quorvex
