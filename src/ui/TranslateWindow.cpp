#include "ui/TranslateWindow.h"

#include "i18n/Translator.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>

#include <cstring>

namespace quorvex {
namespace {

bool IsClass(const QObject* object, const char* name) {
    return std::strcmp(object->metaObject()->className(), name) == 0;
}

// The tab widget showing `page` as one of its tabs, if any.
QTabWidget* OwningTabWidget(QWidget* page, int* index) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs) return nullptr;
    *index = tabs->indexOf(page);
    return *index >= 0 ? tabs : nullptr;
}

QString CaptionOf(QWidget* w) {
    int index = -1;
    if (QTabWidget* tabs = OwningTabWidget(w, &index)) return tabs->tabText(index);
    if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title();
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    return w->windowTitle();
}

void SetCaptionOf(QWidget* w, const QString& caption) {
    if (CaptionOf(w) == caption) return;  // spare the repaint and the signals
    int index = -1;
    if (QTabWidget* tabs = OwningTabWidget(w, &index)) {
        tabs->setTabText(index, caption);
    } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
        box->setTitle(caption);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(caption);
    } else {
        w->setWindowTitle(caption);
    }
}

void TranslateOwnCaption(Translator& translator, QWidget* w) {
    SetCaptionOf(w, translator.TranslateCaption(CaptionOf(w), w));
}

void TranslateHeader(Translator& translator, QAbstractItemView* view) {
    QAbstractItemModel* model = view->model();
    if (!model) return;
    for (int column = 0; column < model->columnCount(); ++column) {
        const QString now = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString caption = translator.TranslateCaption(now, view, column);
        if (caption == now) continue;
        if (!model->setHeaderData(column, Qt::Horizontal, caption, Qt::EditRole))
            model->setHeaderData(column, Qt::Horizontal, caption, Qt::DisplayRole);
    }
}

void WalkChildren(Translator& translator, QWidget* control);

void WalkWindow(Translator& translator, QWidget* control) {
    TranslateOwnCaption(translator, control);
    WalkChildren(translator, control);
}

void TranslateChild(Translator& translator, QWidget* child) {
    if (IsClass(child, "QTabWidget") || IsClass(child, "QWidget") || IsClass(child, "QFrame")) {
        WalkWindow(translator, child);
    } else if (IsClass(child, "QGroupBox")) {
        TranslateOwnCaption(translator, child);
        WalkWindow(translator, child);
    } else if (IsClass(child, "QLabel") || IsClass(child, "QPushButton") || IsClass(child, "QRadioButton") ||
               IsClass(child, "QCheckBox")) {
        TranslateOwnCaption(translator, child);
    } else if (IsClass(child, "QTableView") || IsClass(child, "QTableWidget") || IsClass(child, "QTreeView") ||
               IsClass(child, "QTreeWidget")) {
        TranslateHeader(translator, static_cast<QAbstractItemView*>(child));
    }
}

void WalkChildren(Translator& translator, QWidget* control) {
    // A tab widget's own children are its tab bar and page stack; its pages are
    // what holds the captions, in tab order.
    if (IsClass(control, "QTabWidget")) {
        auto* tabs = static_cast<QTabWidget*>(control);
        for (int i = 0; i < tabs->count(); ++i) {
            QWidget* page = tabs->widget(i);
            TranslateOwnCaption(translator, page);
            WalkWindow(translator, page);
        }
        return;
    }
    // Copy first: a caption change must not disturb the walk over the children.
    const QObjectList children = control->children();
    for (QObject* object : children) {
        if (object->isWidgetType()) TranslateChild(translator, static_cast<QWidget*>(object));
    }
}

void TranslateAction(Translator& translator, QAction* action) {
    const QString caption = translator.TranslateCaption(action->text(), action);
    if (action->text() != caption) action->setText(caption);
    if (QMenu* sub = action->menu()) {
        const QList<QAction*> items = sub->actions();
        for (QAction* item : items) TranslateAction(translator, item);
    }
}

}  // namespace

void TranslateWindow(Translator& translator, const QString& language, QWidget* control) {
    translator.SetLanguage(language);
    if (control) WalkWindow(translator, control);
}

void TranslateMenu(Translator& translator, const QString& language, QWidget* menu) {
    translator.SetLanguage(language);
    if (!menu) return;
    const QList<QAction*> items = menu->actions();
    for (QAction* action : items) TranslateAction(translator, action);
}

}  // namespace quorvex
