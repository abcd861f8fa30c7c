#pragma once
// Settings → "Zaufane klucze…": the public keys whose signatures count as trusted when a results
// file is opened. The installation's own key is listed first and cannot be removed; others are
// imported from public key files (as `quorvex-cli key` shows them on another computer) and removed.
#include <QDialog>

#include <functional>

#include "sign/SignatureCheck.h"

class QPushButton;
class QTreeWidget;

namespace quorvex {

class TrustedKeysDialog : public QDialog {
    Q_OBJECT
public:
    TrustedKeysDialog(QString keyFolder, QWidget* parent = nullptr);

    // Asks for the public key file to import ("" = cancelled); replaceable in tests.
    std::function<QString()> AskKeyFile;
    // Shows why an import failed; replaceable in tests.
    std::function<void(const QString& text)> ShowProblem;
    // Asks whether to trust the key `text` names (its id and file); a box unless a test sets it.
    std::function<bool(const QString& text)> ConfirmImport;
    // Told of every key taken in (for the change log).
    std::function<void(const TrustedKey& key)> KeyImported;

    // Reads the keys anew.
    void Refresh();
    // Imports the key file at `path` once the operator confirms its id; false (with the problem
    // shown) when it is no key, or when the operator declines.
    bool Import(const QString& path);
    // Removes the chosen imported key.
    void RemoveChosen();

protected:
    void changeEvent(QEvent* event) override;

private:
    void RetranslateTexts();

    QString keyFolder_;
    QTreeWidget* keys_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

}  // namespace quorvex
