// quorvex-cli archive import | list | export: the archive without a logger.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "archive/ChangeRecording.h"
#include "archive/ImportSignature.h"
#include "cli/CliCommands.h"
#include "i18n/ProgramTexts.h"
#include "i18n/Translator.h"
#include "settings/IniFile.h"

namespace quorvex {

// A moment on the logger clock as the operator types it: a date, with a time or not.
std::optional<Moment> ParseClock(const QString& text) {
    QString t = text.trimmed();
    t.replace(u' ', u'T');
    QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    if (!dt.isValid()) {
        const QDate day = QDate::fromString(t, Qt::ISODate);
        if (!day.isValid()) return std::nullopt;
        dt = QDateTime(day, QTime(0, 0));
    }
    return ToMoment(dt.date(), dt.time());
}

namespace {

const QString kClockFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString ClockText(Moment m) { return FromMoment(m).toString(kClockFormat); }
QString ClockText(std::int64_t seconds) { return ClockText(MomentFromSeconds(seconds)); }
QString LocalText(const QDateTime& utc) { return utc.toLocalTime().toString(kClockFormat); }

QJsonObject DownloadJson(const ArchiveDownloadRow& d) {
    return {{QStringLiteral("moment"), d.moment.toString(Qt::ISODate)},
            {QStringLiteral("user"), d.user},
            {QStringLiteral("host"), d.host},
            {QStringLiteral("program"), d.program},
            {QStringLiteral("link"), d.link},
            {QStringLiteral("first_record"), d.last >= d.first ? QJsonValue(d.first) : QJsonValue()},
            {QStringLiteral("last_record"), d.last >= d.first ? QJsonValue(d.last) : QJsonValue()},
            {QStringLiteral("outcome"), OutcomeName(d.outcome)}};
}

QJsonObject LogJson(const ArchiveLogRow& l) {
    QJsonArray downloads;
    for (const ArchiveDownloadRow& d : l.downloads) downloads.append(DownloadJson(d));
    const bool any = l.archived > 0;
    return {
        {QStringLiteral("start"),
         FromMoment(MomentFromSeconds(l.key.startSeconds)).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))},
        {QStringLiteral("interval_s"), l.key.intervalSeconds},
        {QStringLiteral("source_file"), l.sourceFile.isEmpty() ? QJsonValue() : QJsonValue(l.sourceFile)},
        {QStringLiteral("archived"), l.archived},
        {QStringLiteral("announced"), l.announced},
        {QStringLiteral("first_record"),
         any ? QJsonValue(FromMoment(l.firstRecord).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))) : QJsonValue()},
        {QStringLiteral("last_record"),
         any ? QJsonValue(FromMoment(l.lastRecord).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))) : QJsonValue()},
        {QStringLiteral("downloads"), downloads}};
}

int List(const CliContext& c, Archive& archive) {
    const auto loggers = archive.Loggers();
    if (!loggers) return Say(English(archive.LastError())), kExitArchive;
    QJsonArray json;
    QString text;
    for (const ArchiveLoggerRow& g : *loggers) {
        const auto logs = archive.Logs(g.serial);
        if (!logs) return Say(English(archive.LastError())), kExitArchive;
        QJsonArray logArray;
        text += QStringLiteral("Logger %1  %2  type %3  last download %4\n")
                    .arg(g.serial.isEmpty() ? QStringLiteral("(no serial)") : g.serial, g.name, g.type,
                         LocalText(g.lastDownload));
        for (const ArchiveLogRow& l : *logs) {
            logArray.append(LogJson(l));
            text += QStringLiteral("  log %1  interval %2 s  records %3/%4")
                        .arg(ClockText(l.key.startSeconds))
                        .arg(l.key.intervalSeconds)
                        .arg(l.archived)
                        .arg(l.announced);
            if (l.archived > 0)
                text += QStringLiteral("  %1 - %2").arg(ClockText(l.firstRecord), ClockText(l.lastRecord));
            if (!l.sourceFile.isEmpty()) text += QStringLiteral("  imported from %1").arg(l.sourceFile);
            text += u'\n';
            for (const ArchiveDownloadRow& d : l.downloads) {
                text += QStringLiteral("    %1  %2@%3  %4")
                            .arg(LocalText(d.moment), d.user, d.host, OutcomeName(d.outcome));
                if (d.last >= d.first) text += QStringLiteral("  records %1-%2").arg(d.first).arg(d.last);
                text += QStringLiteral("  %1  %2\n").arg(d.link, d.program);
            }
        }
        json.append(QJsonObject{{QStringLiteral("serial"), g.serial},
                                {QStringLiteral("name"), g.name},
                                {QStringLiteral("type"), g.type},
                                {QStringLiteral("last_download"), g.lastDownload.toString(Qt::ISODate)},
                                {QStringLiteral("logs"), logArray}});
    }
    if (c.options.json)
        Print(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("archive"), archive.Location().Display()},
                                                          {QStringLiteral("loggers"), json}})
                                    .toJson(QJsonDocument::Indented)));
    else
        Print(text);
    return kExitDone;
}

int Import(const CliContext& c, Archive& archive) { return ImportResultsFiles(c, archive, c.options.files); }

int Export(const CliContext& c, Archive& archive) {
    std::optional<Moment> from, to;
    for (const auto& [given, into] : {std::pair{&c.options.from, &from}, std::pair{&c.options.to, &to}}) {
        if (given->isEmpty()) continue;
        *into = ParseClock(*given);
        if (!*into) {
            Say(QStringLiteral("'%1' is no moment; write YYYY-MM-DD or YYYY-MM-DD HH:MM:SS").arg(*given));
            return kExitUsage;
        }
    }
    ResultsStore store;
    if (const int code = LoadArchivedLog(c, archive, store, nullptr, from, to); code != kExitDone) return code;
    const int code = DeliverResults(store, c.options.output, ChosenFormat(c.options, c.options.output), kExitDone,
                                    c.Signer(), CsvDewPoint(c));
    if (code == kExitDone)
        RecordChange(&archive, FileChange(ChangeKind::Export, CliProgram(), store, c.options.output));
    return code;
}

}  // namespace

int ImportResultsFiles(const CliContext& c, Archive& archive, const QStringList& files) {
    int code = kExitDone;
    const QList<TrustedKey> trusted = LoadTrustedKeys(UserSettingsFolder());
    for (const QString& file : files) {
        const ImportSignature signature = CheckImportSignature(file, trusted);
        if (signature.Refused() && !c.options.acceptChanged) {
            Say(English(signature.Refusal(file)) + QStringLiteral("; --accept-changed imports it all the same"));
            code = qMax(code, int{kExitArchive});
            continue;
        }
        ArchiveDownloadFacts facts = LocalDownloadFacts(CliProgram(), file);
        facts.note = signature.Note();
        const auto count = archive.Import(file, facts);
        if (!count) {
            Say(English(archive.LastError()));
            // A file that is not a results file is the caller's; an archive that fails is not.
            const bool archiveFault = archive.LastError().numbered.startsWith(QStringLiteral("[23"));
            code = qMax(code, archiveFault ? int{kExitArchive} : int{kExitUsage});
            continue;
        }
        Print(English({QStringLiteral("[2309]Zaimportowano %1 rekord z pliku %2 do archiwum|"
                                      "Zaimportowano %1 rekordy z pliku %2 do archiwum|"
                                      "Zaimportowano %1 rekordów z pliku %2 do archiwum"),
                       {QString::number(*count), file}}) +
              u'\n');
    }
    return code;
}

int LoadArchivedLog(const CliContext& c, Archive& archive, ResultsStore& store, ArchiveLogRow* chosenRow,
                    std::optional<Moment> from, std::optional<Moment> to) {
    std::optional<Moment> start;
    if (!c.options.logStart.isEmpty()) {
        start = ParseClock(c.options.logStart);
        if (!start) {
            Say(QStringLiteral("'%1' is no moment; write YYYY-MM-DD or YYYY-MM-DD HH:MM:SS").arg(c.options.logStart));
            return kExitUsage;
        }
    }
    const auto logs = archive.Logs(c.options.serial);
    if (!logs) return Say(English(archive.LastError())), kExitArchive;
    // The logger's own log before a file imported with the same start; the latest without --log.
    const ArchiveLogRow* chosen = nullptr;
    for (const ArchiveLogRow& l : *logs) {
        if (start && l.key.startSeconds != MomentSeconds(*start)) continue;
        if (!chosen ||
            (chosen->sourceFile.isEmpty() == l.sourceFile.isEmpty() ? l.key.startSeconds >= chosen->key.startSeconds
                                                                    : l.sourceFile.isEmpty()))
            chosen = &l;
    }
    if (!chosen) {
        Say(start ? QStringLiteral("the archive holds no log of the logger %1 that began at %2")
                        .arg(c.options.serial, c.options.logStart)
                  : QStringLiteral("the archive holds no logger %1").arg(c.options.serial));
        return kExitArchive;
    }
    if (!archive.LoadRecords(chosen->id, store, from, to)) return Say(English(archive.LastError())), kExitArchive;
    if (chosenRow) *chosenRow = *chosen;
    return kExitDone;
}

int RunArchive(const CliContext& c) {
    if (c.archive.kind == ArchiveLocation::Kind::None) {
        Say(QStringLiteral("archive commands need an archive; --archive none names none"));
        return kExitUsage;
    }
    // An exported file's captions in the language of a downloaded one; what is said in English.
    ProgramTexts texts;
    texts.SetLanguage(c.options.command == CliOptions::Command::ArchiveExport ? c.language : kLanguageEnglish);
    texts.Install();
    // Only an import writes: the others read, and make no archive where there is none.
    auto archive =
        c.OpenArchive(c.options.command == CliOptions::Command::ArchiveImport ? CliContext::ArchiveUse::Write
                                                                              : CliContext::ArchiveUse::Read);
    if (!archive) return kExitArchive;
    switch (c.options.command) {
    case CliOptions::Command::ArchiveImport:
        return Import(c, *archive);
    case CliOptions::Command::ArchiveList:
        return List(c, *archive);
    case CliOptions::Command::ArchiveExport:
        return Export(c, *archive);
    default:
        return kExitUsage;
    }
}

}  // namespace quorvex
