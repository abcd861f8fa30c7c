#include "ui/dialogs/TrustedKeysDialog.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "i18n/ProgramTexts.h"
#include "sign/SignatureCheck.h"
#include "ui/dialogs/ObjectNames.h"

namespace quorvex {

namespace {

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

enum KeyData { kOwn = Qt::UserRole, kId };

}  // namespace

TrustedKeysDialog::TrustedKeysDialog(QString keyFolder, QWidget* parent)
    : QDialog(parent), keyFolder_(std::move(keyFolder)) {
    setObjectName(QString::fromLatin1(objname::kTrustedKeysDialog));
    resize(640, 320);
    auto* layout = new QVBoxLayout(this);
    keys_ = Named(new QTreeWidget(this), objname::kTrustedKeysList);
    keys_->setRootIsDecorated(false);
    keys_->setColumnCount(2);
    layout->addWidget(keys_, 1);
    auto* buttons = new QHBoxLayout;
    importButton_ = Named(new QPushButton(this), objname::kTrustedKeysImport);
    removeButton_ = Named(new QPushButton(this), objname::kTrustedKeysRemove);
    closeButton_ = Named(new QPushButton(this), objname::kTrustedKeysClose);
    buttons->addWidget(importButton_);
    buttons->addWidget(removeButton_);
    buttons->addStretch();
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);

    AskKeyFile = [this] {
        return QFileDialog::getOpenFileName(
            this, TranslateText(QStringLiteral("[2562]Importuj klucz publiczny")), QString(),
            TranslateText(QStringLiteral("[2567]Klucze publiczne")) + QStringLiteral(" (*.pub);;* (*)"));
    };
    ShowProblem = [this](const QString& text) {
        QMessageBox::warning(this, TranslateText(QStringLiteral("[1020]Błąd")), text);
    };
    ConfirmImport = [this](const QString& text) {
        return QMessageBox::question(this, TranslateText(QStringLiteral("[2561]Zaufane klucze")), text) ==
               QMessageBox::Yes;
    };
    connect(importButton_, &QPushButton::clicked, this, [this] {
        const QString path = AskKeyFile ? AskKeyFile() : QString();
        if (!path.isEmpty()) Import(path);
    });
    connect(removeButton_, &QPushButton::clicked, this, &TrustedKeysDialog::RemoveChosen);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
    // The own key stays: without it the installation's own files would not count as trusted.
    connect(keys_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { removeButton_->setEnabled(item && !item->data(0, kOwn).toBool()); });
    RetranslateTexts();
    Refresh();
}

void TrustedKeysDialog::RetranslateTexts() {
    setWindowTitle(TranslateText(QStringLiteral("[2561]Zaufane klucze")));
    keys_->setHeaderLabels(
        {TranslateText(QStringLiteral("[2563]Identyfikator klucza")), TranslateText(QStringLiteral("[2564]Plik"))});
    importButton_->setText(TranslateText(QStringLiteral("[2562]Importuj klucz publiczny")) + u'…');
    removeButton_->setText(TranslateText(QStringLiteral("[2565]Usuń")));
    closeButton_->setText(TranslateText(QStringLiteral("[2334]Zamknij")));
    Refresh();
}

void TrustedKeysDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) RetranslateTexts();
}

void TrustedKeysDialog::Refresh() {
    keys_->clear();
    for (const TrustedKey& k : LoadTrustedKeys(keyFolder_)) {
        const QString where = k.own ? TranslateText(QStringLiteral("[2566]własny klucz tej instalacji")) + u' ' +
                                          QDir::toNativeSeparators(k.file)
                                    : QDir::toNativeSeparators(k.file);
        auto* item = new QTreeWidgetItem(keys_, {KeyIdText(k.key.id), where});
        item->setData(0, kOwn, k.own);
        item->setData(0, kId, QByteArray(reinterpret_cast<const char*>(k.key.id.data()), 8));
    }
    keys_->resizeColumnToContents(0);
    removeButton_->setEnabled(false);
}

bool TrustedKeysDialog::Import(const QString& path) {
    QFile file(path);
    QString problem;
    std::optional<TrustedKey> key;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
    } else {
        const QByteArray text = file.read(8192);
        // Every file signed by this key will count as trusted: the operator sees which key it is first.
        FormatProblem why;
        const auto parsed = ParsePublicKey(text, &why);
        if (!parsed) {
            problem = why.Text();
        } else {
            const QString question =
                TranslateText(QStringLiteral("[2609]Ufać podpisom klucza %1 z pliku %2? Pliki podpisane tym kluczem "
                                             "będą odtąd uznawane za zaufane."))
                    .arg(KeyIdText(parsed->id), QDir::toNativeSeparators(path));
            if (ConfirmImport && !ConfirmImport(question)) return false;
            key = ImportTrustedKey(keyFolder_, text, &problem);
        }
    }
    if (!key) {
        if (ShowProblem)
            ShowProblem(TranslateText(QStringLiteral("[2560]Nie można zaimportować klucza publicznego %1: %2"))
                            .arg(QDir::toNativeSeparators(path), problem));
        return false;
    }
    if (KeyImported) KeyImported(*key);
    Refresh();
    return true;
}

void TrustedKeysDialog::RemoveChosen() {
    QTreeWidgetItem* item = keys_->currentItem();
    if (!item || item->data(0, kOwn).toBool()) return;
    const QByteArray raw = item->data(0, kId).toByteArray();
    KeyId id{};
    std::copy(raw.begin(), raw.begin() + std::min<qsizetype>(raw.size(), 8), id.begin());
    RemoveTrustedKey(keyFolder_, id);
    Refresh();
}

}  // namespace quorvex
