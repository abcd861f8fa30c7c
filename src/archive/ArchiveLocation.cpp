#include "archive/ArchiveLocation.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

#include "settings/IniFile.h"

namespace quorvex {

QString ArchiveLocation::Display() const {
    switch (kind) {
    case Kind::None:
        return QStringLiteral("none");
    case Kind::Sqlite:
        return QDir::toNativeSeparators(path);
    case Kind::Postgres: {
        QString s = user.isEmpty() ? QString() : user + u'@';
        s += host.isEmpty() ? QStringLiteral("localhost") : host;
        if (port > 0) s += u':' + QString::number(port);
        return s + u'/' + database;
    }
    }
    return {};
}

QString DefaultArchivePath() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir(base).filePath(QStringLiteral("quorvex/archive.sqlite"));
}

std::optional<ArchiveLocation> ParseArchiveLocation(const QString& text, ArchiveText& error) {
    ArchiveLocation l;
    QString t = text.trimmed();
    // As a shell would: the settings file may name "~/…".
    if (t == u'~' || t.startsWith(QStringLiteral("~/"))) t = QDir::homePath() + t.mid(1);
    if (t.compare(QStringLiteral("none"), Qt::CaseInsensitive) == 0) return l;
    const bool server = t.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive) ||
                        t.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive);
    if (!server) {
        if (t.isEmpty() || t.contains(QStringLiteral("://"))) {
            error = {QStringLiteral("[2308]Nieznane miejsce archiwum: %1"), {text}};
            return std::nullopt;
        }
        l.kind = ArchiveLocation::Kind::Sqlite;
        l.path = QDir::cleanPath(QDir::current().absoluteFilePath(t));
        return l;
    }
    const QUrl url(t, QUrl::StrictMode);
    if (!url.isValid() || url.path().size() < 2) {
        error = {QStringLiteral("[2308]Nieznane miejsce archiwum: %1"), {text}};
        return std::nullopt;
    }
    const QUrlQuery query(url);
    if (!url.password().isEmpty() || query.hasQueryItem(QStringLiteral("password"))) {
        QUrl shown = url;
        shown.setPassword({});
        shown.setQuery(QString());
        error = {QStringLiteral("[2301]Adres archiwum nie może zawierać hasła; serwer bierze je z pliku ~/.pgpass "
                                "lub PGPASSFILE: %1"),
                 {shown.toString()}};
        return std::nullopt;
    }
    l.kind = ArchiveLocation::Kind::Postgres;
    l.user = url.userName();
    l.host = url.host();
    l.port = url.port(-1);
    l.database = url.path().mid(1);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            l.host = value;
        else if (key == QLatin1String("port"))
            l.port = value.toInt();
        else if (key == QLatin1String("user"))
            l.user = value;
        else
            l.options.insert(key, value);
    }
    return l;
}

std::optional<ArchiveLocation> ResolveArchiveLocation(const QString& given, const IniFile& settings,
                                                      ArchiveText& error) {
    QString text = given;
    if (text.isEmpty()) text = settings.ReadString(kArchiveSection, kArchiveLocationKey, QString());
    if (text.isEmpty()) text = DefaultArchivePath();
    return ParseArchiveLocation(text, error);
}

}  // namespace quorvex
