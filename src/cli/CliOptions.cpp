#include "cli/CliOptions.h"

#include <QCommandLineParser>

#include "cli/CliStudyOptions.h"
#include "i18n/Translator.h"

namespace quorvex {

namespace {

// Every command, as it is typed and with what follows it: the parser, its error messages and
// the synopsis of the help text all take the commands from here. `word` is the command's
// second word ("archive import"), empty for a command of one word.
struct CommandName {
    const char* name;
    const char* word;
    CliOptions::Command command;
    const char* synopsis;
};
constexpr CommandName kCommands[] = {
    {"info", "", CliOptions::Command::Info, "[--port LINK] [--json]"},
    {"download", "", CliOptions::Command::Download, "[--port LINK] [--new] [-o FILE] [--format txt|csv] [--fast]"},
    {"watch", "", CliOptions::Command::Watch, "[--port LINK] [--output-dir DIR] [--format txt|csv] [--fast]"},
    {"set-clock", "", CliOptions::Command::SetClock, "[--port LINK]"},
    {"start", "", CliOptions::Command::Start, "[--port LINK] [--discard]"},
    {"stop", "", CliOptions::Command::Stop, "[--port LINK]"},
    {"report", "", CliOptions::Command::Report,
     "FILE | --serial SERIAL [--log START] -o REPORT.pdf [--table all|daily|none]"},
    {"evaluate", "", CliOptions::Command::Evaluate, "FILE | --serial SERIAL [--log START] [--json]"},
    {"key", "", CliOptions::Command::Key, ""},
    {"verify", "", CliOptions::Command::Verify, "FILE [--pubkey KEY]"},
    {"archive", "import", CliOptions::Command::ArchiveImport, "FILE..."},
    {"archive", "list", CliOptions::Command::ArchiveList, "[--json]"},
    {"archive", "export", CliOptions::Command::ArchiveExport,
     "--serial SERIAL [--log START] [--from TIME] [--to TIME] [-o FILE] [--format txt|csv]"},
    {"audit", "", CliOptions::Command::Audit, "[--serial SERIAL] [--json] | --verify"},
    {"study", "create", CliOptions::Command::StudyCreate,
     "NAME --from TIME --to TIME [--stabilise DURATION] [--temperature LOW:HIGH] [--humidity LOW:HIGH] "
     "[--max-spread DEGREES] [--kind TEXT]"},
    {"study", "add", CliOptions::Command::StudyAdd,
     "NAME --position LABEL (--serial SERIAL [--log START] | --file FILE)"},
    {"study", "list", CliOptions::Command::StudyList, "[--json]"},
    {"study", "evaluate", CliOptions::Command::StudyEvaluate, "NAME [--json]"},
    {"calibration", "set", CliOptions::Command::CalibrationSet,
     "--serial SERIAL --date DATE --due DATE [--certificate TEXT] [--temperature-offset X] [--humidity-offset X] "
     "[--temperature-uncertainty U] [--humidity-uncertainty U]"},
    {"calibration", "list", CliOptions::Command::CalibrationList, "[--json]"},
};

// "a, b or c" of the commands' first words (`name`) or of the second words of `name`.
QString CommandList(const char* of = nullptr) {
    QStringList words;
    for (const auto& c : kCommands) {
        const QString word = QLatin1String(of ? c.word : c.name);
        if ((!of || qstrcmp(c.name, of) == 0) && !word.isEmpty() && !words.contains(word)) words << word;
    }
    const QString last = words.takeLast();
    return words.isEmpty() ? last : words.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// The command of two words whose first is `first`; false with the reason when there is none.
bool FindSecondWord(const char* first, const QString& what, CliOptions& o, QString& error) {
    const CommandName* found = nullptr;
    for (const auto& c : kCommands)
        if (qstrcmp(c.name, first) == 0 && what == QLatin1String(c.word)) found = &c;
    if (!found) {
        const QString name = QLatin1String(first);
        error = what.isEmpty() ? QStringLiteral("%1 needs %2").arg(name, CommandList(first))
                               : QStringLiteral("unknown %1 command '%2' (%3)").arg(name, what, CommandList(first));
        return false;
    }
    o.command = found->command;
    return true;
}

bool ParseArchiveCommand(const QStringList& words, CliOptions& o, QString& error) {
    const QString what = words.value(0);
    if (!FindSecondWord("archive", what, o, error)) return false;
    if (o.command == CliOptions::Command::ArchiveImport) {
        o.files = words.mid(1);
        if (o.files.isEmpty()) error = QStringLiteral("archive import needs one or more results files");
    } else if (words.size() > 1) {
        error = QStringLiteral("unexpected '%1' after archive %2").arg(words.at(1), what);
    }
    return error.isEmpty();
}

}  // namespace

bool ParseCliOptions(const QStringList& arguments, CliOptions& o, QString& error) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("LINK"));
    const QCommandLineOption settings(QStringLiteral("settings"), {}, QStringLiteral("FILE"));
    const QCommandLineOption language(QStringLiteral("language"), {}, QStringLiteral("LANG"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")}, {}, QStringLiteral("FILE"));
    const QCommandLineOption format(QStringLiteral("format"), {}, QStringLiteral("FORMAT"));
    const QCommandLineOption archive(QStringLiteral("archive"), {}, QStringLiteral("WHERE"));
    const QCommandLineOption serial(QStringLiteral("serial"), {}, QStringLiteral("SERIAL"));
    const QCommandLineOption log(QStringLiteral("log"), {}, QStringLiteral("START"));
    const QCommandLineOption from(QStringLiteral("from"), {}, QStringLiteral("TIME"));
    const QCommandLineOption to(QStringLiteral("to"), {}, QStringLiteral("TIME"));
    const QCommandLineOption discard(QStringLiteral("discard"));
    const QCommandLineOption pubkey(QStringLiteral("pubkey"), {}, QStringLiteral("KEY"));
    const QCommandLineOption newOnly(QStringLiteral("new"));
    const QCommandLineOption outputDir(QStringLiteral("output-dir"), {}, QStringLiteral("DIR"));
    const QCommandLineOption verify(QStringLiteral("verify"));
    const QCommandLineOption acceptChanged(QStringLiteral("accept-changed"));
    const QCommandLineOption table(QStringLiteral("table"), {}, QStringLiteral("TABLE"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption fast(QStringLiteral("fast"));
    const QCommandLineOption verbose(QStringLiteral("verbose"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("V"), QStringLiteral("version")});
    const QList<QCommandLineOption> studyOptions = StudyOptionList();
    parser.addOptions({port,    settings, language, output,    format, table,        json, fast,
                       verbose, help,     version,  archive,   serial, log,          from, to,
                       discard, pubkey,   newOnly,  outputDir, verify, acceptChanged});
    parser.addOptions(studyOptions);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    if (o.help || o.version) return true;

    const QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        error = QStringLiteral("no command given (%1)").arg(CommandList());
        return false;
    }
    if (words.first() == QLatin1String("study") || words.first() == QLatin1String("calibration")) {
        if (!FindSecondWord(words.first() == QLatin1String("study") ? "study" : "calibration", words.value(1), o,
                            error))
            return false;
        return ParseStudyCommand(parser, words.mid(2), o, error);
    }
    for (const QCommandLineOption& option : studyOptions)
        if (parser.isSet(option)) {
            error = QStringLiteral("--%1 goes with study and calibration commands only").arg(option.names().first());
            return false;
        }
    if (words.first() == QLatin1String("archive")) {
        if (!ParseArchiveCommand(words.mid(1), o, error)) return false;
    }
    const bool archiveCommand = words.first() == QLatin1String("archive");
    const CommandName* found = nullptr;
    for (const auto& c : kCommands)
        if (!archiveCommand && words.first() == QLatin1String(c.name)) found = &c;
    if (!found && !archiveCommand) {
        error = QStringLiteral("unknown command '%1' (%2)").arg(words.first(), CommandList());
        return false;
    }
    if (found) o.command = found->command;
    // report and evaluate work on one results file or an archived log, verify on one file; the
    // others (but archive and key) on the logger.
    const bool judging = o.command == CliOptions::Command::Report || o.command == CliOptions::Command::Evaluate;
    const bool fromArchive = judging && parser.isSet(serial);
    const bool onFile = (judging && !fromArchive) || o.command == CliOptions::Command::Verify;
    if (fromArchive && words.size() > 1) {
        error = QStringLiteral("%1 takes a results file or --serial, not both").arg(words.first());
        return false;
    }
    if (onFile && words.size() == 1) {
        error = o.command == CliOptions::Command::Verify
                    ? QStringLiteral("verify needs the file to check")
                    : QStringLiteral("%1 needs a results file or --serial SERIAL").arg(words.first());
        return false;
    }
    if (!archiveCommand && words.size() > (onFile ? 2 : 1)) {
        error = QStringLiteral("one command at a time; unexpected '%1'").arg(words.at(onFile ? 2 : 1));
        return false;
    }
    if (onFile) o.resultsFile = words.at(1);
    o.table = parser.value(table);
    o.port = parser.value(port);
    o.settingsPath = parser.value(settings);
    o.output = parser.value(output);
    o.format = parser.value(format);
    o.json = parser.isSet(json);
    o.fast = parser.isSet(fast);
    o.verbose = parser.isSet(verbose);
    o.archive = parser.value(archive);
    o.serial = parser.value(serial);
    o.logStart = parser.value(log);
    o.from = parser.value(from);
    o.to = parser.value(to);
    o.discard = parser.isSet(discard);
    o.verify = parser.isSet(verify);
    o.pubkey = parser.value(pubkey);
    if (parser.isSet(pubkey) && (o.command != CliOptions::Command::Verify || o.pubkey.isEmpty())) {
        error = o.pubkey.isEmpty() ? QStringLiteral("--pubkey needs a public key file or its RW... line")
                                   : QStringLiteral("--pubkey goes with verify only");
        return false;
    }
    o.newOnly = parser.isSet(newOnly);
    o.outputDir = parser.value(outputDir);
    const bool watch = o.command == CliOptions::Command::Watch;
    if (o.newOnly && o.command != CliOptions::Command::Download) {
        error = QStringLiteral("--new goes with download only (watch always reads only what is new)");
        return false;
    }
    if (parser.isSet(outputDir) && (!watch || o.outputDir.isEmpty())) {
        error =
            watch ? QStringLiteral("--output-dir needs a folder") : QStringLiteral("--output-dir goes with watch only");
        return false;
    }
    if (parser.isSet(archive) && o.archive.isEmpty()) {
        error = QStringLiteral("--archive needs a file, a postgresql:// address or none");
        return false;
    }
    const bool exporting = o.command == CliOptions::Command::ArchiveExport;
    if (!exporting && (parser.isSet(from) || parser.isSet(to))) {
        error = QStringLiteral("--from and --to go with archive export only");
        return false;
    }
    const bool audit = o.command == CliOptions::Command::Audit;
    if (!exporting && !fromArchive && (parser.isSet(log) || (!audit && parser.isSet(serial)))) {
        error = judging ? QStringLiteral("--log goes with --serial")
                        : QStringLiteral(
                              "--serial and --log go with archive export, report and evaluate only "
                              "(--serial also with audit)");
        return false;
    }
    if (o.verify && (!audit || parser.isSet(serial) || parser.isSet(json))) {
        error = QStringLiteral("--verify goes with audit only, without --serial and --json");
        return false;
    }
    if ((exporting || fromArchive) && o.serial.isEmpty()) {
        error = QStringLiteral("%1 needs --serial SERIAL")
                    .arg(exporting ? QStringLiteral("archive export") : words.first());
        return false;
    }
    o.acceptChanged = parser.isSet(acceptChanged);
    if (o.acceptChanged && o.command != CliOptions::Command::ArchiveImport) {
        error = QStringLiteral("--accept-changed goes with archive import only");
        return false;
    }
    if (o.discard && o.command != CliOptions::Command::Start) {
        error = QStringLiteral("--discard goes with start only");
        return false;
    }

    if (parser.isSet(port) && o.port.isEmpty()) {
        error = QStringLiteral("--port needs a link: USB or a serial port path");
        return false;
    }
    if (parser.isSet(language)) {
        const auto chosen = LanguageFromName(parser.value(language));
        if (!chosen) {
            error = QStringLiteral("--language takes pl, en or de, not '%1'").arg(parser.value(language));
            return false;
        }
        o.language = *chosen;
    }
    const bool download = o.command == CliOptions::Command::Download || exporting || watch;
    const bool report = o.command == CliOptions::Command::Report;
    if (o.json && o.command != CliOptions::Command::Info && o.command != CliOptions::Command::Evaluate &&
        o.command != CliOptions::Command::ArchiveList && !audit) {
        error = QStringLiteral("--json goes with info, evaluate, archive list and audit only");
        return false;
    }
    if (!download && parser.isSet(format)) {
        error = QStringLiteral("--format goes with download, watch and archive export only");
        return false;
    }
    if ((!download || watch) && !report && parser.isSet(output)) {
        error = QStringLiteral("-o goes with download, archive export and report only");
        return false;
    }
    if (report && !parser.isSet(output)) {
        error = QStringLiteral("report needs -o REPORT.pdf");
        return false;
    }
    if (parser.isSet(table) && (!report || (o.table != QLatin1String("all") && o.table != QLatin1String("daily") &&
                                            o.table != QLatin1String("none")))) {
        error = report ? QStringLiteral("--table takes all, daily or none, not '%1'").arg(o.table)
                       : QStringLiteral("--table goes with report only");
        return false;
    }
    if (parser.isSet(output) && o.output.isEmpty()) {
        error = QStringLiteral("-o needs a file name");
        return false;
    }
    if (parser.isSet(format) && o.format != QLatin1String("txt") && o.format != QLatin1String("csv")) {
        error = QStringLiteral("--format takes txt or csv, not '%1'").arg(o.format);
        return false;
    }
    return true;
}

QString CliVersionText() { return QStringLiteral("quorvex-cli " QUORVEX_VERSION "\n"); }

QString CliHelpText() {
    // One synopsis line a command, long ones wrapped below their command between bracketed parts.
    QString usage = QStringLiteral("Usage: quorvex-cli COMMAND [OPTION]...\n");
    constexpr qsizetype kWidth = 88;
    for (const auto& c : kCommands) {
        QString line = QStringLiteral("       quorvex-cli ") + QLatin1String(c.name);
        if (*c.word) line += u' ' + QLatin1String(c.word);
        QStringList parts{QString()};
        int depth = 0;
        for (const char* p = c.synopsis; *p; ++p) {
            depth += *p == '[' ? 1 : *p == ']' ? -1 : 0;
            if (*p == ' ' && depth == 0)
                parts << QString();
            else
                parts.last() += QLatin1Char(*p);
        }
        for (const QString& part : parts) {
            if (part.isEmpty()) continue;
            if (line.size() + 1 + part.size() > kWidth) {
                usage += line + u'\n';
                line = QStringLiteral("                  ");
            }
            line += u' ' + part;
        }
        usage += line + u'\n';
    }
    return usage + QStringLiteral(
                       R"help(Read, download and set a Quorvex temperature and humidity logger from a shell, without a
display: the same link, settings and download rules as the quorvex window; judge a results
file or an archived log against the excursion rules and write its PDF report.

Commands:
  info         print every logger parameter as "name: value", one a line; a coded value
               is followed by its meaning, e.g. "Start mode: 1 (from computer directly)"
  download     download the whole log and write it to FILE (standard output without -o);
               a CSV file carries the dew point column when the window's settings file
               switches it on ([Files] DewPoint=1); with --new only the records the archive
               lacks are read from the logger, and FILE still holds the whole log
  watch [--port USB|PATH] [--output-dir DIR] [--format txt|csv] [--fast]
               wait for a logger, read what is new into the archive, write its whole log
               into DIR, print one line "SERIAL NAME: N new, T total -> FILE", and wait
               for the next; a logger left connected is read again only once it holds
               new records; Ctrl+C or SIGTERM end it (exit status 0). When the logger
               gives archived records otherwise, FILE keeps the archive's and the line
               says "N records differ from the archive, the logger's copy -> FILE"
               with the logger's copy beside it, named "...-differs.txt"; both signed
  set-clock    set the logger clock to the computer's time, read it back and check it
  start        start recording, as the window's Start button does (loggers whose start
               mode is "from the computer")
  stop         stop recording, as the window's Stop button does
  report       write the PDF report of the results file FILE (text or CSV), or of the
               archived log named by --serial and --log, to REPORT.pdf:
               logger facts, where the data came from, each rule with its verdict, the
               summary, the chart and the table; every page carries "page N of M", the
               program version and the records' SHA-256 fingerprint
  evaluate     judge the results file FILE (or the archived log of --serial and --log)
               against the excursion rules and print each
               rule's verdict (PASS or FAIL, in the chosen language) with the excursions
               that broke it, then the overall verdict
  key          print this installation's public signing key, its id and where the key
               files lie (made on first need)
  verify       check the signature FILE.minisig beside FILE and print its state:
               "signed, valid (key ID)", "signed, valid, key not trusted (ID)",
               "CHANGED after signing" (with what changed) or "not signed"
  archive import [--accept-changed] FILE...
               put saved results files (text or CSV) into the archive, each as a log of
               its own marked with the file's name; the signature beside each file is
               checked first: a file changed after signing is refused (exit 5) unless
               --accept-changed is given, and the import's change-log entry records the
               signature's state ("not signed", "CHANGED after signing", ...)
  archive list list the archived loggers, their logs and the downloads of each
  archive export --serial SERIAL [--log START] [--from TIME] [--to TIME]
               write an archived log (the logger's latest without --log) as the window
               saves results: to FILE with -o, else standard output
  audit [--serial SERIAL] [--json]
               list the archive's change log: every register write (the value before as
               last read, after as read back, and whether the read-back confirmed it),
               clock set, start, stop, reset, download, import, export, report, file
               written and signature, with
               when (UTC), who, on which computer, with which program, on which logger
  audit --verify
               check the change log's chain of SHA-256 hashes from its first entry and
               every download's records against the fingerprint its entry carries; exit 0
               when intact, 5 naming the first entry that no longer holds
  study create NAME --from TIME --to TIME [...]
               plan a mapping study in the archive: its period, the stabilisation time
               left out at its start (DURATION like 90m, 2h, 1d), the limits (LOW:HIGH,
               either side may be left out; below zero write --temperature=-25:-15), the
               largest allowed spread between positions and a free-text kind
  study add NAME --position LABEL (--serial SERIAL [--log START] | --file FILE)
               put a logger's archived log (without --log the one that began last before
               the study's end) or a results file (imported into the archive first, as
               archive import takes it) at a position of the study
  study list   the studies with their periods and positions
  study evaluate NAME
               judge every position over the period less the stabilisation time: records,
               minimum, maximum, mean, MKT, swing, coverage and calibration; the spread
               between the warmest and the coldest position on a grid of the largest save
               interval (each position's latest reading at or before each grid moment, no
               older than its own interval), the hot and cold spots and the verdict;
               exit 0 when it passes, 6 when it fails
  calibration set --serial SERIAL --date DATE --due DATE [...]
               record a logger's calibration certificate: its offsets (added to every
               reading of a study; at most 5 °C and 10 %) and expanded uncertainties
  calibration list
               the calibration records, an overdue one marked

Options:
  --port LINK        the link to the logger: USB or a serial port path such as /dev/ttyUSB0
                     (default: the link stored by the window, else USB)
  --settings FILE    the window's settings file to take the link and language from
                     (default: the window's, ~/.config/quorvex/quorvex.INI when installed,
                     quorvex.INI beside a program run from its build folder)
  --language LANG    pl, en or de (also Polish, English, German or Polski, Angielski,
                     Niemiecki): the language of what the program says and of the
                     captions written into files (default: the window's stored language,
                     else the desktop's: Polish, German, otherwise English)
  --fast             end each reply as soon as it is complete instead of after 800 ms of
                     silence; a download then runs at the speed of the line
  --json             info: print one JSON object with stable keys and typed values, and
                     the meanings of coded values under KEY_meaning; evaluate: the
                     verdict as one JSON object (rules, excursions, fingerprint); archive list:
                     the loggers, logs and downloads as one JSON object; audit: the
                     change log's entries as one JSON object
  -o, --output FILE  download, archive export: write the records to FILE, replacing it only once the whole
                     log is in; the folder must exist; report: the PDF file to write,
                     replaced only once complete
  --table TABLE      report: all (every record), daily (minimum, maximum and mean of
                     each day) or none (default: the window's report setting, else all)
  --format FORMAT    download, watch, archive export: txt or csv, the window's two results files (tab-separated
                     text, or CSV with ISO 8601 times); default: by the extension of FILE
                     (.csv is CSV), txt on standard output
  --archive WHERE    the archive: an SQLite file, postgresql://USER@HOST:PORT/DATABASE
                     (libpq options may follow, e.g. ?host=/run/postgresql; the password
                     comes from ~/.pgpass or PGPASSFILE, never from the address), or none
                     (default: Location in the [Archive] section of the settings file, else
                     $XDG_DATA_HOME/quorvex/archive.sqlite, ~/.local/share/quorvex/ when unset)
  --discard          start: start even when the logger holds records the archive lacks
  --accept-changed   archive import: import a file changed after signing all the same
  --new              download: read only what the archive lacks of the logger's current log
                     (the last archived record is read again and must match; when it does
                     not, or without an archive, the whole log is read)
  --output-dir DIR   watch: the folder the results files go to (default: the current
                     folder); a file is named "NAME SERIAL YYYY-MM-DD HH-MM-SS.txt" after the
                     logger and its first record, made safe, and replaced once complete
  --serial SERIAL    archive export, report, evaluate: the archived logger's serial number;
                     audit: only that logger's entries
  --log START        archive export, report, evaluate: its log that began at START (as
                     archive list shows it; default: its latest log)
  --from TIME, --to TIME
                     archive export: only the records from/until TIME (logger clock,
                     YYYY-MM-DD[ HH:MM[:SS]])
  --pubkey KEY       verify: check with this public key (a .pub file or its RW... line)
                     alone, taken as trusted; default: the trusted keys
  --position LABEL, --file FILE
                     study add: the position's label and a results file that stood there
  --stabilise DURATION, --temperature LOW:HIGH, --humidity LOW:HIGH, --max-spread DEGREES,
  --kind TEXT        study create: the study's stabilisation time and criteria (see above)
  --date DATE, --due DATE, --certificate TEXT, --temperature-offset X, --humidity-offset X,
  --temperature-uncertainty U, --humidity-uncertainty U
                     calibration set: the certificate's dates (YYYY-MM-DD), number,
                     offsets and expanded uncertainties (°C and %)
  --verbose          print the link's status texts on standard error
  -h, --help         print this help and exit
  -V, --version      print the version and exit

Rules:
  evaluate and report judge by the rules stored by the window in its settings file
  (section [Rules]); without stored rules, by the thresholds the logger had when the
  results were downloaded, where any reading beyond a threshold fails. The language of
  the report and the verdict is --language's; dates and numbers follow the locale, and
  so does the paper (Letter in the United States, else A4).

Progress:
  download reports progress on standard error: on a terminal a live bar with the records
  so far and announced, the rate and the time left; otherwise a plain line each time
  another tenth of the records has arrived.

Archive:
  download keeps every block in the archive as it arrives: a download cut short keeps
  what had arrived, and downloading the same log again adds only what is new. Records
  that arrive with other bytes than the archived ones are kept beside them and counted
  ("N records differ from the archived download of MOMENT"). When the archive cannot be
  used the download goes on without it and says so. start refuses while the logger holds
  records of its current log that the archive lacks (every record it holds without an
  archive), as a new recording erases them: download first, or give --discard.

Signatures:
  Every file written (results files, their .partial files, archive exports, reports) gets
  FILE.minisig beside it, signed with this installation's Ed25519 key, which is made on
  first need in $XDG_CONFIG_HOME/quorvex/ (~/.config/quorvex/ when unset): quorvex.key,
  readable by the user alone (a key file others can read or write is refused), and the
  public key quorvex.pub. Any machine checks a file without Quorvex with
  minisign -Vm FILE -p quorvex.pub. The trusted comment names the program and version, the
  logger's serial, the log's start, the record count, the signing moment (UTC) and the
  file. A file that cannot be signed is still written, and the program says why it is
  unsigned. Enabled=0 in the [Signing] section of the settings file switches signing off.
  Trusted keys: the installation's own and those imported in the window (Settings,
  Trusted keys...), kept in $XDG_CONFIG_HOME/quorvex/trusted-keys/. A valid signature
  shows the file is unchanged since the installation holding the key signed it; it does
  not say who was at the keyboard.

Interruption:
  Ctrl+C or SIGTERM during a download, or a link lost in the middle of one, stops it; the
  records that arrived are written to FILE.partial (standard output without -o) in the same
  format, and the program says how many it holds. Other commands end at once.

Watch:
  watch never ends on a logger's fault: a link lost, a logger that does not answer or a
  results file that cannot be written is said on that logger's line, what arrived stays
  in the archive, and the next connection goes on from there. A logger that keeps
  recording is read up to the count it announced when the read began.

Exit status:
  0    done
  1    bad usage, or the logger's state does not allow the command (start on a logger
       that starts by its button or at a set time or that holds records the archive
       lacks, set-clock while it records); archive import of a file that is not a
       results file; for report and evaluate also a results file that cannot be read,
       damaged stored rules, or (evaluate) no rule that applies to the results
  2    the link cannot be opened, no logger answers, or the logger did not take the
       change (set-clock, start, stop)
  3    download incomplete: the records received were written to FILE.partial
  4    a file cannot be written; the message says where the records went (report:
       the report's file; nothing is left half-written); key: the key cannot be read
       or made
  5    archive import, list, export, and report and evaluate with --serial: the archive
       cannot be opened or used, or holds no such logger or log; verify: anything but a
       valid signature by a trusted key; audit: the archive cannot be used; audit
       --verify: an entry of the change log was changed or removed, or the records of a
       download were changed (the first such entry is named)
  6    evaluate: at least one rule failed (0: every rule passed); study evaluate: the study
       fails (a position fails its limits or does not cover the period, or the spread is
       beyond the allowed one)
  130  info, set-clock, start or stop interrupted by Ctrl+C (143: by SIGTERM)

Examples:
  quorvex-cli info --port /dev/ttyUSB0
  quorvex-cli info --json
  quorvex-cli download -o log.csv --fast
  quorvex-cli download --port USB > log.txt
  quorvex-cli download --new -o log.txt --fast
  quorvex-cli watch --port USB --output-dir ~/loggers --format csv
  quorvex-cli set-clock && quorvex-cli start
  quorvex-cli archive import old-log.txt --archive postgresql://lab@db.example:5432/quorvex
  quorvex-cli archive export --serial 00012345 --from 2015-03-01 -o march.csv
  quorvex-cli report log.csv -o report.pdf --table daily --language en
  quorvex-cli evaluate log.txt || echo "excursion found"
  quorvex-cli evaluate --serial 00012345 --log "2015-03-01 08:30:00" --json
  quorvex-cli verify log.csv --pubkey quorvex.pub
  quorvex-cli audit --serial 00012345
  quorvex-cli audit --verify

Report bugs to the Quorvex maintainers.
)help");
}

}  // namespace quorvex
