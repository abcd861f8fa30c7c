#include "archive/ChangeLog.h"

#include <QCryptographicHash>
#include <QSysInfo>

#include <iterator>

#include <pwd.h>
#include <unistd.h>

namespace quorvex {

namespace {

const char* const kKindNames[] = {"register", "clock",  "start",     "stop", "reset",       "download", "import",
                                  "export",   "report", "signature", "file", "trusted-key", "study",    "calibration"};

void Field(QByteArray& out, const QByteArray& bytes) {
    out += QByteArray::number(bytes.size());
    out += ':';
    out += bytes;
    out += '\n';
}

}  // namespace

QString LocalUserName() {
    if (const passwd* pw = ::getpwuid(::geteuid())) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString ChangeKindName(ChangeKind kind) { return QString::fromLatin1(kKindNames[static_cast<int>(kind)]); }

std::optional<ChangeKind> ChangeKindFromName(const QString& name) {
    for (int i = 0; i < static_cast<int>(std::size(kKindNames)); ++i)
        if (name == QLatin1String(kKindNames[i])) return static_cast<ChangeKind>(i);
    return std::nullopt;
}

ChangeEntry LocalChange(ChangeKind kind, const QString& program, const QString& serial) {
    ChangeEntry e;
    e.moment = QDateTime::currentDateTimeUtc();
    e.user = LocalUserName();
    e.host = QSysInfo::machineHostName();
    e.program = program;
    e.serial = serial;
    e.kind = kind;
    return e;
}

QString ChangeMomentText(const QDateTime& moment) {
    return moment.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"));
}

QByteArray CanonicalChange(const ChangeEntry& e) {
    QByteArray out;
    out.reserve(256);
    const auto text = [&](const QString& s) { Field(out, s.toUtf8()); };
    const auto number = [&](qint64 n) { Field(out, QByteArray::number(n)); };
    number(e.sequence);
    text(ChangeMomentText(e.moment));
    text(e.user);
    text(e.host);
    text(e.program);
    text(e.serial);
    text(ChangeKindName(e.kind));
    text(e.subject);
    text(e.before);
    text(e.after);
    number(e.confirmed);
    number(e.download);
    number(e.firstRecord);
    number(e.lastRecord);
    text(e.fingerprint);
    text(e.details);
    return out;
}

QString ChainHash(const QString& previousHash, const QByteArray& canonical) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray previous =
        previousHash.isEmpty() ? QByteArray(32, '\0') : QByteArray::fromHex(previousHash.toLatin1());
    hash.addData(previous);
    hash.addData(canonical);
    return QString::fromLatin1(hash.result().toHex());
}

ArchiveText ChangeLogCheckText(const ChangeLogCheck& check) {
    switch (check.fault) {
    case ChangeLogCheck::Fault::None:
        return {QStringLiteral("[2570]Dziennik zmian nienaruszony (%1 wpis)|"
                               "Dziennik zmian nienaruszony (%1 wpisy)|Dziennik zmian nienaruszony (%1 wpisów)"),
                {QString::number(check.entries)}};
    case ChangeLogCheck::Fault::Changed:
        return {QStringLiteral("[2571]Wpis %1 dziennika zmian został zmieniony lub usunięty"),
                {QString::number(check.brokenAt)}};
    case ChangeLogCheck::Fault::Records:
        break;
    }
    return {QStringLiteral("[2572]Rekordy odczytu z wpisu %1 dziennika zmian zostały zmienione"),
            {QString::number(check.brokenAt)}};
}

}  // namespace quorvex
