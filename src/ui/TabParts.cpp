#include "ui/TabParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quorvex {

QLabel* Label(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QLabel(caption, parent), name);
}

QLineEdit* Edit(QWidget* parent, const char* name, int width) {
    auto* e = Named(new QLineEdit(parent), name);
    if (width) e->setFixedWidth(width);
    return e;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = Named(new QPushButton(caption, parent), name);
    b->setMinimumWidth(90);
    return b;
}

QGroupBox* Group(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QGroupBox(caption, parent), name);
}

void NormalWeight(QWidget* page) {
    QFont f = page->font();
    f.setBold(false);
    page->setFont(f);
}

void BoldCaption(QGroupBox* box) {
    QFont bold = box->font();
    bold.setBold(true);
    box->setFont(bold);
    for (QObject* child : box->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || qobject_cast<QGroupBox*>(widget)) continue;
        QFont plain = widget->font();
        plain.setBold(false);
        widget->setFont(plain);
    }
}

void Row(QGridLayout* grid, int row, QWidget* caption, QWidget* field, QWidget* unit) {
    if (caption) grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    if (unit) grid->addWidget(unit, row, 2);
}

}  // namespace quorvex
