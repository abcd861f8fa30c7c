#pragma once
// The results files opened last, most recent first, as the File menu offers
// them. They are kept in the settings file, section "RecentFiles", keys
// "File1" … "File5", and written as soon as the list changes, so a second
// window or a program that does not end cleanly loses none.
#include <QString>
#include <QStringList>

namespace quorvex {

class IniFile;

class RecentFiles {
public:
    static constexpr int kMaxFiles = 5;

    // The list as stored; empty and repeated entries are skipped.
    void Load(const IniFile& ini);
    // Writes every key, the unused ones empty, and flushes the file.
    void Save(IniFile& ini) const;

    // `path` (made absolute) goes to the front; a file already listed moves
    // there, and the oldest falls off beyond kMaxFiles.
    void Add(const QString& path);
    // False when it was not listed.
    bool Remove(const QString& path);
    // Drops the files that are no longer there; true when any was dropped.
    bool DropMissing();

    const QStringList& Files() const { return files_; }

private:
    QStringList files_;
};

}  // namespace quorvex
