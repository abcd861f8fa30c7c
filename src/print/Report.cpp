#include "print/Report.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPalette>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSysInfo>
#include <QTextLayout>
#include <QTextOption>
#include <QtMath>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "chart/ChartPrintView.h"
#include "i18n/ProgramTexts.h"
#include "logs/LogRecord.h"
#include "logs/RecordsFingerprint.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsSummary.h"
#include "params/Codecs.h"
#include "params/DateTimeCodec.h"
#include "print/ChartPrintout.h"
#include "print/ReportDailyTable.h"
#include "print/TablePrinter.h"

namespace quorvex {
namespace {

constexpr int kResolution = 600;  // dots per inch of the PDF's page coordinates
constexpr double kMarginMm = 10.0;
constexpr int kTitlePoints = 16;
constexpr int kHeadingPoints = 11;
constexpr int kTextPoints = 10;
constexpr int kFramePoints = 8;
constexpr int kExcursionsPerRule = 50;  // listed per rule; the rest are counted

QString Tr(const char16_t* text) { return TranslateText(QString::fromUtf16(text)); }

QString ProgramName() { return QStringLiteral("Quorvex " QUORVEX_VERSION); }

QString RecordMomentText(const ResultsStore& store, int index) {
    if (index < 0 || index >= store.Count()) return {};
    const QDateTime moment = FromMoment(store.At(index).time);
    return QLocale().toString(moment.date(), ShortDateFormat()) + u' ' +
           QLocale().toString(moment.time(), LongTimeFormat());
}

// The line at the foot of every page: "page N of M", the program and the fingerprint.
struct PageFrame {
    QString fingerprint;
    int pages = 0;

    QString Text(int page) const {
        return Tr(u"[2426]Strona %1 z %2").arg(page).arg(pages) + QStringLiteral("    ") + ProgramName() +
               QStringLiteral("    SHA-256: ") + fingerprint;
    }
    // Drawn on the last line of `strip`, smaller where the line is narrower than the text.
    void Draw(QPainter& painter, int page, const QRect& strip) const {
        painter.save();
        painter.setPen(Qt::black);
        const QString text = Text(page);
        QFont font = PrintFont(kFramePoints, false);
        painter.setFont(font);
        for (int points = kFramePoints; points > 4 && painter.fontMetrics().horizontalAdvance(text) > strip.width();) {
            font.setPointSize(--points);
            painter.setFont(font);
        }
        painter.drawText(strip, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, text);
        painter.restore();
    }
    int StripHeight(const QPaintDevice& device) const {
        return 2 * QFontMetrics(PrintFont(kFramePoints, false), &device).height();
    }
};

// One line of the first pages.
struct Line {
    enum Kind { Heading, Fact, Text, Rule, Overall };
    Kind kind = Text;
    QString label;
    QString value;
    int indent = 0;  // in lines' heights
    // Parts of the label (a moment, a duration) that move to the next line whole
    // rather than break where a line happens to end.
    QStringList whole = {};
};

class FirstPages {
public:
    FirstPages(QPainter& painter, int left, int right) : painter_(painter), left_(left), right_(right) {}

    // The height `line` takes, with the gap above a heading: the label and the
    // value exactly as Draw lays them out.
    int Height(const Line& line) {
        SetFont(line);
        const QRect box = LabelRect(line, 0);
        const QRectF used =
            painter_.boundingRect(QRectF(box.x(), 0, box.width(), 1e6), LabelText(line, box.width()), Wrap());
        int height = std::max(qCeil(used.height()), painter_.fontMetrics().height());
        if (!line.value.isEmpty()) {
            // A value longer than its column (a file path, the fingerprint) goes on in the next rows.
            ValueFont(line);
            const QRectF value = painter_.boundingRect(ValueRect(line, 0), line.value, Wrap());
            height = std::max(height, qCeil(value.height()));
            SetFont(line);
        }
        if (line.kind == Line::Heading) height += painter_.fontMetrics().height() / 2;
        return height;
    }

    void Draw(const Line& line, int y) {
        SetFont(line);
        const int lineHeight = painter_.fontMetrics().height();
        if (line.kind == Line::Heading) y += lineHeight / 2;
        const QRect box = LabelRect(line, y);
        painter_.drawText(QRectF(box), LabelText(line, box.width()), Wrap());
        if (line.value.isEmpty()) return;
        ValueFont(line);
        painter_.drawText(ValueRect(line, y), line.value, Wrap());
    }

private:
    // The label as drawn: a fact's with its colon, and a line break before each
    // part of `whole` that the wrapping would otherwise cut in two.
    QString LabelText(const Line& line, int width) const {
        QString label = line.label;
        if (line.kind == Line::Fact && !label.endsWith(u':')) label += u':';
        for (const QString& part : line.whole) {
            const qsizetype at = label.indexOf(part);
            if (part.isEmpty() || at <= 0) continue;
            QTextLayout layout(label, painter_.font(), painter_.device());
            layout.setTextOption(Wrap());
            layout.beginLayout();
            bool cut = false;
            for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
                row.setLineWidth(width);
                cut = cut || (row.textStart() > at && row.textStart() < at + part.size());
            }
            layout.endLayout();
            if (!cut) continue;
            // The space before the part becomes the break, so the next line starts with it.
            if (label[at - 1] == u' ')
                label[at - 1] = QChar::LineSeparator;
            else
                label.insert(at, QChar::LineSeparator);
        }
        return label;
    }
    void ValueFont(const Line& line) {
        if (line.kind == Line::Rule || line.kind == Line::Overall)
            painter_.setFont(PrintFont(kTextPoints, true));  // the verdict words
        else
            SetFont(line);
    }
    void SetFont(const Line& line) {
        switch (line.kind) {
        case Line::Heading:
            painter_.setFont(PrintFont(kHeadingPoints, true));
            break;
        case Line::Overall:
            painter_.setFont(PrintFont(kTextPoints, true));
            break;
        default:
            painter_.setFont(PrintFont(kTextPoints, false));
            break;
        }
    }
    QTextOption Wrap() const {
        QTextOption wrap(Qt::AlignLeft | Qt::AlignTop);
        wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        return wrap;
    }
    int ValueX(const Line& line) const {
        const int width = right_ - left_;
        if (line.kind == Line::Fact) return left_ + qRound(0.4 * width);
        return right_ - qRound(0.2 * width);  // the verdict words
    }
    QRectF ValueRect(const Line& line, int y) const {
        return QRectF(ValueX(line), y, std::max(1, right_ - ValueX(line)), 1e6);
    }
    QRect LabelRect(const Line& line, int y) const {
        const int x = left_ + line.indent * painter_.fontMetrics().height();
        const int end = line.value.isEmpty() && line.kind != Line::Fact
                            ? right_
                            : ValueX(line) - painter_.fontMetrics().height() / 2;
        return QRect(x, y, std::max(1, end - x), 1'000'000);
    }

    QPainter& painter_;
    int left_, right_;
};

QString MomentLine(const QDateTime& moment) {
    return QLocale().toString(moment.date(), ShortDateFormat()) + u' ' +
           QLocale().toString(moment.time(), LongTimeFormat());
}

QString MomentText(Moment moment) { return MomentLine(FromMoment(moment)); }

// Where the data came from, and who made the report where and when. Both the
// window and the command line come here with what they know of the source;
// the report's own facts are taken here, so every report carries the same lines.
QList<Line> SourceLines(const ResultsStore& store, const ReportSource& source) {
    QList<Line> lines;
    lines.push_back({Line::Heading, Tr(u"[2428]Pochodzenie danych"), {}});
    const QString file = source.file.isEmpty() ? store.sourceFile : source.file;
    if (source.downloaded.isValid()) lines.push_back({Line::Fact, Tr(u"[2429]Pobrano"), MomentLine(source.downloaded)});
    if (!source.user.isEmpty()) lines.push_back({Line::Fact, Tr(u"[2430]Użytkownik"), source.user});
    if (!source.host.isEmpty()) lines.push_back({Line::Fact, Tr(u"[2431]Komputer"), source.host});
    if (!source.programVersion.isEmpty())
        lines.push_back({Line::Fact, Tr(u"[2432]Wersja programu"), source.programVersion});
    if (source.announced > 0)
        lines.push_back({Line::Fact, Tr(u"[2433]Odczyt"),
                         source.received >= source.announced
                             ? Tr(u"[2434]kompletny")
                             : CountText(QStringLiteral("[2435]niepełny: %2 z %1 rekordu|niepełny: %2 z %1 rekordów|"
                                                        "niepełny: %2 z %1 rekordów"),
                                         source.announced)
                                   .arg(source.received)});
    if (!file.isEmpty()) lines.push_back({Line::Fact, Tr(u"[2436]Odczytano z pliku"), QDir::toNativeSeparators(file)});
    if (lines.size() == 1) lines.clear();  // nothing known of it: no heading either

    lines.push_back({Line::Heading, Tr(u"[2640]Sporządzenie raportu"), {}});
    lines.push_back({Line::Fact, Tr(u"[2641]Data i godzina"), MomentLine(QDateTime::currentDateTime())});
    const QString user = CurrentUserName();
    if (!user.isEmpty()) lines.push_back({Line::Fact, Tr(u"[2430]Użytkownik"), user});
    lines.push_back({Line::Fact, Tr(u"[2431]Komputer"), CurrentHostName()});
    return lines;
}

QList<Line> VerdictLinesOf(const Verdict& verdict, QChar separator) {
    QList<Line> lines;
    lines.push_back({Line::Heading, Tr(u"[2403]Ocena zgodności"), {}});
    if (!verdict.Evaluated()) {
        lines.push_back({Line::Text, VerdictLines(verdict, separator).value(0), {}});
        return lines;
    }
    int number = 0;
    for (const RuleVerdict& v : verdict.rules) {
        QString value = VerdictWord(v);
        QString label = QStringLiteral("%1. %2").arg(++number).arg(RuleText(v.rule, separator));
        if (v.kineticTemperature)
            label += QStringLiteral(" (MKT %1)").arg(SeriesValueText(v.rule.series, *v.kineticTemperature, separator));
        const QStringList whole{DurationText(v.rule.allowedSeconds * 1000),
                                SeriesValueText(v.rule.series, v.rule.limit, separator)};
        lines.push_back({Line::Rule, label, value, 0, whole});
        Verdict one;
        one.rules.push_back(v);
        const QStringList excursions = VerdictLines(one, separator, kExcursionsPerRule);
        for (qsizetype i = 1; i + 1 < excursions.size(); ++i) {
            QStringList parts;
            if (i - 1 < v.breaking.size()) {
                const Excursion& e = v.breaking[i - 1];
                parts << MomentText(e.start) << MomentText(e.end) << DurationText(e.durationMs);
            }
            lines.push_back({Line::Text, excursions[i].trimmed(), {}, 1, parts});
        }
    }
    lines.push_back({Line::Overall, Tr(u"[2412]Ocena ogólna"), VerdictWord(verdict.Pass())});
    return lines;
}

}  // namespace

QPageSize ReportPaper(const QLocale& locale) {
    return QPageSize(locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

QString CurrentUserName() {
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) name = qEnvironmentVariable("LOGNAME");
    // A service or a cron job may run without either: the account is still known.
    if (name.isEmpty()) {
        if (const passwd* account = getpwuid(geteuid())) name = QString::fromLocal8Bit(account->pw_name);
    }
    return name;
}

QString CurrentHostName() { return QSysInfo::machineHostName(); }

QString ProposedReportFileName(const ResultsStore& store) {
    const QString moment =
        store.IsEmpty() ? QString() : FromMoment(store.At(0).time).toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    return ProposedResultsFileName(store.loggerName, moment, QString()) + QStringLiteral(".pdf");
}

bool ParseReportTable(const QString& text, ReportTable& table) {
    if (text == QLatin1String("all"))
        table = ReportTable::All;
    else if (text == QLatin1String("daily"))
        table = ReportTable::Daily;
    else if (text == QLatin1String("none"))
        table = ReportTable::None;
    else
        return false;
    return true;
}

ReportSource ReportSourceOf(const ArchiveLogRow& log, const QString& logStart) {
    ReportSource source;
    if (!log.sourceFile.isEmpty()) {
        source.file = log.sourceFile;
        return source;
    }
    source.logStart = logStart;
    if (!log.downloads.isEmpty()) {
        const ArchiveDownloadRow& latest = log.downloads.constLast();
        source.downloaded = latest.moment.toLocalTime();
        source.user = latest.user;
        source.host = latest.host;
        source.programVersion = latest.program;
    }
    // Complete or short as the archive holds the log.
    source.received = log.archived;
    source.announced = log.announced;
    return source;
}

ReportOutcome WriteReport(const QString& path, const ReportRequest& request) {
    ReportOutcome outcome;
    const ResultsStore none;
    const ResultsStore& store = request.results ? *request.results : none;
    auto fail = [&](const QString& reason) {
        outcome.ok = false;
        outcome.errorText = FileProblemText(Tr(u"[2441]Nie można zapisać raportu"), path, reason);
        return outcome;
    };

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    const QChar separator = SystemDecimalSeparator();
    const Verdict verdict = EvaluateRules(store, request.rules);
    // The dew point is drawn and tabled when a rule judges it, so the reviewer sees what was judged.
    const bool dewPoint = std::any_of(verdict.rules.begin(), verdict.rules.end(),
                                      [](const RuleVerdict& v) { return v.rule.series == RuleSeries::DewPoint; });
    PageFrame frame{RecordsFingerprint(store), 0};
    ResultsSummary summary;
    summary.Update(store);

    bool drawn = false;
    {
        QPdfWriter writer(&file);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setResolution(kResolution);
        writer.setTitle(Tr(u"[2400]Raport z rejestracji") + QStringLiteral(" — ") + store.loggerName);
        writer.setCreator(ProgramName());
        writer.setPageLayout(QPageLayout(request.paper, QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        QPainter painter;
        if (!painter.begin(&writer)) return fail(file.errorString());
        const int width = writer.width();
        const int left = TableLeftMargin(width);
        const int right = TableRightMargin(width);
        const int contentBottom = writer.height() - frame.StripHeight(writer);
        painter.fillRect(QRect(0, 0, width, writer.height()), Qt::white);

        // Page 1 opens with the title and the logger's facts as the table
        // printout's header shows them; the table pages repeat that block.
        painter.setPen(Qt::black);
        painter.setFont(PrintFont(kTitlePoints, true));
        const int titleHeight = painter.fontMetrics().height();
        painter.drawText(QRect(left, 0, right - left, titleHeight), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         Tr(u"[2400]Raport z rejestracji"));
        int y = titleHeight;
        FirstPages lines(painter, left, right);
        const Line loggerHeading{Line::Heading, Tr(u"[2427]Dane Loggera"), {}};
        lines.Draw(loggerHeading, y);
        y += lines.Height(loggerHeading);
        PrintHeaderOptions header;
        header.interval = header.firstLog = header.printDate = false;
        const int headerHeight = PrintHeader(painter, store, header, left, right, y, 0, store.Count() - 1);
        y += headerHeight;

        QList<Line> rest;
        if (!request.source.firmware.isEmpty())
            rest.push_back({Line::Fact, Tr(u"[2444]Wersja oprogramowania Loggera"), request.source.firmware});
        if (!request.source.logStart.isEmpty())
            rest.push_back({Line::Fact, Tr(u"[2162]Start rejestracji"), request.source.logStart});
        rest.push_back({Line::Fact, Tr(u"[2163]Częstość zapisu"), store.writeInterval});
        rest.push_back({Line::Fact, Tr(u"[2136]Liczba rekordów"), QString::number(store.Count())});
        rest.push_back({Line::Fact, Tr(u"[2148]Pierwszy rekord"), RecordMomentText(store, 0)});
        rest.push_back({Line::Fact, Tr(u"[2149]Ostatni rekord"), RecordMomentText(store, store.Count() - 1)});
        rest += SourceLines(store, request.source);
        rest += VerdictLinesOf(verdict, separator);
        rest.push_back({Line::Heading, Tr(u"[2135]Podsumowanie"), {}});
        for (const LoggerInfoRow& row : SummaryRows(summary, store, separator))
            rest.push_back({Line::Fact, row.caption, row.value});
        rest.push_back({Line::Fact, Tr(u"[2425]Odcisk danych (SHA-256)"), frame.fingerprint});

        // Where each line goes: pages and rows, before any page is finished,
        // so that every page can say how many there are. A section (a heading
        // and the lines up to the next one) that fits on a page is never split;
        // a longer one at least never leaves its heading alone at a page's foot.
        std::vector<int> heights;
        for (const Line& line : rest) heights.push_back(lines.Height(line));
        auto sectionHeight = [&](qsizetype from) {
            int height = heights[static_cast<std::size_t>(from)];
            for (qsizetype i = from + 1; i < rest.size() && rest[i].kind != Line::Heading; ++i)
                height += heights[static_cast<std::size_t>(i)];
            return height;
        };
        std::vector<std::pair<int, int>> places;
        int page = 1;
        for (qsizetype i = 0; i < rest.size(); ++i) {
            int height = heights[static_cast<std::size_t>(i)];
            if (rest[i].kind == Line::Heading) {
                const int section = sectionHeight(i);
                const int withNext = height + (i + 1 < rest.size() ? heights[static_cast<std::size_t>(i + 1)] : 0);
                height = section <= contentBottom ? section : withNext;
            }
            if (y + height > contentBottom && y > 0) {
                ++page;
                y = 0;
            }
            places.emplace_back(page, y);
            y += heights[static_cast<std::size_t>(i)];
        }
        const int firstPages = page;
        const int chartPage = firstPages + 1;
        DailyTable daily;
        int tablePages = 0;
        if (request.table == ReportTable::All) {
            tablePages = TablePageCount(writer, store, headerHeight, dewPoint);
        } else if (request.table == ReportTable::Daily) {
            daily = DailyValues(store, dewPoint);
            tablePages = DailyTablePageCount(writer, daily, headerHeight);
        }
        frame.pages = chartPage + tablePages;

        page = 1;
        for (qsizetype i = 0; i < rest.size(); ++i) {
            if (places[i].first != page) {
                frame.Draw(painter, page, QRect(left, contentBottom, right - left, writer.height() - contentBottom));
                writer.newPage();
                painter.fillRect(QRect(0, 0, width, writer.height()), Qt::white);
                page = places[i].first;
            }
            lines.Draw(rest[i], places[i].second);
        }
        frame.Draw(painter, page, QRect(left, contentBottom, right - left, writer.height() - contentBottom));

        // The chart: a landscape page as the chart printout's, whose header
        // block carries the title and this page's frame line.
        writer.setPageOrientation(QPageLayout::Landscape);
        writer.newPage();
        ChartPrintView view;
        view.results = &store;
        view.showTemp = true;
        view.showHum = store.HasHumidity();
        // The rules' limits stand where the chart window draws the thresholds: without
        // stored rules they are the thresholds.
        view.showThresholds = false;
        view.showDewPoint = dewPoint;
        view.font = PrintFont(9, false);
        ChartPageExtras extras;
        extras.humidityAxis = true;
        for (const RuleVerdict& v : verdict.rules) extras.rules.push_back(v.rule);
        DrawChartPage(
            painter, writer, view,
            [&](QPainter& p, int l, int r, int top) {
                p.save();
                p.setPen(Qt::black);
                p.setFont(PrintFont(kHeadingPoints, true));
                const int h = p.fontMetrics().height();
                // A file may name neither the logger nor its serial: then the caption stands alone.
                const QString logger = (store.loggerName.trimmed() + u' ' + store.serialNumber.trimmed()).trimmed();
                p.drawText(
                    QRect(l, top, r - l, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    logger.isEmpty() ? Tr(u"[2443]Wykres") : Tr(u"[2443]Wykres") + QStringLiteral(" — ") + logger);
                p.restore();
                const int strip = frame.StripHeight(writer);
                frame.Draw(p, chartPage, QRect(l, top + h, r - l, strip));
                return h + strip + h / 2;
            },
            extras);
        writer.setPageOrientation(QPageLayout::Portrait);

        bool ok = true;
        const auto footer = [&](QPainter& p, int tablePage, const QRect& strip) {
            frame.Draw(p, chartPage + tablePage, strip);
        };
        if (request.table == ReportTable::All) {
            writer.newPage();
            ok = PrintTable(painter, writer, store, header, QDate::currentDate(), footer, dewPoint).ok;
        } else if (request.table == ReportTable::Daily) {
            writer.newPage();
            ok = PrintDailyTable(painter, writer, store, daily, header, footer);
        }
        outcome.pages = frame.pages;
        drawn = painter.end() && ok;
        if (!ok) return fail(Tr(u"[2022]Strona jest za mała na tabelę"));
    }
    if (!drawn || !file.commit()) return fail(file.errorString());
    outcome.ok = true;
    if (request.signer) outcome.signature = request.signer->Sign(path, SignatureFactsOf(store));
    return outcome;
}

}  // namespace quorvex
