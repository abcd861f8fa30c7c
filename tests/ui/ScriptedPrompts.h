#pragma once
// The operator as the window tests play it: answers taken from queues in order (an empty queue
// cancels, or says no), and a record of every box, question and notification shown.
#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

#include "ui/OperatorPrompts.h"

namespace quorvex::test {

class ScriptedPrompts : public OperatorPrompts {
public:
    struct Box {
        BoxIcon icon;
        QString caption, text;
    };
    // A file or folder asked for: which ("save", "open", "import", "report", "folder"), the folder
    // the dialog starts in, the name or title it proposes, and for a report the table proposed.
    struct Asked {
        QString kind;
        QString folder;
        QString proposed;
        ReportTable table = ReportTable::All;
    };

    std::deque<QString> savePaths, openPaths, reportPaths, folders;
    std::deque<QStringList> importPaths;
    std::deque<ReportTable> reportTables;  // chosen with each report path; none left: the one proposed
    std::deque<bool> confirms;

    std::vector<Box> boxes;
    std::vector<Asked> asked;
    QStringList questions;  // the texts of the yes-or-no questions
    QStringList notes;      // desktop notifications, "title: body"

    QString AskSavePath(const QString& folder, const QString& fileName) override {
        asked.push_back({QStringLiteral("save"), folder, fileName});
        return Take(savePaths);
    }
    QString AskOpenPath(const QString& folder) override {
        asked.push_back({QStringLiteral("open"), folder, {}});
        return Take(openPaths);
    }
    QStringList AskImportPaths(const QString& folder) override {
        asked.push_back({QStringLiteral("import"), folder, {}});
        return Take(importPaths);
    }
    QString AskReportPath(const QString& folder, const QString& fileName, ReportTable& table) override {
        asked.push_back({QStringLiteral("report"), folder, fileName, table});
        if (reportPaths.empty()) return {};
        if (!reportTables.empty()) table = Take(reportTables);
        return Take(reportPaths);
    }
    QString AskFolder(const QString& title, const QString& folder) override {
        asked.push_back({QStringLiteral("folder"), folder, title});
        return Take(folders);
    }
    bool Confirm(const QString&, const QString& text) override {
        questions << text;
        return !confirms.empty() && Take(confirms);
    }
    void ShowBox(BoxIcon icon, const QString& caption, const QString& text) override {
        boxes.push_back({icon, caption, text});
    }
    void Notify(const QString& title, const QString& body) override { notes << title + QStringLiteral(": ") + body; }

private:
    template <class T>
    static T Take(std::deque<T>& queue) {
        if (queue.empty()) return T{};
        T answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};

}  // namespace quorvex::test
