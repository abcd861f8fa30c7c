// Record decoding, the results store and the results table model.
#include <gtest/gtest.h>

#include "LogTestUtil.h"
#include "logs/LogRecord.h"
#include "logs/ResultsModel.h"
#include "logs/ResultsStore.h"

namespace quorvex {
namespace {

using test::LocaleGuard;
using test::RecordBytes;

DecodedRecord Decode(const std::vector<std::uint8_t>& b) { return DecodeLogRecord(LogRecordValue(b.data())); }

TEST(LogRecord, DecodesSignedTemperatureAndHumidityWithTheirTexts) {
    const std::vector<std::uint8_t> bytes{0x82, 0x4A, 0x45, 0x60};
    EXPECT_EQ(LogRecordValue(bytes.data()), 0x824A4560u);
    const DecodedRecord r = Decode(bytes);
    EXPECT_FLOAT_EQ(r.temperature, -12.5f);
    EXPECT_FLOAT_EQ(r.humidity, 45.6f);
    {
        LocaleGuard locale("en_US");
        EXPECT_EQ(LogTemperatureText(r.temperature), QStringLiteral("-12.5°C"));
        EXPECT_EQ(LogHumidityText(r.humidity), QStringLiteral("45.6%"));
    }
    {
        LocaleGuard locale("pl_PL");
        EXPECT_EQ(LogTemperatureText(r.temperature), QStringLiteral("-12,5°C"));
        EXPECT_EQ(LogHumidityText(r.humidity), QStringLiteral("45,6%"));
    }
}

TEST(LogRecord, FieldLimitsDecodeUnclampedAndZeroIsZero) {
    const DecodedRecord zero = Decode({0, 0, 0, 0});
    EXPECT_EQ(zero.temperature, 0.0f);
    EXPECT_EQ(zero.humidity, 0.0f);
    const DecodedRecord top = Decode(RecordBytes(0x3999, false, 0x1999));
    EXPECT_FLOAT_EQ(top.temperature, 399.9f);
    EXPECT_FLOAT_EQ(top.humidity, 199.9f);
    const DecodedRecord negTop = Decode(RecordBytes(0x3999, true, 0));
    EXPECT_FLOAT_EQ(negTop.temperature, -399.9f);
    // The unused low nibble changes nothing.
    EXPECT_EQ(DecodeLogRecord(0x824A456Fu).humidity, Decode({0x82, 0x4A, 0x45, 0x60}).humidity);
    LocaleGuard locale("en_US");
    EXPECT_EQ(LogTemperatureText(Decode(RecordBytes(0, true, 0)).temperature), QStringLiteral("0.0°C"));
}

TEST(LogRecord, HexDigitZeroesOnlyItsOwnField) {
    for (std::uint16_t bad : {0x1A00, 0x000F, 0x00B0, 0x0C00}) {
        const DecodedRecord t = Decode(RecordBytes(bad, false, 0x0456));
        EXPECT_EQ(t.temperature, 0.0f) << std::hex << bad;
        EXPECT_FLOAT_EQ(t.humidity, 45.6f);
        const DecodedRecord h = Decode(RecordBytes(0x0213, false, bad & 0x1FFF));
        EXPECT_FLOAT_EQ(h.temperature, 21.3f);
        EXPECT_EQ(h.humidity, 0.0f) << std::hex << bad;
    }
}

TEST(ResultsStore, ExtremesFollowTheRecordsAndReadTenWhenEmpty) {
    ResultsStore store;
    EXPECT_EQ(store.Count(), 0);
    for (float e : {store.tempMax, store.tempMin, store.humMax, store.humMin}) EXPECT_EQ(e, 10.0f);

    store.Append(21.3f, 40.0f, 1.0);
    EXPECT_EQ(store.tempMax, 21.3f);
    EXPECT_EQ(store.tempMin, 21.3f);
    EXPECT_EQ(store.humMax, 40.0f);
    EXPECT_EQ(store.humMin, 40.0f);
    store.Append(20.1f, 40.0f, 2.0);
    EXPECT_EQ(store.tempMax, 21.3f);
    EXPECT_EQ(store.tempMin, 20.1f);
    EXPECT_EQ(store.humMax, 40.0f);
    EXPECT_EQ(store.humMin, 40.0f);
    store.Append(-5.0f, 99.0f, 3.0);
    EXPECT_EQ(store.tempMin, -5.0f);
    EXPECT_EQ(store.humMax, 99.0f);
    ASSERT_EQ(store.Count(), 3);
    EXPECT_EQ(store[1].temperature, 20.1f);
    EXPECT_EQ(store.At(2).time, 3.0);

    // A first record far below 10.0 must not leave 10.0 as its maximum.
    store.loggerName = QStringLiteral("x");
    store.loggerType = QStringLiteral("0201");
    EXPECT_TRUE(store.HasHumidity());
    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_TRUE(store.loggerName.isEmpty() && store.loggerType.isEmpty());
    EXPECT_EQ(store.tempMax, 10.0f);
    store.Append(-30.0f, 5.0f, 0.0);
    EXPECT_EQ(store.tempMax, -30.0f);
    EXPECT_EQ(store.humMax, 5.0f);
}

TEST(ResultsModel, RowsArriveInBlocksAndReadTheStore) {
    LocaleGuard locale("de_DE");
    ResultsStore store;
    ResultsModel model(store);
    std::vector<std::pair<int, int>> inserted;
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int last) {
        inserted.push_back({first, last});
    });
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });

    const Moment start = ToMoment(QDate(2015, 3, 1), QTime(8, 30, 0));
    for (int i = 0; i < 62; ++i) store.Append(-12.5f, 45.6f, start + i / 86400.0 * 300);
    EXPECT_EQ(model.rowCount(), 0);  // nothing shows before the block is announced
    model.SyncRows();
    store.Append(20.0f, 0.0f, start + 1.0);
    model.SyncRows();
    model.SyncRows();
    ASSERT_EQ(inserted.size(), 2u);
    EXPECT_EQ(inserted[0], std::make_pair(0, 61));
    EXPECT_EQ(inserted[1], std::make_pair(62, 62));
    ASSERT_EQ(model.rowCount(), 63);
    EXPECT_EQ(model.columnCount(), 6);

    const auto text = [&](int row, int col) { return model.data(model.index(row, col)).toString(); };
    EXPECT_EQ(text(0, 0), QStringLiteral("1"));
    EXPECT_EQ(text(0, 1), QStringLiteral("01.03.2015"));
    EXPECT_EQ(text(0, 2), QStringLiteral("08:30:00"));
    EXPECT_EQ(text(1, 2), QStringLiteral("08:35:00"));
    EXPECT_EQ(text(0, 3), QStringLiteral("-12,5°C"));
    EXPECT_EQ(text(0, 4), QStringLiteral("45,6%"));
    EXPECT_EQ(text(62, 0), QStringLiteral("63"));
    EXPECT_EQ(text(62, 1), QStringLiteral("02.03.2015"));
    EXPECT_FALSE(model.data(model.index(63, 0)).isValid());
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_EQ(model.data(model.index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    EXPECT_FALSE(model.flags(model.index(0, 3)) & Qt::ItemIsEditable);

    // Cleared store: a paint before the next sync reads nothing, the sync resets.
    store.Clear();
    EXPECT_FALSE(model.data(model.index(5, 0)).isValid());
    model.SyncRows();
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(ResultsModel, HeaderCaptionsStartNumberedAndCanBeRenamed) {
    ResultsStore store;
    ResultsModel model(store);
    const QStringList expected{"[2200]Lp", "[131]Data", "[132]Czas", "[140]Temperatura",
                               QStringLiteral("[150]Wilgotność")};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), expected[c]);
    int changed = -1;
    QObject::connect(&model, &QAbstractItemModel::headerDataChanged,
                     [&](Qt::Orientation, int first, int) { changed = first; });
    EXPECT_TRUE(model.setHeaderData(3, Qt::Horizontal, QStringLiteral("Temperature")));
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Temperature"));
    EXPECT_FALSE(model.setHeaderData(6, Qt::Horizontal, QStringLiteral("x")));
    EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
}

}  // namespace
}  // namespace quorvex
