#include "ui/MessagesTab.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ui/ObjectNames.h"
#include "ui/TabParts.h"

namespace quorvex {

MessagesTab::MessagesTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(objname::kMessagesTab));
    NormalWeight(this);
    list_ = Named(new QListWidget(this), objname::kMessageList);
    (new QVBoxLayout(this))->addWidget(list_);
}

void MessagesTab::AddLine(const QString& line) {
    if (list_->count() > 0 && line == lastLine_) return;
    lastLine_ = line;
    list_->addItem(line);
}

QStringList MessagesTab::Lines() const {
    QStringList lines;
    for (int i = 0; i < list_->count(); ++i) lines << list_->item(i)->text();
    return lines;
}

}  // namespace quorvex
