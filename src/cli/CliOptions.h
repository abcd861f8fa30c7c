#pragma once
// The command line of quorvex-cli: one command and its options, checked before anything is
// opened, and the help text (written so that help2man can turn it into a manual page).
#include <QString>
#include <QStringList>

namespace quorvex {

// Exit codes; the help text and the README list them.
enum ExitCode : int {
    kExitDone = 0,
    kExitUsage = 1,       // bad usage, or the logger's state does not allow the command
    kExitNoLogger = 2,    // the link cannot be opened or no logger answers
    kExitIncomplete = 3,  // download incomplete; what arrived is in FILE.partial
    kExitFile = 4,        // a file cannot be written; the message says where the records went
    kExitArchive = 5,     // archive commands: the archive cannot be opened or used; verify: not valid and trusted;
                          // audit --verify: the change log or a download's records were changed
    kExitFails = 6,       // evaluate: a rule of the verdict failed
};

struct CliOptions {
    enum class Command {
        Info,
        Download,
        SetClock,
        Start,
        Stop,
        ArchiveImport,
        ArchiveList,
        ArchiveExport,
        Report,
        Evaluate,
        Key,
        Verify,
        Watch,
        Audit,
        StudyCreate,
        StudyAdd,
        StudyList,
        StudyEvaluate,
        CalibrationSet,
        CalibrationList
    };
    Command command = Command::Info;
    QString port;                // empty: the window's stored link, else USB
    QString settingsPath;        // empty: the window's settings file
    QString language;            // empty: the window's stored language
    QString output;              // download: empty = standard output
    QString format;              // download: "txt" or "csv"; empty = by the output's extension
    QString archive;             // empty: the settings file's, else the default SQLite file; "none"
    QString serial;              // archive export: the logger
    QString logStart;            // archive export: the log's start moment; empty = the latest log
    QString from, to;            // archive export: the records' time range; empty = open
    QStringList files;           // archive import
    bool discard = false;        // start: even when the logger holds records the archive lacks
    bool acceptChanged = false;  // archive import: also a file changed after signing
    bool verify = false;         // audit: check the change log instead of listing it
    bool newOnly = false;        // download: only the records the archive lacks are read
    QString outputDir;           // watch: where the results files go; empty = the current folder
    QString resultsFile;         // report, evaluate, verify: the results file (text or CSV; verify: any file)
    QString pubkey;              // verify: a public key file or its base64 line; empty = the trusted keys
    QString table;               // report: "all", "daily" or "none"; empty = the window's setting
    // study and calibration commands: the texts as given, read by the command (CliStudyOptions.cpp).
    struct Study {
        QString name;                                               // study create, add, evaluate: the study
        QString position;                                           // study add: the position's label
        QString file;                                               // study add: a results file that stood there
        QString stabilise, temperature, humidity, maxSpread, kind;  // study create
        QString date, due, certificate;                             // calibration set
        QString temperatureOffset, humidityOffset, temperatureUncertainty, humidityUncertainty;
    } study;
    bool json = false;
    bool fast = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// `arguments` as QCoreApplication::arguments() gives them (the program first). False with a
// one-line reason for a command line that cannot be run.
bool ParseCliOptions(const QStringList& arguments, CliOptions& options, QString& error);

QString CliHelpText();
QString CliVersionText();

}  // namespace quorvex
