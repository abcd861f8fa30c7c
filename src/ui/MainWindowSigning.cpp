// The main window's signatures: the signer of what it writes and the trusted keys dialog.
#include <QAction>

#include "ui/MainWindow.h"
#include "ui/dialogs/TrustedKeysDialog.h"

namespace quorvex {

FileSigner MainWindow::Signer() const {
    return FileSigner(QStringLiteral("Quorvex " QUORVEX_VERSION), keyFolder,
                      !signFilesItem || signFilesItem->isChecked());
}

void MainWindow::onTrustedKeysChosen() {
    if (!trustedKeysDialog) trustedKeysDialog = new TrustedKeysDialog(keyFolder, this);
    static_cast<TrustedKeysDialog*>(trustedKeysDialog.data())->Refresh();
    trustedKeysDialog->open();
}

}  // namespace quorvex
