#include "cli/CliCommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QLocale>

#include <cstdio>

#include "archive/ArchiveRegisters.h"
#include "archive/ChangeRecording.h"
#include "cli/ParameterReport.h"
#include "cli/StopSignals.h"
#include "i18n/Translator.h"
#include "params/DateTimeCodec.h"
#include "settings/IniFile.h"

namespace quorvex {

namespace {

// The window's settings file keys.
const QString kSection = QStringLiteral("Okno");
const QString kLinkKey = QStringLiteral("PortCom");
const QString kLanguageKey = QStringLiteral("Language");
const QString kUsb = QStringLiteral("USB");

// The logger clock read back may lag the computer by the time its write waited in the queue,
// the whole second it was cut to and the read-back's own exchange.
constexpr qint64 kClockToleranceS = 3;

}  // namespace

void Say(const QString& line) {
    std::fputs((QStringLiteral("quorvex-cli: ") + line + u'\n').toUtf8().constData(), stderr);
    std::fflush(stderr);
}

void Print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

LoggerSession::Options CliContext::SessionOptions() const {
    LoggerSession::Options o;
    o.link = link;
    o.fastFrames = options.fast;
    o.language = language;
    if (options.verbose) o.diagnostics = [](const QString& line) { Say(line); };
    return o;
}

QString MessageLine(const QString& text) {
    QString line;
    for (const QString& part : text.split(u'\n', Qt::SkipEmptyParts)) {
        // A line that ends in its own punctuation needs none added.
        if (!line.isEmpty())
            line += QStringView(u".:;!?").contains(line.back()) ? QStringLiteral(" ") : QStringLiteral(": ");
        line += part.trimmed();
    }
    return line;
}

QString English(const ArchiveText& text) { return MessageLine(text.In(kLanguageEnglish)); }

std::unique_ptr<Archive> CliContext::OpenArchive(ArchiveUse use) const {
    if (archive.kind == ArchiveLocation::Kind::None) return nullptr;
    ArchiveText error;
    auto opened = use == ArchiveUse::Write ? Archive::Open(archive, error) : Archive::OpenExisting(archive, error);
    if (!opened && !(use == ArchiveUse::Note && error.numbered.startsWith(kMissingArchive))) Say(English(error));
    return opened;
}

QString CliProgram() { return QStringLiteral("quorvex-cli " QUORVEX_VERSION); }

void RecordChange(Archive* archive, ChangeEntry entry) {
    if (archive && !archive->AppendChange(entry)) Say(English(archive->LastError()));
}

FileSigner CliContext::Signer() const {
    const bool on = IniFile(settingsFile).ReadBool(kSigningSection, kSigningEnabledKey, true);
    FileSigner signer(QStringLiteral("Quorvex " QUORVEX_VERSION), UserSettingsFolder(), on);
    // Every signature made goes into the archive's change log beside the file it signs.
    signer.SetOnSigned([this](const SignOutcome& o) {
        if (o.done && archive.kind != ArchiveLocation::Kind::None)
            RecordChange(OpenArchive(ArchiveUse::Note).get(), SignatureChange(o, CliProgram()));
    });
    return signer;
}

bool CliContext::Interrupted() const { return stop.Received() != 0; }

int CliContext::ConnectFailed(const LoggerSession& session, LoggerSession::Outcome outcome) const {
    if (outcome == LoggerSession::Outcome::Interrupted) return 128 + stop.Received();
    Say(session.FailureText());
    return kExitNoLogger;
}

int RunCli(const CliOptions& options) {
    // The window's settings file, found by the window's own rule for the window beside this
    // program (both are built and installed side by side).
    const QString exe = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorvex"));
    const IniFile settings(SettingsPath(exe, options.settingsPath));
    StopSignals stop;
    CliContext context{options, stop, options.port, options.language, {}, settings.Path()};
    ArchiveText archiveError;
    const auto archive = ResolveArchiveLocation(options.archive, settings, archiveError);
    if (!archive) {
        Say(English(archiveError));
        return kExitUsage;
    }
    context.archive = *archive;
    if (context.link.isEmpty()) context.link = settings.ReadString(kSection, kLinkKey, kUsb);
    if (context.link.isEmpty()) context.link = kUsb;
    // As the window chooses: the stored language, before any is stored the desktop's.
    if (context.language.isEmpty())
        context.language = StartLanguage(settings.ReadString(kSection, kLanguageKey, QString()), QLocale::system());

    switch (options.command) {
    case CliOptions::Command::Info:
        return RunInfo(context);
    case CliOptions::Command::Download:
        return RunDownload(context);
    case CliOptions::Command::Watch:
        return RunWatch(context);
    case CliOptions::Command::SetClock:
        return RunSetClock(context);
    case CliOptions::Command::Start:
        return RunRecording(context, true);
    case CliOptions::Command::Stop:
        return RunRecording(context, false);
    case CliOptions::Command::ArchiveImport:
    case CliOptions::Command::ArchiveList:
    case CliOptions::Command::ArchiveExport:
        return RunArchive(context);
    case CliOptions::Command::Report:
        return RunReport(context);
    case CliOptions::Command::Evaluate:
        return RunEvaluate(context);
    case CliOptions::Command::Audit:
        return RunAudit(context);
    case CliOptions::Command::StudyCreate:
    case CliOptions::Command::StudyAdd:
    case CliOptions::Command::StudyList:
    case CliOptions::Command::StudyEvaluate:
        return RunStudy(context);
    case CliOptions::Command::CalibrationSet:
    case CliOptions::Command::CalibrationList:
        return RunCalibration(context);
    case CliOptions::Command::Key:
        return RunKey(context);
    case CliOptions::Command::Verify:
        return RunVerify(context);
    }
    return kExitUsage;
}

int RunInfo(const CliContext& c) {
    LoggerSession session(c.SessionOptions());
    const auto outcome = session.Connect([&] { return c.Interrupted(); });
    if (outcome != LoggerSession::Outcome::Ready) return c.ConnectFailed(session, outcome);
    if (c.options.json)
        Print(QString::fromUtf8(QJsonDocument(ParameterJson(session.Params())).toJson(QJsonDocument::Indented)));
    else
        Print(ParameterLines(session.Params()).join(u'\n') + u'\n');
    return kExitDone;
}

int RunSetClock(const CliContext& c) {
    LoggerSession session(c.SessionOptions());
    const auto interrupted = [&] { return c.Interrupted(); };
    const auto outcome = session.Connect(interrupted);
    if (outcome != LoggerSession::Outcome::Ready) return c.ConnectFailed(session, outcome);
    ParameterModel& params = session.Params();
    // As in the window, whose clock button is disabled while the logger records.
    if (params.RecordingActive()) {
        Say(QStringLiteral("the logger is recording; stop it before setting its clock"));
        return kExitUsage;
    }

    const auto archive = c.OpenArchive();
    params.WatchWrites(
        [&](const WriteOutcome& o) { RecordChange(archive.get(), WriteChange(o, params, CliProgram())); });
    CurrentDate& date = params.Param<CurrentDate>();
    CurrentTime& time = params.Param<CurrentTime>();
    const QDateTime now = QDateTime::currentDateTime();
    date.SetText(DateText(now.date().year(), now.date().month(), now.date().day()));
    time.SetText(TimeText(now.time().hour(), now.time().minute(), now.time().second()));
    // Date and time in one write, so that a midnight between two writes cannot mix days.
    const std::uint16_t words[] = {date.Reg0, date.Reg1, time.Reg0, time.Reg1};
    const int readBacks = session.ReadsAnswered(static_cast<std::uint16_t>(date.FirstRegister), 4);
    params.WriteRegisters(date, words);
    date.Invalidate();
    time.Invalidate();
    params.ReadBack(date, 4);
    if (!session.RunUntil(
            [&] { return session.ReadsAnswered(static_cast<std::uint16_t>(date.FirstRegister), 4) > readBacks; },
            interrupted))
        return session.LinkLost() ? c.ConnectFailed(session, LoggerSession::Outcome::NoAnswer)
                                  : 128 + c.stop.Received();

    const auto day = ParseDateTimeText(date.GetText());
    const auto clock = ParseDateTimeText(time.GetText());
    const QDateTime logger = day && clock ? QDateTime(day->date(), clock->time()) : QDateTime();
    const qint64 off = logger.isValid() ? logger.secsTo(QDateTime::currentDateTime()) : 0;
    if (!logger.isValid() || off > kClockToleranceS || off < -kClockToleranceS) {
        Say(QStringLiteral("the logger did not take the time: its clock reads '%1 %2'")
                .arg(date.GetText(), time.GetText()));
        return kExitNoLogger;
    }
    Print(QStringLiteral("Logger clock set to %1 (%2 s behind the computer)\n")
              .arg(logger.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
              .arg(off));
    return kExitDone;
}

int RunRecording(const CliContext& c, bool start) {
    LoggerSession session(c.SessionOptions());
    const auto interrupted = [&] { return c.Interrupted(); };
    const auto outcome = session.Connect(interrupted);
    if (outcome != LoggerSession::Outcome::Ready) return c.ConnectFailed(session, outcome);
    ParameterModel& params = session.Params();
    const StatusWord& status = params.Param<StatusWord>();
    const bool recording = (status.GetValue() & 4) != 0;
    if (recording == start) {
        Print(start ? QStringLiteral("The logger is already recording\n")
                    : QStringLiteral("The logger is not recording\n"));
        return kExitDone;
    }
    // The window offers Start only to a logger started from the computer.
    if (start && (status.GetValue() & 3) != 1) {
        const int mode = status.GetValue() & 3;
        Say(QStringLiteral("the logger's start mode is %1, not %2; change its start mode in the window")
                .arg(WithMeaning(QString::number(mode), InEnglish(StartModeCaption(mode))),
                     WithMeaning(QStringLiteral("1"), InEnglish(StartModeCaption(1)))));
        return kExitUsage;
    }

    const auto archive = c.OpenArchive();
    // A new recording makes the logger begin a new log over the one it holds.
    if (start && !c.options.discard) {
        auto missing = RecordsNotArchived(archive.get(), params);
        if (!missing && archive) {
            Say(English(archive->LastError()));
            missing = RecordsNotArchived(nullptr, params);
        }
        if (missing.value_or(0) > 0) {
            Say(English({QStringLiteral("[2307]Logger ma %1 rekord spoza archiwum; nowy zapis go usunie|"
                                        "Logger ma %1 rekordy spoza archiwum; nowy zapis je usunie|"
                                        "Logger ma %1 rekordów spoza archiwum; nowy zapis je usunie"),
                         {QString::number(*missing)}}) +
                QStringLiteral("; download them first (quorvex-cli download) or give --discard"));
            return kExitUsage;
        }
    }

    params.WatchWrites(
        [&](const WriteOutcome& o) { RecordChange(archive.get(), WriteChange(o, params, CliProgram())); });
    const int readBacks = session.ReadsAnswered(0, 1);
    params.WriteRecordingBit(start);
    // The window relies on its next poll; a script wants to know now.
    params.ReadBack(status, 1);
    if (!session.RunUntil([&] { return session.ReadsAnswered(0, 1) > readBacks; }, interrupted))
        return session.LinkLost() ? c.ConnectFailed(session, LoggerSession::Outcome::NoAnswer)
                                  : 128 + c.stop.Received();
    if (((status.GetValue() & 4) != 0) != start) {
        Say(start ? QStringLiteral("the logger did not start recording")
                  : QStringLiteral("the logger did not stop recording"));
        return kExitNoLogger;
    }
    Print(start ? QStringLiteral("Recording started\n") : QStringLiteral("Recording stopped\n"));
    return kExitDone;
}

}  // namespace quorvex
