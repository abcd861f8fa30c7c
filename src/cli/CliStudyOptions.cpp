#include "cli/CliStudyOptions.h"

#include "i18n/Translator.h"

namespace quorvex {

namespace {

using Command = CliOptions::Command;

struct StudyOption {
    const char* name;
    const char* value;  // empty: a switch
    QString CliOptions::Study::*field;
    Command command;  // the one command it goes with
};

const StudyOption kOptions[] = {
    {"position", "LABEL", &CliOptions::Study::position, Command::StudyAdd},
    {"file", "FILE", &CliOptions::Study::file, Command::StudyAdd},
    {"stabilise", "DURATION", &CliOptions::Study::stabilise, Command::StudyCreate},
    {"temperature", "LOW:HIGH", &CliOptions::Study::temperature, Command::StudyCreate},
    {"humidity", "LOW:HIGH", &CliOptions::Study::humidity, Command::StudyCreate},
    {"max-spread", "DEGREES", &CliOptions::Study::maxSpread, Command::StudyCreate},
    {"kind", "TEXT", &CliOptions::Study::kind, Command::StudyCreate},
    {"date", "DATE", &CliOptions::Study::date, Command::CalibrationSet},
    {"due", "DATE", &CliOptions::Study::due, Command::CalibrationSet},
    {"certificate", "TEXT", &CliOptions::Study::certificate, Command::CalibrationSet},
    {"temperature-offset", "X", &CliOptions::Study::temperatureOffset, Command::CalibrationSet},
    {"humidity-offset", "X", &CliOptions::Study::humidityOffset, Command::CalibrationSet},
    {"temperature-uncertainty", "U", &CliOptions::Study::temperatureUncertainty, Command::CalibrationSet},
    {"humidity-uncertainty", "U", &CliOptions::Study::humidityUncertainty, Command::CalibrationSet},
};

QString Name(Command c) {
    switch (c) {
    case Command::StudyCreate:
        return QStringLiteral("study create");
    case Command::StudyAdd:
        return QStringLiteral("study add");
    case Command::StudyList:
        return QStringLiteral("study list");
    case Command::StudyEvaluate:
        return QStringLiteral("study evaluate");
    case Command::CalibrationSet:
        return QStringLiteral("calibration set");
    default:
        return QStringLiteral("calibration list");
    }
}

}  // namespace

QList<QCommandLineOption> StudyOptionList() {
    QList<QCommandLineOption> list;
    for (const StudyOption& o : kOptions) list.push_back({QLatin1String(o.name), {}, QLatin1String(o.value)});
    return list;
}

bool ParseStudyCommand(const QCommandLineParser& parser, const QStringList& rest, CliOptions& o, QString& error) {
    const Command command = o.command;
    const QString name = Name(command);
    const bool named =
        command == Command::StudyCreate || command == Command::StudyAdd || command == Command::StudyEvaluate;
    if (named && rest.isEmpty()) {
        error = QStringLiteral("%1 needs the study's NAME").arg(name);
        return false;
    }
    if (rest.size() > (named ? 1 : 0)) {
        error = QStringLiteral("one command at a time; unexpected '%1'").arg(rest.at(named ? 1 : 0));
        return false;
    }
    if (named) o.study.name = rest.first();
    for (const StudyOption& option : kOptions) {
        const QString key = QLatin1String(option.name);
        if (!parser.isSet(key)) continue;
        if (option.command != command) {
            error = QStringLiteral("--%1 goes with %2 only").arg(key, Name(option.command));
            return false;
        }
        o.study.*option.field = parser.value(key);
        if ((o.study.*option.field).isEmpty()) {
            error = QStringLiteral("--%1 needs %2").arg(key, QLatin1String(option.value));
            return false;
        }
    }
    // The options the other commands share, and which of them these take.
    auto taken = [&](const char* key, bool allowed) {
        if (!parser.isSet(QLatin1String(key)) || allowed) return true;
        error = QStringLiteral("--%1 does not go with %2").arg(QLatin1String(key), name);
        return false;
    };
    const bool add = command == Command::StudyAdd, create = command == Command::StudyCreate;
    const bool listing = command == Command::StudyList || command == Command::CalibrationList;
    const bool serialTaken = add || command == Command::CalibrationSet;
    if (!taken("serial", serialTaken) || !taken("log", add) || !taken("from", create) || !taken("to", create) ||
        !taken("json", listing || command == Command::StudyEvaluate))
        return false;
    for (const char* key : {"port", "output", "format", "table", "discard", "pubkey", "new", "output-dir", "verify",
                            "accept-changed", "fast"})
        if (!taken(key, false)) return false;
    o.archive = parser.value(QStringLiteral("archive"));
    if (parser.isSet(QStringLiteral("archive")) && o.archive.isEmpty()) {
        error = QStringLiteral("--archive needs a file, a postgresql:// address or none");
        return false;
    }
    o.settingsPath = parser.value(QStringLiteral("settings"));
    o.serial = parser.value(QStringLiteral("serial"));
    o.logStart = parser.value(QStringLiteral("log"));
    o.from = parser.value(QStringLiteral("from"));
    o.to = parser.value(QStringLiteral("to"));
    o.json = parser.isSet(QStringLiteral("json"));
    o.verbose = parser.isSet(QStringLiteral("verbose"));
    if (parser.isSet(QStringLiteral("language"))) {
        const auto chosen = LanguageFromName(parser.value(QStringLiteral("language")));
        if (!chosen) {
            error =
                QStringLiteral("--language takes pl, en or de, not '%1'").arg(parser.value(QStringLiteral("language")));
            return false;
        }
        o.language = *chosen;
    }
    if (create && (o.from.isEmpty() || o.to.isEmpty())) {
        error = QStringLiteral("study create needs --from TIME and --to TIME");
        return false;
    }
    if (add && (o.study.position.isEmpty() || o.serial.isEmpty() == o.study.file.isEmpty() ||
                (!o.logStart.isEmpty() && o.serial.isEmpty()))) {
        error =
            QStringLiteral("study add needs --position LABEL and either --serial SERIAL [--log START] or --file FILE");
        return false;
    }
    if (command == Command::CalibrationSet && (o.serial.isEmpty() || o.study.date.isEmpty() || o.study.due.isEmpty())) {
        error = QStringLiteral("calibration set needs --serial SERIAL, --date DATE and --due DATE");
        return false;
    }
    return true;
}

}  // namespace quorvex
