#pragma once
// The operator's prompts as the program shows them: Qt's file dialogs, message boxes opened
// without waiting, and the desktop's notification.
#include <QPointer>
#include <QWidget>

#include "ui/OperatorPrompts.h"

namespace quorvex {

class QtOperatorPrompts : public OperatorPrompts {
public:
    // Dialogs and boxes open over `parent`.
    explicit QtOperatorPrompts(QWidget* parent) : parent_(parent) {}

    QString AskSavePath(const QString& folder, const QString& fileName) override;
    QString AskOpenPath(const QString& folder) override;
    QStringList AskImportPaths(const QString& folder) override;
    QString AskReportPath(const QString& folder, const QString& fileName, ReportTable& table) override;
    QString AskFolder(const QString& title, const QString& folder) override;
    bool Confirm(const QString& caption, const QString& text) override;
    void ShowBox(BoxIcon icon, const QString& caption, const QString& text) override;
    void Notify(const QString& title, const QString& body) override;

private:
    // Existing results files (`fileMode`: one or several), the dialog titled by the menu item `item`.
    QStringList AskResultsFiles(const QString& item, const QString& folder, const char* name, int fileMode);

    QPointer<QWidget> parent_;
};

}  // namespace quorvex
