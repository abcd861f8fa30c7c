#pragma once
// The settings file: an INI file of sections and key=value lines, read with a
// default for every key so that a missing, empty or damaged file simply gives
// the defaults. Booleans are stored as 1 and 0.
#include <QSettings>
#include <QString>

#include <memory>

namespace quorvex {

class IniFile {
public:
    explicit IniFile(const QString& path);
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& Path() const { return path_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // The default also for a value that is not a whole number ("abc", "12px").
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    // Writes what was changed to the file. False when it could not be written.
    bool Flush();

private:
    QString path_;
    std::unique_ptr<QSettings> settings_;
};

// Where the program keeps its settings: `overridePath` when given; for a program run from its
// build or a portable folder the executable's path with its extension replaced by ".INI"
// (quorvex -> quorvex.INI); for an installed program (IsInstalledProgram), or when the
// program's folder is not writable, the same file name in UserSettingsFolder().
QString SettingsPath(const QString& executablePath, const QString& overridePath = {});

// The executable lies in a bin folder below /usr or /opt (also /usr/local), or in /bin.
bool IsInstalledProgram(const QString& executablePath);

// $XDG_CONFIG_HOME/quorvex (~/.config/quorvex when that is not set).
QString UserSettingsFolder();

}  // namespace quorvex
