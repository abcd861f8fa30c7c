#include <algorithm>
#include "i18n/StringTable.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(StringTable, EveryEntryIsFoundUnderItsTwoResourceNumbersOnly) {
    const auto entries = StringTableEntries();
    // The original table has 114 texts; the program's own ones take ids from 2000 up.
    const auto original =
        std::count_if(entries.begin(), entries.end(), [](const StringTableEntry& e) { return e.id < 2000; });
    ASSERT_EQ(original, 114);
    for (const StringTableEntry& e : entries) {
        SCOPED_TRACE(e.id);
        EXPECT_FALSE(QString::fromUtf8(e.english).isEmpty());
        EXPECT_FALSE(QString::fromUtf8(e.german).isEmpty());
        EXPECT_EQ(LoadStringResource(e.id + kEnglishResourceBase), QString::fromUtf8(e.english));
        EXPECT_EQ(LoadStringResource(e.id + kGermanResourceBase), QString::fromUtf8(e.german));
        EXPECT_TRUE(LoadStringResource(e.id).isEmpty());
    }
    for (int resource : {10311, 20311, 10330, 20330, 20999, -1, 9999, 19999, 30001})
        EXPECT_TRUE(LoadStringResource(resource).isEmpty()) << resource;
}

TEST(StringTable, WordingsAreKeptExactlyWithTheirOddities) {
    // Trailing spaces and letters outside ASCII survive unchanged; a double space inside a
    // sentence was a fault, mended.
    EXPECT_EQ(LoadStringResource(10210), QStringLiteral("Parameters of starts and registration "));
    EXPECT_EQ(LoadStringResource(10240), QStringLiteral("Parameters of record "));
    EXPECT_EQ(LoadStringResource(11009), QStringLiteral("Launch from computer by clicking Start button"));
    // The clock dialog's two time sources read differently in German too.
    EXPECT_EQ(LoadStringResource(20133), QStringLiteral("Zeit vom Computer übernehmen"));
    EXPECT_EQ(LoadStringResource(20134), QStringLiteral("Zeit vom Logger übernehmen"));
    EXPECT_EQ(LoadStringResource(21045), QStringLiteral("Auslesen läßt sich nicht neustarten"));
    EXPECT_EQ(LoadStringResource(21013), QStringLiteral("Zum Stoppen des Logins die 'STOP'-Taste drücken"));
    // Carried by no caption, still in the table.
    EXPECT_EQ(LoadStringResource(10721), QStringLiteral("Description"));
    EXPECT_EQ(LoadStringResource(21003), QStringLiteral("vom Computer"));
}

}  // namespace
}  // namespace quorvex
