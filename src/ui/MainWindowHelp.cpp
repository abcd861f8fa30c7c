// The main window's Help menu and its About box: what the program is, its
// version and licence, where it keeps its settings and results, and where its
// manual is.
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsFolder.h"

namespace quorvex {

void MainWindow::BuildHelpMenu() {
    helpMenu_ = menuBar()->addMenu(QStringLiteral("[2205]Pomoc"));
    helpMenu_->setObjectName(QString::fromLatin1(objname::kHelpMenu));
    aboutItem_ = helpMenu_->addAction(QStringLiteral("[2206]O programie"));
    aboutItem_->setObjectName(QString::fromLatin1(objname::kAboutItem));
    aboutItem_->setMenuRole(QAction::AboutRole);
    connect(aboutItem_, &QAction::triggered, this, &MainWindow::onAboutChosen);
}

QString MainWindow::AboutText() const {
    auto line = [this](const char* numbered, const QString& value) {
        return translator_->Tr(QString::fromUtf8(numbered)) + QStringLiteral(": ") + value + u'\n';
    };
    // The folder the save dialog opens in: the one remembered from the last
    // save or open, else the folder the program was started from.
    QString folder = ResultsFolder(*settings_);
    if (folder.isEmpty()) folder = QDir::currentPath();
    return QStringLiteral("Quorvex\n") +
           translator_->Tr(QStringLiteral("[2209]Program towarzyszący rejestratorowi "
                                          "temperatury i wilgotności")) +
           QStringLiteral("\n\n") + line("[2214]Wersja", QStringLiteral(QUORVEX_VERSION)) +
           translator_->Tr(QStringLiteral("[2210]Licencja: wszelkie prawa zastrzeżone; licencji jeszcze nie "
                                          "udzielono.")) +
           QStringLiteral("\n\n") +
           line("[2211]Plik ustawień", QDir::toNativeSeparators(QFileInfo(SettingsFilePath()).absoluteFilePath())) +
           line("[2212]Wyniki są domyślnie zapisywane w", QDir::toNativeSeparators(folder)) +
           line("[2213]Instrukcja", QStringLiteral("man quorvex"));
}

void MainWindow::onAboutChosen() {
    if (!translator_ || !settings_) return;
    // Opened, not executed: the transmission thread's hand-overs go on meanwhile.
    if (!aboutBox_) {
        aboutBox_ = new QMessageBox(QMessageBox::Information, QString(), QString(), QMessageBox::Ok, this);
        aboutBox_->setObjectName(QString::fromLatin1(objname::kAboutBox));
        aboutBox_->setAttribute(Qt::WA_DeleteOnClose);
        aboutBox_->setTextFormat(Qt::PlainText);
        // The paths can be copied from it.
        aboutBox_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    aboutBox_->setWindowTitle(translator_->Tr(QStringLiteral("[2206]O programie")));
    aboutBox_->setText(AboutText().trimmed());
    aboutBox_->open();
    aboutBox_->raise();
}

}  // namespace quorvex
