#pragma once
// The folder results files were last saved to or opened from (the settings file's Dir): the
// save, open, import and report dialogs start there.
#include <QFileInfo>
#include <QString>

#include "settings/IniFile.h"

namespace quorvex {

inline const QString kResultsFolderSection = QStringLiteral("Okno");
inline const QString kResultsFolderKey = QStringLiteral("Dir");

inline QString ResultsFolder(const IniFile& settings) {
    return settings.ReadString(kResultsFolderSection, kResultsFolderKey, QString());
}

// Remembers the folder of `path`, a file just saved or opened.
inline void RememberResultsFolder(IniFile& settings, const QString& path) {
    settings.WriteString(kResultsFolderSection, kResultsFolderKey, QFileInfo(path).absolutePath());
    settings.Flush();
}

}  // namespace quorvex
