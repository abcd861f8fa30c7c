// The main window's signatures: the signer of what it writes and the trusted keys dialog.
#include <QAction>
#include <QFileInfo>

#include "archive/ChangeRecording.h"
#include "ui/CommandLine.h"
#include "ui/MainWindow.h"
#include "ui/dialogs/TrustedKeysDialog.h"

namespace quorvex {

FileSigner MainWindow::Signer() {
    FileSigner signer(QStringLiteral("Quorvex " QUORVEX_VERSION), keyFolder,
                      !signFilesItem || signFilesItem->isChecked());
    // Every signature made goes into the change log beside the file it signs.
    signer.SetOnSigned([this](const SignOutcome& o) {
        if (o.done) RecordChange(SignatureChange(o, VersionText()));
    });
    return signer;
}

void MainWindow::onTrustedKeysChosen() {
    if (!trustedKeysDialog) {
        auto* dialog = new TrustedKeysDialog(keyFolder, this);
        // Taking a key in changes which files count as trusted: the change log keeps it.
        dialog->KeyImported = [this](const TrustedKey& key) {
            ChangeEntry e = LocalChange(ChangeKind::TrustedKey, VersionText(), QString());
            e.subject = QFileInfo(key.file).absoluteFilePath();
            e.details = QStringLiteral("key %1").arg(KeyIdText(key.key.id));
            RecordChange(e);
        };
        trustedKeysDialog = dialog;
    }
    static_cast<TrustedKeysDialog*>(trustedKeysDialog.data())->Refresh();
    trustedKeysDialog->open();
}

}  // namespace quorvex
