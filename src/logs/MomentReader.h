#pragma once
// Reads the moment of a record line back from a results file. The text file
// writes it as "<date> <time>" in the date and time formats of the machine
// that wrote it, so a file may come from a machine set up for another
// language; the CSV file writes ISO 8601. A reader tries several ways of
// reading, each a "way" numbered from 0: the order is given at construction.
//
// A file is written in one way throughout, so its reader settles on the
// first way that reads the file's first moment and keeps it; repeated texts
// (the same date on every line of a day, the same times of day every day)
// are read once and then looked up.
#include <QDateTime>
#include <QLocale>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "params/DateTimeCodec.h"

namespace quorvex {

class MomentReader {
public:
    enum class Order { LocalesFirst, IsoFirst };

    // The ways, in the order tried: the default locale's formats, then those of
    // Polish, English (United States) and German, and ISO 8601 ("2015-03-01
    // 08:30:00", "2015-03-01T08:30:00+01:00"; an offset is read past: the
    // moment stays the logger's clock time) — first or last as `order` says.
    explicit MomentReader(Order order);

    int WayCount() const { return static_cast<int>(ways_.size()); }

    // The moment in `text` read the given way; nothing when it does not fit.
    std::optional<Moment> Read(std::string_view text, int way);

private:
    // A time format made only of hour, minute, second and AM/PM fields and
    // literal text, read without Qt's general parser: a file of one-second
    // records has 86,400 different times of day.
    struct TimeField {
        enum Kind { Literal, Hour24, Hour12, Minute, Second, AmPm } kind = Literal;
        std::string literal;  // UTF-8, for Literal
    };
    struct Way {
        bool iso = false;
        QLocale locale;
        QStringList dateFormats;
        QStringList timeFormats;
        int spacesInDate = 0;              // the date ends at the space after this many
        std::vector<TimeField> quickTime;  // empty: only Qt's parser reads the time
        std::string am, pm;                // the locale's AM/PM texts, lower case
    };

    static std::vector<TimeField> QuickTimeFields(const QString& format);
    static std::optional<int> ReadQuickTime(const Way& way, std::string_view text);

    std::optional<QDate> ReadDate(const Way& way, std::string_view text);
    std::optional<int> ReadTime(const Way& way, std::string_view text);

    std::vector<Way> ways_;
    // Texts already read, for the way they were read with.
    int cachedWay_ = -1;
    std::string lastDateText_;
    QDate lastDate_;
    std::unordered_map<std::string, int> times_;  // text → milliseconds of the day, or -1
};

// ISO 8601 date and time: "YYYY-MM-DD" then "T" or a space, "hh:mm[:ss[.fff]]",
// then optionally "Z" or an offset "+hh:mm", "+hhmm" or "+hh", which is read
// past. Nothing when the text is anything else or no calendar moment.
std::optional<QDateTime> ReadIsoMoment(std::string_view text);

}  // namespace quorvex
