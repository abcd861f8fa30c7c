#include "logs/MomentReader.h"

#include <algorithm>
#include <cctype>

namespace quorvex {
namespace {

// Texts of a day or a time of day are short; a longer one is no such text.
constexpr std::size_t kLongestPart = 64;
constexpr std::size_t kTimeCacheLimit = 200000;

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Reads exactly `count` digits at `pos`; -1 when they are not all there.
int Digits(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool IsIsoOffset(std::string_view rest) {
    if (rest.empty() || rest == "Z") return true;
    if (rest[0] != '+' && rest[0] != '-') return false;
    rest.remove_prefix(1);
    if (Digits(rest, 0, 2) < 0 || Digits(rest, 0, 2) > 23) return false;
    rest.remove_prefix(2);
    if (rest.empty()) return true;
    if (rest[0] == ':') rest.remove_prefix(1);
    return rest.size() == 2 && Digits(rest, 0, 2) >= 0 && Digits(rest, 0, 2) <= 59;
}

}  // namespace

std::optional<QDateTime> ReadIsoMoment(std::string_view text) {
    // YYYY-MM-DD
    const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    if (year < 0 || month < 0 || day < 0 || text[4] != '-' || text[7] != '-') return std::nullopt;
    if (text.size() < 16 || (text[10] != 'T' && text[10] != ' ')) return std::nullopt;
    // hh:mm[:ss[.fff]]
    const int hour = Digits(text, 11, 2), minute = Digits(text, 14, 2);
    if (hour < 0 || minute < 0 || text[13] != ':') return std::nullopt;
    std::size_t pos = 16;
    int second = 0, ms = 0;
    if (pos < text.size() && text[pos] == ':') {
        second = Digits(text, pos + 1, 2);
        if (second < 0) return std::nullopt;
        pos += 3;
        if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
            std::size_t end = pos + 1;
            while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
            if (end == pos + 1) return std::nullopt;
            // Milliseconds from the first three digits of the fraction.
            for (std::size_t i = pos + 1; i < pos + 4; ++i) ms = ms * 10 + (i < end ? text[i] - '0' : 0);
            pos = end;
        }
    }
    if (!IsIsoOffset(text.substr(pos))) return std::nullopt;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, ms);
    if (!date.isValid() || year < 1 || !time.isValid()) return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

MomentReader::MomentReader(Order order) {
    QList<QLocale> locales{QLocale(), QLocale(QStringLiteral("pl_PL")), QLocale(QStringLiteral("en_US")),
                           QLocale(QStringLiteral("de_DE"))};
    std::vector<Way> ways;
    for (const QLocale& locale : locales) {
        const bool seen = std::any_of(ways.begin(), ways.end(), [&](const Way& w) { return w.locale == locale; });
        if (seen) continue;
        Way way;
        way.locale = locale;
        const QString date = ShortDateFormat(locale), time = LongTimeFormat(locale);
        way.dateFormats = QStringList{date, RelaxedFormat(date)};
        way.timeFormats = QStringList{time, RelaxedFormat(time)};
        way.dateFormats.removeDuplicates();
        way.timeFormats.removeDuplicates();
        // The date part may hold spaces of its own ("1 Mar 2015"); a sample
        // with two-digit fields and a long month name tells how many.
        way.spacesInDate = static_cast<int>(locale.toString(QDate(2015, 12, 28), date).count(u' '));
        way.quickTime = QuickTimeFields(time);
        way.am = locale.amText().toLower().toStdString();
        way.pm = locale.pmText().toLower().toStdString();
        ways.push_back(std::move(way));
    }
    Way iso;
    iso.iso = true;
    if (order == Order::IsoFirst)
        ways.insert(ways.begin(), std::move(iso));
    else
        ways.push_back(std::move(iso));
    ways_ = std::move(ways);
}

std::optional<QDate> MomentReader::ReadDate(const Way& way, std::string_view text) {
    if (text == lastDateText_) {
        if (lastDate_.isValid()) return lastDate_;
        return std::nullopt;
    }
    lastDateText_.assign(text);
    lastDate_ = QDate();
    if (text.size() > kLongestPart) return std::nullopt;
    const QString date = FromUtf8(text);
    for (const QString& format : way.dateFormats) {
        const QDate d = way.locale.toDate(date, format);
        if (d.isValid() && d.year() >= 1 && d.year() <= 9999) {
            lastDate_ = d;
            return d;
        }
    }
    return std::nullopt;
}

std::vector<MomentReader::TimeField> MomentReader::QuickTimeFields(const QString& format) {
    std::vector<TimeField> fields;
    bool ampm = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c) ++run;
        TimeField field;
        if (c == u'\'') {
            // Quoted text; two quotes stand for one.
            const qsizetype end = format.indexOf(u'\'', i + 1);
            if (end < 0) return {};
            field.literal = end == i + 1 ? std::string("'") : format.mid(i + 1, end - i - 1).toStdString();
            run = end - i + 1;
        } else if ((c == u'H' || c == u'h') && run <= 2) {
            field.kind = c == u'H' ? TimeField::Hour24 : TimeField::Hour12;
        } else if (c == u'm' && run <= 2) {
            field.kind = TimeField::Minute;
        } else if (c == u's' && run <= 2) {
            field.kind = TimeField::Second;
        } else if ((c == u'A' || c == u'a') && run == 1 &&
                   format.mid(i + 1, 1).compare(u"p", Qt::CaseInsensitive) == 0) {
            field.kind = TimeField::AmPm;
            ampm = true;
            run = 2;
        } else if (c.isLetter()) {
            return {};  // a field this reader does not know: Qt's parser reads it
        } else {
            field.literal = format.mid(i, run).toStdString();
        }
        if (field.kind == TimeField::Literal && !fields.empty() && fields.back().kind == TimeField::Literal)
            fields.back().literal += field.literal;
        else
            fields.push_back(std::move(field));
        i += run;
    }
    // "h" without AM/PM counts 0–23 as "H" does.
    for (TimeField& f : fields)
        if (f.kind == TimeField::Hour12 && !ampm) f.kind = TimeField::Hour24;
    return fields;
}

std::optional<int> MomentReader::ReadQuickTime(const Way& way, std::string_view text) {
    int hour = -1, minute = 0, second = 0;
    int pm = -1;  // -1: no AM/PM field
    std::size_t pos = 0;
    for (const TimeField& f : way.quickTime) {
        if (f.kind == TimeField::Literal) {
            if (text.substr(pos, f.literal.size()) != f.literal) return std::nullopt;
            pos += f.literal.size();
            continue;
        }
        if (f.kind == TimeField::AmPm) {
            std::string word;
            for (std::size_t i = pos; i < text.size() && i < pos + 16 && text[i] != ' '; ++i)
                word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
            if (!way.am.empty() && word == way.am)
                pm = 0;
            else if (!way.pm.empty() && word == way.pm)
                pm = 1;
            else
                return std::nullopt;
            pos += word.size();
            continue;
        }
        // One or two digits.
        int value = 0, digits = 0;
        while (digits < 2 && pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            value = value * 10 + (text[pos++] - '0');
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        if (f.kind == TimeField::Hour24 || f.kind == TimeField::Hour12)
            hour = value;
        else if (f.kind == TimeField::Minute)
            minute = value;
        else
            second = value;
    }
    if (pos != text.size() || hour < 0 || minute > 59 || second > 59) return std::nullopt;
    if (pm >= 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + 12 * pm;
    } else if (hour > 23) {
        return std::nullopt;
    }
    return ((hour * 60 + minute) * 60 + second) * 1000;
}

std::optional<int> MomentReader::ReadTime(const Way& way, std::string_view text) {
    if (text.size() > kLongestPart) return std::nullopt;
    // The quick reader is cheaper than a look-up among thousands of texts.
    if (!way.quickTime.empty()) {
        if (const auto ms = ReadQuickTime(way, text)) return ms;
    }
    std::string key(text);
    if (const auto it = times_.find(key); it != times_.end()) {
        if (it->second < 0) return std::nullopt;
        return it->second;
    }
    if (times_.size() >= kTimeCacheLimit) times_.clear();
    int ms = -1;
    const QString time = FromUtf8(text);
    for (const QString& format : way.timeFormats) {
        const QTime t = way.locale.toTime(time, format);
        if (t.isValid()) {
            ms = t.msecsSinceStartOfDay();
            break;
        }
    }
    times_.emplace(std::move(key), ms);
    if (ms < 0) return std::nullopt;
    return ms;
}

std::optional<Moment> MomentReader::Read(std::string_view text, int wayIndex) {
    if (wayIndex < 0 || wayIndex >= WayCount()) return std::nullopt;
    if (wayIndex != cachedWay_) {
        cachedWay_ = wayIndex;
        lastDateText_.clear();
        lastDate_ = QDate();
        times_.clear();
    }
    const Way& way = ways_[static_cast<std::size_t>(wayIndex)];
    if (way.iso) {
        const auto moment = ReadIsoMoment(text);
        if (!moment) return std::nullopt;
        return ToMoment(*moment);
    }
    // The date ends at the space that follows its own spaces.
    std::size_t split = std::string_view::npos;
    for (int spaces = 0, from = 0; spaces <= way.spacesInDate; ++spaces) {
        split = text.find(' ', static_cast<std::size_t>(from));
        if (split == std::string_view::npos) return std::nullopt;
        from = static_cast<int>(split) + 1;
    }
    const auto date = ReadDate(way, text.substr(0, split));
    if (!date) return std::nullopt;
    const auto ms = ReadTime(way, text.substr(split + 1));
    if (!ms) return std::nullopt;
    return ToMoment(*date, QTime::fromMSecsSinceStartOfDay(*ms));
}

}  // namespace quorvex
