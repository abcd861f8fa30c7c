#pragma once
// What the program asks the operator, and tells them, outside its own windows: where to save
// or open a file, which files to import, a yes or no, a message box, a desktop notification.
// The main window and its tabs are handed one; QtOperatorPrompts asks with Qt's dialogs, the
// window tests answer from a script and see what was shown.
#include <QString>
#include <QStringList>

#include "logs/LogDownloadView.h"
#include "print/Report.h"

namespace quorvex {

class OperatorPrompts {
public:
    using BoxIcon = LogDownloadView::BoxIcon;

    virtual ~OperatorPrompts() = default;

    // Where to save results, starting in `folder` with `fileName` proposed: the path with the
    // extension of the file type chosen ("" = cancelled).
    virtual QString AskSavePath(const QString& folder, const QString& fileName) = 0;
    // The results file to open, starting in `folder` ("" = cancelled).
    virtual QString AskOpenPath(const QString& folder) = 0;
    // The results files to import into the archive (none = cancelled).
    virtual QStringList AskImportPaths(const QString& folder) = 0;
    // Where to write the PDF report and with which table (`table` holds the last choice and
    // gets the new one); "" = cancelled.
    virtual QString AskReportPath(const QString& folder, const QString& fileName, ReportTable& table) = 0;
    // A folder, `title` naming what it is for, starting in `folder` ("" = cancelled).
    virtual QString AskFolder(const QString& title, const QString& folder) = 0;
    // A yes or no; true for yes.
    virtual bool Confirm(const QString& caption, const QString& text) = 0;
    // A message box, shown without waiting for it: the transmission thread may be waiting for
    // the window meanwhile.
    virtual void ShowBox(BoxIcon icon, const QString& caption, const QString& text) = 0;
    // A note on the desktop, for what happened while the operator was elsewhere.
    virtual void Notify(const QString& title, const QString& body) = 0;
};

}  // namespace quorvex
