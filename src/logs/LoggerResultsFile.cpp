#include "logs/LoggerResultsFile.h"

#include <QDir>
#include <QFileInfo>

#include "i18n/ProgramTexts.h"
#include "params/DateTimeCodec.h"

namespace quorvex {
namespace {

QString SafePart(const QString& text, const QString& fallback) {
    QString part;
    for (const QChar c : text) {
        const bool refused = c.unicode() < 0x20 || c.category() == QChar::Other_Control ||
                             c.category() == QChar::Other_Format || (c.isSpace() && c != u' ') ||
                             QStringView(u"/\\<>:\"|?*").contains(c);
        part += refused ? QChar(u'_') : c;
    }
    part = part.left(kFileNamePartLength);
    if (!part.isEmpty() && part.back().isHighSurrogate()) part.chop(1);
    part = part.trimmed();
    // "..", "." and a name of dots, blanks and underscores alone say nothing and may mean a folder.
    bool meaningful = false;
    for (const QChar c : part) meaningful = meaningful || c.isLetterOrNumber();
    if (!meaningful) return fallback;
    if (part.startsWith(u'.')) part[0] = u'_';
    return part;
}

}  // namespace

QString LoggerResultsFileName(const ResultsStore& store) {
    const QString moment = store.IsEmpty()
                               ? QStringLiteral("empty")
                               : FromMoment(store.At(0).time).toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    return SafePart(store.loggerName, QStringLiteral("Logger")) + u' ' +
           SafePart(store.serialNumber, QStringLiteral("no-serial")) + u' ' + moment;
}

WrittenResults WriteLoggerResults(const QString& folder, const ResultsStore& store, ResultsFormat format,
                                  const FileSigner* signer, bool csvDewPoint, const QString& nameTail) {
    const QString suffix = format == ResultsFormat::Csv ? kResultsCsvSuffix : kResultsFileSuffix;
    WrittenResults out;
    out.path = QDir(folder).filePath(LoggerResultsFileName(store) + nameTail + u'.' + suffix);
    // A folder that went away is not made again: it may have been an unmounted disk.
    if (!QFileInfo(folder).isDir()) {
        out.folderMissing = true;
        out.errorText = FileProblemText(TranslateText(QStringLiteral("[2000]Nie można zapisać pliku wyników")),
                                        out.path, TranslateText(QStringLiteral("[2488]Folder nie istnieje")));
        return out;
    }
    const SaveResultsOutcome saved = SaveResultsFile(out.path, store, format, csvDewPoint, signer);
    out.ok = saved.ok;
    out.errorText = saved.errorText;
    out.signature = saved.signature;
    return out;
}

}  // namespace quorvex
