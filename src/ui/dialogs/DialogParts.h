#pragma once
// Small pieces the parameter dialogs share: naming controls, the Save/Cancel
// row, fitting the window to its (translated) captions, and the write-then-
// read-back step of a two-register parameter.
#include <QString>

class QBoxLayout;
class QDialog;
class QObject;
class QDateTimeEdit;
class QPushButton;

namespace quorvex {

class ParameterModel;
class Parameter;

template <class T>
T* Named(T* object, const char* name) {
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

// "[14]Zapisz" and "[15]Anuluj" at the bottom right, direct children of the
// dialog so that the translator's walk finds them.
void AddSaveCloseButtons(QDialog* dialog, QBoxLayout* layout, QPushButton*& save, QPushButton*& close);

// Puts the picker on the default locale with `format` and makes it wide enough
// for every date of a year in it (weekday and month names differ in length;
// the picker's own size hint measures only its first and last date).
void SetPickerFormat(QDateTimeEdit* picker, const QString& format);

// A menu item's caption as the title of the window it opens: without its closing "…".
inline QString TitleOfItem(QString caption) {
    if (caption.endsWith(u'…')) caption.chop(1);
    return caption;
}

// Resizes the dialog to what its captions need in the current language.
void FitToCaptions(QDialog* dialog);

// The text into the parameter's two register copies, a function-16 write of
// them, the copies emptied, and a read-back of the two registers: the screen
// shows the value only once the logger has confirmed it.
void WriteAndReadBack(ParameterModel& model, Parameter& parameter, const QString& text);

}  // namespace quorvex
