#pragma once
// Where the archive lives: an SQLite file (the default, one per user), a PostgreSQL server that
// several workstations share, or none. Written by the operator as a path, as
// "postgresql://user@host:port/database" (libpq's query options such as "?host=/run/db" for a
// socket folder go along), or as "none". A password never goes into the text: libpq takes it
// from ~/.pgpass or PGPASSFILE, and a text carrying one is refused.
#include <QMap>
#include <QString>

#include <optional>

#include "archive/ArchiveText.h"

namespace quorvex {

class IniFile;

struct ArchiveLocation {
    enum class Kind { None, Sqlite, Postgres };
    Kind kind = Kind::None;
    QString path;  // Sqlite: the file
    // Postgres:
    QString user;
    QString host;  // empty: libpq's default socket; a path: a socket folder
    int port = -1;
    QString database;
    QMap<QString, QString> options;  // further libpq connect options from the query

    // The file or the server as a message names it ("user@host:5432/db").
    QString Display() const;
};

// The settings file's section and key that name the archive (both programs read them).
inline const QString kArchiveSection = QStringLiteral("Archive");
inline const QString kArchiveLocationKey = QStringLiteral("Location");

// $XDG_DATA_HOME/quorvex/archive.sqlite, ~/.local/share/quorvex/ when that is unset.
QString DefaultArchivePath();

// Nothing with a numbered reason for a text that names no archive it can use.
std::optional<ArchiveLocation> ParseArchiveLocation(const QString& text, ArchiveText& error);

// `given` (a command-line option) when set, else the settings file's, else the default file.
std::optional<ArchiveLocation> ResolveArchiveLocation(const QString& given, const IniFile& settings,
                                                      ArchiveText& error);

}  // namespace quorvex
