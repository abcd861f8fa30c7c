#pragma once
// A numbered text of the archive with the values that fill its %1, %2, …: the window shows it
// in its language, quorvex-cli in English.
#include <QString>
#include <QStringList>

namespace quorvex {

struct ArchiveText {
    QString numbered;  // "[23xx]…" in Polish
    QStringList args;

    bool IsEmpty() const { return numbered.isEmpty(); }
    // In the language the program speaks now (TranslateText).
    QString Translated() const;
    // In one of the three languages (kLanguagePolish, …).
    QString In(const QString& language) const;
};

}  // namespace quorvex
