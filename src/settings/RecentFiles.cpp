#include "settings/RecentFiles.h"

#include <QFileInfo>

#include "settings/IniFile.h"

namespace quorvex {

namespace {

const QString kSection = QStringLiteral("RecentFiles");

QString Key(int index) { return QStringLiteral("File%1").arg(index + 1); }

QString Absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

}  // namespace

void RecentFiles::Load(const IniFile& ini) {
    files_.clear();
    for (int i = 0; i < kMaxFiles; ++i) {
        const QString path = ini.ReadString(kSection, Key(i), QString()).trimmed();
        if (!path.isEmpty() && !files_.contains(Absolute(path))) files_ << Absolute(path);
    }
}

void RecentFiles::Save(IniFile& ini) const {
    for (int i = 0; i < kMaxFiles; ++i) ini.WriteString(kSection, Key(i), files_.value(i));
    ini.Flush();
}

void RecentFiles::Add(const QString& path) {
    const QString absolute = Absolute(path);
    files_.removeAll(absolute);
    files_.prepend(absolute);
    while (files_.size() > kMaxFiles) files_.removeLast();
}

bool RecentFiles::Remove(const QString& path) { return files_.removeAll(Absolute(path)) > 0; }

bool RecentFiles::DropMissing() {
    return files_.removeIf([](const QString& path) { return !QFileInfo(path).isFile(); }) > 0;
}

}  // namespace quorvex
