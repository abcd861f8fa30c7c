// Opening results in place of those shown: a results file (asked for, or one of the recent
// files) or a log of the archive; the recent files menu, kept in the settings file.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "archive/Archive.h"
#include "chart/ChartWindow.h"
#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "logs/LogDownload.h"
#include "logs/ResultsReader.h"
#include "sign/SignatureCheck.h"
#include "ui/ArchiveKeeping.h"
#include "ui/ObjectNames.h"
#include "ui/OperatorPrompts.h"
#include "ui/ResultsFolder.h"
#include "ui/ResultsTab.h"
#include "ui/dialogs/DialogParts.h"

namespace quorvex {

namespace {

// "~/dane" for a folder in the home folder: the menu stays narrow.
QString ShortFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    const QString home = QDir::homePath();
    if (folder == home) return QStringLiteral("~");
    if (folder.startsWith(home + u'/')) return u'~' + folder.mid(home.size());
    return QDir::toNativeSeparators(folder);
}

bool Running(const LogDownload& logs) {
    return logs.GetState() == LogDownload::Starting || logs.GetState() == LogDownload::Reading;
}

}  // namespace

void ResultsTab::OpenChosen() {
    const QString path = prompts_.AskOpenPath(Folder());
    if (!path.isEmpty()) OpenResultsFile(path);
}

bool ResultsTab::OpenResultsFile(const QString& path) {
    if (!logs_) return false;
    // The running download would go on appending to the opened results.
    if (Running(*logs_)) {
        ShowError(
            translator_.Tr(QStringLiteral("[2133]Trwa odczyt danych z loggera. Przerwij go, zanim otworzysz plik.")));
        return false;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    ResultsStore opened;
    const ReadResultsOutcome outcome = ReadResultsFile(absolute, opened);
    if (!outcome.ok) {
        ShowError(outcome.errorText);
        return false;
    }
    opened.signature = CheckSignature(absolute, LoadTrustedKeys(keeping_.KeyFolder()));
    const SignatureCheck check = *opened.signature;
    ShowOpenedResults(opened);
    openedSource_ = {};
    openedSource_.file = absolute;
    // The records are shown all the same: the operator sees what was changed, told that it was.
    if (check.Alarming()) ShowError(QDir::toNativeSeparators(absolute) + u'\n' + check.Text());
    RememberResultsFolder(settings_, absolute);
    recent_.Add(absolute);
    recent_.Save(settings_);
    RebuildRecentMenu();
    return true;
}

bool ResultsTab::OpenArchivedLog(std::int64_t log, std::optional<Moment> from, std::optional<Moment> to) {
    Archive* archive = keeping_.DownloadArchive();
    if (!logs_ || !archive) return false;
    // The running download would go on appending to the archived records.
    if (Running(*logs_)) {
        ShowError(
            TranslateText(QStringLiteral("[2133]Trwa odczyt danych z loggera. Przerwij go, zanim otworzysz plik.")));
        return false;
    }
    ResultsStore opened;
    if (!archive->LoadRecords(log, opened, from, to)) {
        ShowError(archive->LastError().Translated());
        return false;
    }
    if (opened.IsEmpty()) {
        ShowError(TranslateText(QStringLiteral("[2333]Archiwum nie ma rekordów tego logu między tymi chwilami")));
        return false;
    }
    ShowOpenedResults(opened);
    openedSource_ = keeping_.ArchivedLogSource(log, results_.serialNumber);
    return true;
}

void ResultsTab::ShowOpenedResults(ResultsStore& opened) {
    results_.Swap(opened);
    logs_->ResultsOpened();
    if (ChartWindow* chart = Chart()) {
        chart->SetResults(results_);
        if (chart->isVisible()) chart->onZoomAllClicked();  // the whole new time line
    }
    emit ResultsWanted();
}

void ResultsTab::SetRecentMenu(QMenu* menu) {
    recentMenu_ = menu;
    RebuildRecentMenu();
}

void ResultsTab::RefreshRecentMenu() {
    if (recent_.DropMissing()) recent_.Save(settings_);
    RebuildRecentMenu();
}

void ResultsTab::RebuildRecentMenu() {
    if (!recentMenu_) return;
    // New items every time: the translator keeps the first caption of an item.
    recentMenu_->clear();
    const QStringList& files = recent_.Files();
    if (files.isEmpty()) {
        QAction* none = recentMenu_->addAction(QString());
        none->setObjectName(QString::fromLatin1(objname::kRecentNone));
        none->setText(translator_.TranslateCaption(QStringLiteral("[2208]Brak ostatnio otwieranych plików"), none));
        none->setEnabled(false);
        return;
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QString name = QFileInfo(path).fileName();
        name.replace(u'&', QStringLiteral("&&"));
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2  (%3)").arg(i + 1).arg(name, ShortFolder(path)));
        item->setObjectName(QString::fromLatin1(objname::kRecentFileItem).arg(i + 1));
        item->setData(path);
        item->setToolTip(QDir::toNativeSeparators(path));
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
}

bool ResultsTab::OpenRecentFile(const QString& path) {
    if (QFileInfo(path).isFile()) return OpenResultsFile(path);
    // Deleted or moved since: say so rather than leave a dead entry behind.
    if (recent_.Remove(path)) {
        recent_.Save(settings_);
        RebuildRecentMenu();
    }
    ShowError(
        FileProblemText(translator_.Tr(QStringLiteral("[2123]Nie można otworzyć pliku wyników")), path,
                        translator_.Tr(QStringLiteral("[2215]Usunięto go z listy ostatnio otwieranych plików."))));
    return false;
}

}  // namespace quorvex
