#pragma once
// Whole-window and menu walks of the translator over Qt widgets.
//
// TranslateWindow sets the translator's language, translates the control's own
// caption and then its direct children, chosen by their exact class name (a
// derived class with its own meta-object is not matched):
//   QTabWidget                  its pages as tab sheets: tab text, then the page's children
//   QWidget, QFrame             plain containers (panels): their children
//   QGroupBox                   title, then its children
//   QLabel, QPushButton, QRadioButton, QCheckBox           text
//   QTableView, QTableWidget, QTreeView, QTreeWidget        horizontal header titles
// Anything else (edit boxes, lists, tool bars, status bars, painted widgets) is
// left alone together with its children. Header titles are changed through
// the view's model, which must accept setHeaderData for horizontal sections.
//
// TranslateMenu sets the language and translates every action of a menu bar or
// menu, depth first through sub-menus.

#include <QString>

class QWidget;

namespace quorvex {

class Translator;

void TranslateWindow(Translator& translator, const QString& language, QWidget* control);
void TranslateMenu(Translator& translator, const QString& language, QWidget* menu);

}  // namespace quorvex
