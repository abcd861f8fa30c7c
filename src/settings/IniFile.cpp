#include "settings/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorvex {

namespace {
QString Key(const QString& section, const QString& key) { return section + QLatin1Char('/') + key; }
}  // namespace

IniFile::IniFile(const QString& path)
    : path_(path), settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const QVariant v = settings_->value(Key(section, key));
    if (!v.isValid()) return def;
    // A value with a comma comes back from QSettings as a list; join it again.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int n = ReadString(section, key, QString()).trimmed().toInt(&ok);
    return ok ? n : def;
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    settings_->setValue(Key(section, key), value);
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    settings_->setValue(Key(section, key), value);
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

bool IniFile::Flush() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

bool IsInstalledProgram(const QString& executablePath) {
    // A bin folder below the system's program prefixes: the package manager owns that folder,
    // so nothing of the operator's may be left in it, writable (as root) or not.
    const QString dir = QDir::cleanPath(QFileInfo(executablePath).absolutePath());
    if (QFileInfo(dir).fileName() != QLatin1String("bin")) return false;
    for (const char* prefix : {"/usr/", "/opt/"})
        if (dir.startsWith(QLatin1String(prefix))) return true;
    return dir == QLatin1String("/bin");
}

QString UserSettingsFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return QDir(base).filePath(QStringLiteral("quorvex"));
}

QString SettingsPath(const QString& executablePath, const QString& overridePath) {
    if (!overridePath.isEmpty()) return overridePath;
    const QFileInfo exe(executablePath);
    const QString name = exe.completeBaseName() + QStringLiteral(".INI");
    if (!IsInstalledProgram(executablePath)) {
        QString beside = exe.absoluteDir().filePath(name);
        const QFileInfo dir(exe.absolutePath());
        const QFileInfo existing(beside);
        const bool writable = existing.exists() ? existing.isWritable() : dir.isWritable();
        if (writable) return beside;
    }
    const QString config = UserSettingsFolder();
    QDir().mkpath(config);
    return QDir(config).filePath(name);
}

}  // namespace quorvex
