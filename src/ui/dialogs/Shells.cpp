#include "ui/dialogs/Shells.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvex {

ShellDialog::ShellDialog(const QString& objectName, const QString& caption, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    auto* close = new QPushButton(QStringLiteral("OK"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    (new QVBoxLayout(this))->addWidget(close);
}

}  // namespace quorvex
