#include "ui/CommandLine.h"

#include <QCommandLineParser>

#include "archive/ArchiveLocation.h"
#include "i18n/Translator.h"

namespace quorvex {

QString VersionText() { return QStringLiteral("quorvex " QUORVEX_VERSION); }

bool AsksOnlyForText(const QStringList& arguments) {
    static const QStringList kTextOptions{QStringLiteral("-h"), QStringLiteral("--help"),
                                          QStringLiteral("-?"), QStringLiteral("--help-all"),
                                          QStringLiteral("-v"), QStringLiteral("--version")};
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (kTextOptions.contains(arguments[i])) return true;
    return false;
}

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Temperature and humidity logger companion"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Link for this run: USB or a serial port path."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption settings(QStringLiteral("settings"), QStringLiteral("Settings file to use."),
                                      QStringLiteral("FILE"));
    const QCommandLineOption language(
        QStringLiteral("language"),
        QStringLiteral("Language for this run: pl, en or de (also Polish, English, German or Polski, Angielski, "
                       "Niemiecki)."),
        QStringLiteral("LANG"));
    const QCommandLineOption archive(
        QStringLiteral("archive"),
        QStringLiteral(
            "Where downloads are kept for this run: an SQLite file, postgresql://user@host:port/db or none."),
        QStringLiteral("WHERE"));
    parser.addOptions({port, settings, language, archive});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Results file (text or CSV) to open."),
                                 QStringLiteral("[FILE]"));

    CommandLine result;
    if (!parser.parse(arguments)) {
        result.action = CommandLine::Action::Fail;
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.action = CommandLine::Action::PrintHelp;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::PrintVersion;
        result.text = VersionText();
        return result;
    }
    if (parser.positionalArguments().size() > 1) {
        result.action = CommandLine::Action::Fail;
        result.text = QStringLiteral("Unexpected argument: ") + parser.positionalArguments().at(1);
        return result;
    }
    if (parser.isSet(language)) {
        const auto chosen = LanguageFromName(parser.value(language));
        if (!chosen) {
            result.action = CommandLine::Action::Fail;
            result.text = QStringLiteral("Unknown language \"%1\": use pl, en or de.").arg(parser.value(language));
            return result;
        }
        result.language = *chosen;
    }
    if (parser.isSet(archive)) {
        ArchiveText error;
        if (parser.value(archive).isEmpty() || !ParseArchiveLocation(parser.value(archive), error)) {
            result.action = CommandLine::Action::Fail;
            result.text = error.IsEmpty() ? QStringLiteral("--archive needs a file, a postgresql:// address or none")
                                          : error.In(kLanguageEnglish);
            return result;
        }
        result.archive = parser.value(archive);
    }
    result.port = parser.value(port);
    result.settingsFile = parser.value(settings);
    result.resultsFile = parser.positionalArguments().value(0);
    return result;
}

}  // namespace quorvex
