// quorvex-cli audit [--serial S] [--json] | audit --verify: the archive's change log.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CliCommands.h"
#include "i18n/Translator.h"
#include "params/ParameterCaption.h"

namespace quorvex {

namespace {

QJsonObject EntryJson(const ChangeEntry& e) {
    const bool records = e.download != 0;
    return {{QStringLiteral("entry"), static_cast<qint64>(e.sequence)},
            {QStringLiteral("moment"), ChangeMomentText(e.moment)},
            {QStringLiteral("user"), e.user},
            {QStringLiteral("host"), e.host},
            {QStringLiteral("program"), e.program},
            {QStringLiteral("serial"), e.serial},
            {QStringLiteral("kind"), ChangeKindName(e.kind)},
            {QStringLiteral("subject"), e.subject},
            {QStringLiteral("before"), e.before},
            {QStringLiteral("after"), e.after},
            {QStringLiteral("confirmed"), e.confirmed < 0 ? QJsonValue() : QJsonValue(e.confirmed == 1)},
            {QStringLiteral("first_record"),
             records && e.lastRecord >= e.firstRecord ? QJsonValue(e.firstRecord) : QJsonValue()},
            {QStringLiteral("last_record"),
             records && e.lastRecord >= e.firstRecord ? QJsonValue(e.lastRecord) : QJsonValue()},
            {QStringLiteral("fingerprint"), e.fingerprint.isEmpty() ? QJsonValue() : QJsonValue(e.fingerprint)},
            {QStringLiteral("details"), e.details},
            {QStringLiteral("hash"), e.hash}};
}

// One line an entry: number, moment, who, where, program, logger, what.
QString EntryLine(const ChangeEntry& e) {
    QString what = ChangeKindName(e.kind);
    // A write's parameter by the window's name for it, in English.
    const QString caption =
        e.kind == ChangeKind::Download || e.kind == ChangeKind::Import ? QString() : ParameterCaption(e.subject);
    if (!e.subject.isEmpty())
        what += QStringLiteral(" ") + (caption.isEmpty() ? e.subject : ArchiveText{caption, {}}.In(kLanguageEnglish));
    if (e.kind == ChangeKind::RegisterWrite || e.kind == ChangeKind::ClockSet || e.kind == ChangeKind::Start ||
        e.kind == ChangeKind::Stop)
        what += QStringLiteral(": '%1' -> '%2' (%3)")
                    .arg(e.before, e.after,
                         e.confirmed == 1 ? QStringLiteral("confirmed") : QStringLiteral("NOT confirmed"));
    if (e.download != 0 && e.lastRecord >= e.firstRecord)
        what += QStringLiteral(", records %1-%2").arg(e.firstRecord).arg(e.lastRecord);
    if (!e.fingerprint.isEmpty()) what += QStringLiteral(", fingerprint ") + e.fingerprint;
    if (!e.details.isEmpty()) what += QStringLiteral(" [") + e.details + u']';
    return QStringLiteral("%1  %2  %3@%4  %5  %6  %7")
        .arg(e.sequence)
        .arg(ChangeMomentText(e.moment), e.user, e.host, e.program, e.serial.isEmpty() ? QStringLiteral("-") : e.serial,
             what);
}

}  // namespace

int RunAudit(const CliContext& c) {
    if (c.archive.kind == ArchiveLocation::Kind::None) {
        Say(QStringLiteral("audit needs an archive; --archive none names none"));
        return kExitUsage;
    }
    auto archive = c.OpenArchive(CliContext::ArchiveUse::Read);
    if (!archive) return kExitArchive;
    if (c.options.verify) {
        const auto check = archive->CheckChanges();
        if (!check) return Say(English(archive->LastError())), kExitArchive;
        // The verdict in the run's language, as verify says its own.
        const QString said = MessageLine(ChangeLogCheckText(*check).In(c.language));
        if (!check->Intact()) return Say(said), kExitArchive;
        Print(said + u'\n');
        return kExitDone;
    }
    const auto entries = archive->Changes({c.options.serial, {}, {}});
    if (!entries) return Say(English(archive->LastError())), kExitArchive;
    if (c.options.json) {
        QJsonArray list;
        for (const ChangeEntry& e : *entries) list.append(EntryJson(e));
        Print(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("archive"), archive->Location().Display()},
                                                          {QStringLiteral("entries"), list}})
                                    .toJson(QJsonDocument::Indented)));
        return kExitDone;
    }
    QString text;
    for (const ChangeEntry& e : *entries) text += EntryLine(e) + u'\n';
    Print(text);
    return kExitDone;
}

}  // namespace quorvex
