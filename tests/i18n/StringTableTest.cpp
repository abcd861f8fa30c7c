#include "i18n/StringTable.h"

#include <gtest/gtest.h>

#include <set>

namespace quorvex {
namespace {

TEST(StringTable, EveryEntryHasBothWordingsUnderItsResourceNumbers) {
  const auto entries = StringTableEntries();
  ASSERT_EQ(entries.size(), 114u);
  std::set<int> ids;
  for (const StringTableEntry& e : entries) {
    SCOPED_TRACE(e.id);
    EXPECT_TRUE(ids.insert(e.id).second);
    EXPECT_FALSE(QString::fromUtf8(e.english).isEmpty());
    EXPECT_FALSE(QString::fromUtf8(e.german).isEmpty());
    EXPECT_EQ(LoadStringResource(e.id + kEnglishResourceBase), QString::fromUtf8(e.english));
    EXPECT_EQ(LoadStringResource(e.id + kGermanResourceBase), QString::fromUtf8(e.german));
    // The bare id is not a resource of its own.
    EXPECT_TRUE(LoadStringResource(e.id).isEmpty());
  }
  // The groups the ids fall into, first and last of each.
  for (int id : {1, 19, 30, 42, 100, 150, 200, 242, 300, 320, 500, 517, 600, 606, 700, 740,
                 1000, 1026, 1030, 1054})
    EXPECT_TRUE(ids.count(id)) << id;
}

TEST(StringTable, WordingsAreKeptExactlyWithTheirOddities) {
  // Trailing spaces, a double space, a German wording shared by two ids and
  // letters outside ASCII must survive unchanged.
  EXPECT_EQ(LoadStringResource(10210), QStringLiteral("Parameters of starts and registration "));
  EXPECT_EQ(LoadStringResource(10222), QStringLiteral("from computer directly "));
  EXPECT_EQ(LoadStringResource(10240), QStringLiteral("Parameters of record "));
  EXPECT_EQ(LoadStringResource(11009), QStringLiteral("Launch from  computer by clicking Start button"));
  EXPECT_EQ(LoadStringResource(20134), QStringLiteral("Zeit vom Computer übernehmen"));
  EXPECT_EQ(LoadStringResource(20133), LoadStringResource(20134));
  EXPECT_EQ(LoadStringResource(20001), QStringLiteral("Ändern"));
  EXPECT_EQ(LoadStringResource(21045), QStringLiteral("Auslesen läßt sich nicht neustarten"));
  EXPECT_EQ(LoadStringResource(20740), QStringLiteral("Fußzeile"));
  EXPECT_EQ(LoadStringResource(21013), QStringLiteral("Zum Stoppen des Logins die 'STOP'-Taste drücken"));
  // Carried by no caption, still in the table.
  EXPECT_EQ(LoadStringResource(10721), QStringLiteral("Description"));
  EXPECT_EQ(LoadStringResource(21003), QStringLiteral("vom Computer"));
}

TEST(StringTable, IdsOutsideTheTableGiveTheEmptyText) {
  for (int resource : {10311, 20311, 10330, 20330, 10005, 20999, 0, -1, 9999, 19999, 30001, 40000})
    EXPECT_TRUE(LoadStringResource(resource).isEmpty()) << resource;
}

}  // namespace
}  // namespace quorvex
