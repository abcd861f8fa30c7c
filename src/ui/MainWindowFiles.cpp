// The main window's recent results files (the File menu's list, kept in the
// settings file) and the status bar's short notes about files written.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTimer>

#include "archive/ChangeRecording.h"
#include "i18n/ProgramTexts.h"
#include "settings/IniFile.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"

namespace quorvex {

namespace {

constexpr int kStatusNoteMs = 15000;

// "~/dane" for a folder in the home folder: the menu stays narrow.
QString ShortFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    const QString home = QDir::homePath();
    if (folder == home) return QStringLiteral("~");
    if (folder.startsWith(home + u'/')) return u'~' + folder.mid(home.size());
    return QDir::toNativeSeparators(folder);
}

}  // namespace

void MainWindow::RefreshRecentMenu() {
    if (recent_.DropMissing() && settings_) recent_.Save(*settings_);
    RebuildRecentMenu();
}

void MainWindow::RebuildRecentMenu() {
    if (!recentMenu) return;
    // New items every time: the translator keeps the first caption of an item.
    recentMenu->clear();
    const QStringList& files = recent_.Files();
    if (files.isEmpty()) {
        QAction* none = recentMenu->addAction(QString());
        none->setObjectName(QString::fromLatin1(objname::kRecentNone));
        none->setText(
            translator_ ? translator_->TranslateCaption(QStringLiteral("[2208]Brak ostatnio otwieranych plików"), none)
                        : QStringLiteral("Brak ostatnio otwieranych plików"));
        none->setEnabled(false);
        return;
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QString name = QFileInfo(path).fileName();
        name.replace(u'&', QStringLiteral("&&"));
        QAction* item = recentMenu->addAction(QStringLiteral("&%1 %2  (%3)").arg(i + 1).arg(name, ShortFolder(path)));
        item->setObjectName(QString::fromLatin1(objname::kRecentFileItem).arg(i + 1));
        item->setData(path);
        item->setToolTip(QDir::toNativeSeparators(path));
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
}

bool MainWindow::OpenRecentFile(const QString& path) {
    if (QFileInfo(path).isFile()) return OpenResultsFile(path);
    // Deleted or moved since: say so rather than leave a dead entry behind.
    if (recent_.Remove(path)) {
        if (settings_) recent_.Save(*settings_);
        RebuildRecentMenu();
    }
    if (ShowBox)
        ShowBox(
            LogDownloadView::BoxIcon::Error, translator_->Tr(QStringLiteral("[1020]Błąd")),
            FileProblemText(translator_->Tr(QStringLiteral("[2123]Nie można otworzyć pliku wyników")), path,
                            translator_->Tr(QStringLiteral("[2215]Usunięto go z listy ostatnio otwieranych plików."))));
    return false;
}

void MainWindow::ShowStatusNote(const QString& text) {
    if (!notePanel_) return;
    if (!statusNoteTimer_) {
        statusNoteTimer_ = new QTimer(this);
        statusNoteTimer_->setSingleShot(true);
        connect(statusNoteTimer_, &QTimer::timeout, this, [this] {
            notePanel_->clear();
            notePanel_->setToolTip(QString());
        });
    }
    notePanel_->setText(text);
    notePanel_->setToolTip(text);  // a long path may not fit the panel
    statusNoteTimer_->start(kStatusNoteMs);
}

void MainWindow::PrintoutSaved(const QString& path) {
    RecordChange(FileChange(ChangeKind::Report, VersionText(), results_, path));
    ShowStatusNote(translator_->Tr(QStringLiteral("[2204]Wydruk zapisano w pliku")) + u' ' +
                   QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

}  // namespace quorvex
