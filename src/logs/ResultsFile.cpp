#include "logs/ResultsFile.h"

#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <charconv>
#include <optional>

#include "i18n/ProgramTexts.h"
#include "logs/LoggerInfo.h"
#include "logs/ResultsCsv.h"
#include "logs/TextCache.h"
#include "params/Codecs.h"
#include "params/DateTimeCodec.h"
#include "sign/DigestingDevice.h"

namespace quorvex {
namespace {

constexpr qsizetype kFlushSize = 1 << 20;

bool IsBlankOrControl(QChar c) { return c.unicode() <= 0x20 || c.category() == QChar::Other_Control || c.isSpace(); }

QString TrimBlanksAndControls(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlankOrControl(text[begin])) ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

}  // namespace

QString ProposedResultsFileName(const QString& loggerName, const QString& startDateText, const QString& startTimeText) {
    QString name = loggerName.isEmpty() ? QStringLiteral("Logger") : loggerName;
    name = TrimBlanksAndControls(name);
    name += u' ' + startDateText + u' ' + startTimeText;
    for (QChar& c : name)
        if (QStringView(u"<>:\\/|?*").contains(c)) c = u'_';
    return TrimBlanksAndControls(name);
}

QString ProposedResultsFileName(const ResultsStore& store, const ParameterModel& params) {
    // The start of the records in hand: the parameters may belong to another
    // logger by now (a reconnect, another link) or to a log started since, and
    // results opened from a file have no parameters of their own.
    if (!store.IsEmpty()) {
        const QDateTime first = FromMoment(store.At(0).time);
        return ProposedResultsFileName(store.loggerName,
                                       DateText(first.date().year(), first.date().month(), first.date().day()),
                                       TimeText(first.time().hour(), first.time().minute(), first.time().second()));
    }
    if (!store.sourceFile.isEmpty()) return ProposedResultsFileName(store.loggerName, QString(), QString());
    return ProposedResultsFileName(store.loggerName, params.Param<LogStartDate>().GetText(),
                                   params.Param<LogStartTime>().GetText());
}

ResultsFormat ResultsFormatOf(const QString& path) {
    return path.endsWith(u'.' + kResultsCsvSuffix, Qt::CaseInsensitive) ? ResultsFormat::Csv : ResultsFormat::Text;
}

QString ResultsPathForFilter(const QString& path, const QString& filter) {
    if (path.isEmpty()) return path;
    for (const QString& suffix : {kResultsFileSuffix, kResultsCsvSuffix})
        if (path.endsWith(u'.' + suffix, Qt::CaseInsensitive)) return path;
    const bool csv = filter.contains(QStringLiteral("*.") + kResultsCsvSuffix, Qt::CaseInsensitive);
    return path + u'.' + (csv ? kResultsCsvSuffix : kResultsFileSuffix);
}

bool WriteResults(QIODevice& out, const ResultsStore& store) {
    QByteArray buffer;
    buffer.reserve(kFlushSize + 4096);
    const auto flush = [&]() {
        const bool ok = out.write(buffer) == buffer.size();
        buffer.clear();
        return ok;
    };

    buffer +=
        (TranslateText(QStringLiteral("[1053]Nazwa")) + u'\t' + store.loggerName + QStringLiteral("\r\n")).toUtf8();
    buffer += (TranslateText(QStringLiteral("[1054]Typ")) + u'\t' + store.loggerType + QStringLiteral("\r\n")).toUtf8();
    buffer += (QStringLiteral("Serial\t") + store.serialNumber + QStringLiteral("\r\n")).toUtf8();
    for (int i = 0; i < 4; ++i) buffer += " \r\n";

    const bool humidity = store.HasHumidity();
    const QLocale locale;
    const QString dateFormat = ShortDateFormat();
    const QString timeFormat = LongTimeFormat();
    // The system's number format, not whatever separator was typed on screen last.
    const QChar separator = SystemDecimalSeparator();
    TextCache dates, times, numbers;
    char digits[16];

    for (int i = 0; i < store.Count(); ++i) {
        const LogRecord& r = store.At(i);
        const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, i + 1);
        buffer.append(digits, end - digits);
        buffer += '\t';

        const QDateTime moment = FromMoment(r.time);
        const QDate date = moment.date();
        const QTime time = moment.time();
        buffer += dates.Get(date.toJulianDay(), [&] { return locale.toString(date, dateFormat); });
        buffer += ' ';
        buffer += times.Get(time.msecsSinceStartOfDay(), [&] { return locale.toString(time, timeFormat); });
        buffer += '\t';
        buffer += numbers.Get(FloatKey(r.temperature), [&] { return NumberText(r.temperature, separator); });
        buffer += '\t';
        if (humidity) buffer += numbers.Get(FloatKey(r.humidity), [&] { return NumberText(r.humidity, separator); });
        buffer += "\r\n";
        if (buffer.size() >= kFlushSize && !flush()) return false;
    }
    return flush();
}

SignatureFacts SignatureFactsOf(const ResultsStore& store) {
    SignatureFacts facts;
    facts.serial = store.serialNumber;
    if (!store.IsEmpty()) facts.logStart = FromMoment(store.At(0).time).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    facts.records = store.Count();
    return facts;
}

SaveResultsOutcome SaveResultsFile(const QString& path, const ResultsStore& store, ResultsFormat format,
                                   bool csvDewPoint, const FileSigner* signer) {
    QSaveFile file(path);
    const bool opened = file.open(QIODevice::WriteOnly);
    // Signing hashes the bytes on their way out rather than reading the file back.
    std::optional<DigestingDevice> digesting;
    if (opened && signer && signer->Enabled()) digesting.emplace(file);
    QIODevice& out = digesting ? static_cast<QIODevice&>(*digesting) : file;
    const bool written =
        opened && (format == ResultsFormat::Csv ? WriteResultsCsv(out, store, csvDewPoint) : WriteResults(out, store));
    const QByteArray digest = digesting ? digesting->Finish() : QByteArray();
    if (written && file.commit()) {
        SaveResultsOutcome saved{true, {}, {}};
        if (signer) saved.signature = signer->Sign(path, SignatureFactsOf(store), digest);
        return saved;
    }
    // Whatever failed, the file as it was stays: an uncommitted save is thrown away.
    const QString reason = file.errorString();
    if (file.isOpen()) file.cancelWriting();
    return {false,
            FileProblemText(TranslateText(QStringLiteral("[2000]Nie można zapisać pliku wyników")), path, reason),
            {}};
}

}  // namespace quorvex
