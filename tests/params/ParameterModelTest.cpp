// The parameter model fed with poll replies as the main window feeds it, and
// the requests the dialogs queue through a recording channel.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

#include "LocaleGuard.h"
#include "modbus/FrameRules.h"
#include "params/LoggerChannel.h"
#include "params/ParameterModel.h"

namespace quorvex {
namespace {

using test::LocaleGuard;

std::vector<std::uint8_t> Bytes(const std::vector<std::uint16_t>& words) {
    std::vector<std::uint8_t> out;
    for (std::uint16_t w : words) {
        out.push_back(static_cast<std::uint8_t>(w >> 8));
        out.push_back(static_cast<std::uint8_t>(w & 0xFF));
    }
    return out;
}

// Registers 0–28 of a recording humidity logger.
std::vector<std::uint16_t> LowBlock(std::uint16_t status = 0x0006, std::uint16_t deviceType = 0x0201) {
    std::vector<std::uint16_t> r(29, 0);
    r[0] = status;
    r[1] = 2015;
    r[2] = 0x0305;  // 5 March 2015
    r[3] = 0x0E07;
    r[4] = 0x09AA;  // 14:07:09, lo(4) unused
    r[5] = 2016;
    r[6] = 0x021D;  // 29 February 2016
    r[7] = 0x0000;
    r[8] = 0x0000;  // midnight
    r[9] = 0x0001;
    r[10] = 0x2C00;  // 300 s
    r[11] = 0x0001;
    r[12] = 0x0200;  // 258 records
    r[13] = 0x0000;
    r[14] = 0x0100;  // next record 1
    r[15] = 0x0253 << 1;
    r[16] = 0x555F;  // 25.3 °C, 55.5 %
    r[17] = deviceType;
    r[18] = (0x4125 << 1) | 0;
    r[19] = 0x100F;  // -12.5 °C, 10.0 %
    r[20] = (0x0399 << 1) | 0;
    r[21] = 0x900F;  // 39.9 °C, 90.0 %
    r[22] = 0x0105;  // firmware 1:5
    r[23] = 0x5000;
    r[24] = 0x0102;
    r[25] = 0x0320;  // battery 80 %, counter 66051, BCD year "2015"...
    r[26] = 0x1503;
    r[27] = 0x0500;  // ...month 03, day 05
    return r;
}

class ParameterModelTest : public ::testing::Test {
protected:
    // The model's channel into the recorders; without `queue`, requests go nowhere.
    void ConnectChannel(bool queue = true) {
        LoggerChannel channel;
        if (queue) channel.enqueue = [this](const Request& r) { queued.push_back(r); };
        channel.note = [this](const QString& line) { messages.push_back(line); };
        model.Connect(std::move(channel));
    }
    void SetUp() override { ConnectChannel(); }
    void Store(std::uint16_t start, const std::vector<std::uint16_t>& words) {
        const auto b = Bytes(words);
        model.StoreRegisters(b.data(), start, static_cast<int>(b.size()));
    }

    ParameterModel model;
    std::vector<Request> queued;
    std::vector<QString> messages;
};

TEST_F(ParameterModelTest, LowBlockReplyFillsEveryLowParameterInEachLocale) {
    Store(0, LowBlock());
    EXPECT_EQ(model.ValueCount(), 22);  // all but name, stored type, serial and the corrections
    for (Parameter* p : model.Parameters) {
        const bool high = p->FirstRegister >= 256;
        EXPECT_EQ(p->Empty, high) << qPrintable(p->Name);
        EXPECT_EQ(p->GetText().isEmpty(), high) << qPrintable(p->Name);
    }
    const struct {
        const char* name;
        const char* date;
        const char* time;
        const char* temp;
    } cases[] = {
        {"pl_PL", "5.03.2015", "14:07:09", "25,3"},
        {"en_US", "3/5/2015", "2:07:09 PM", "25.3"},
        {"de_DE", "05.03.2015", "14:07:09", "25,3"},
    };
    for (const auto& c : cases) {
        LocaleGuard locale(c.name);
        EXPECT_EQ(model.Param<CurrentDate>().GetText(), QString::fromLatin1(c.date));
        EXPECT_EQ(model.Param<CurrentTime>().GetText(), QString::fromLatin1(c.time));
        EXPECT_EQ(model.Param<ProductionDate>().GetText(), QString::fromLatin1(c.date));
        EXPECT_EQ(model.Param<CurrentTemp>().GetText(), QString::fromLatin1(c.temp));
        EXPECT_EQ(model.Param<WriteInterval>().GetText(), QStringLiteral("0d  00h:05m:00s"));
    }
    LocaleGuard locale("en_US");
    EXPECT_EQ(model.Param<LowTemp>().GetText(), QStringLiteral("-12.5"));
    EXPECT_EQ(model.Param<HighTemp>().GetText(), QStringLiteral("39.9"));
    EXPECT_EQ(model.Param<CurrentHum>().GetText(), QStringLiteral("55.5"));
    EXPECT_EQ(model.Param<LowHum>().GetText(), QStringLiteral("10.0"));
    EXPECT_EQ(model.Param<HighHum>().GetText(), QStringLiteral("90.0"));
    EXPECT_EQ(model.Param<BatteryStatus>().GetText(), QStringLiteral("80%"));
    EXPECT_EQ(model.Param<LogCounter>().GetText(), QStringLiteral("66051"));
    EXPECT_EQ(model.Param<VersionFirmware>().GetText(), QStringLiteral("1:5"));
    EXPECT_EQ(model.Param<WriteIndex>().GetText(), QStringLiteral("258"));
    EXPECT_EQ(model.Param<ReadIndex>().GetText(), QStringLiteral("1"));
    EXPECT_EQ(model.Param<StatusWord>().GetText(), QStringLiteral("6"));
    EXPECT_EQ(model.Param<StartLog>().GetValue(), 2);
    EXPECT_EQ(model.Param<Logging>().GetValue(), 1);
    EXPECT_EQ(model.Param<WrapAround>().GetValue(), 0);
    EXPECT_TRUE(model.RecordingActive());
}

TEST_F(ParameterModelTest, StartModeDecidesWhetherTheStartMomentApplies) {
    for (std::uint16_t mode = 0; mode < 4; ++mode) {
        Store(0, LowBlock(static_cast<std::uint16_t>(0x0008 | mode)));
        EXPECT_EQ(model.Param<LogStartDate>().Applicable, mode == 2) << mode;
        EXPECT_EQ(model.Param<LogStartTime>().Applicable, mode == 2) << mode;
        EXPECT_FALSE(model.RecordingActive());
        EXPECT_EQ(model.Param<WrapAround>().GetText(), QStringLiteral("1"));
    }
    model.Param<StartLog>().SetValue(2);  // a dialog's choice recomputes at once
    EXPECT_TRUE(model.Param<LogStartDate>().Applicable);
    EXPECT_EQ(model.Mirror()[0], 0x000A);
}

TEST_F(ParameterModelTest, MissingStatusWordEmptiesTheBitsAndStopsRecording) {
    Store(0, LowBlock());
    model.Param<Logging>().Invalidate();
    model.UpdateDependencies();
    for (auto* p : {static_cast<Parameter*>(&model.Param<StartLog>()), static_cast<Parameter*>(&model.Param<Logging>()),
                    static_cast<Parameter*>(&model.Param<WrapAround>())}) {
        EXPECT_EQ(p->GetValue(), -1);
        EXPECT_EQ(p->GetText(), QString());
    }
    EXPECT_FALSE(model.RecordingActive());
    EXPECT_FALSE(model.Param<LogStartDate>().Applicable);
}

TEST_F(ParameterModelTest, DeviceTypeDecidesHumidity) {
    EXPECT_FALSE(model.Param<CurrentHum>().Available) << "not read yet";
    Store(0, LowBlock(0, 0x0201));
    EXPECT_EQ(model.Param<DeviceType>().GetText(), QStringLiteral("0201"));
    EXPECT_TRUE(model.Param<CurrentHum>().Available && model.Param<LowHum>().Available &&
                model.Param<HighHum>().Available);
    Store(17, {0x0101});
    EXPECT_FALSE(model.Param<CurrentHum>().Available || model.Param<LowHum>().Available ||
                 model.Param<HighHum>().Available);
    EXPECT_TRUE(model.Param<CurrentTemp>().Available);
    model.InvalidateAll();
    EXPECT_FALSE(model.Param<HighHum>().Available);
    EXPECT_EQ(model.Param<DeviceType>().GetValue(), 65535);
}

TEST_F(ParameterModelTest, InvalidRegisterContentsGiveEmptyTexts) {
    Store(0, LowBlock());
    Store(1, {2015, 0x0D01, 0x1900, 0x0000});  // month 13, hour 25
    EXPECT_EQ(model.Param<CurrentDate>().GetText(), QString());
    EXPECT_EQ(model.Param<CurrentTime>().GetText(), QString());
    Store(25, {0x0320, 0x1502, 0x3000});  // 30 February
    EXPECT_EQ(model.Param<ProductionDate>().GetText(), QString());
    Store(25, {0x0320, 0x1A03, 0x0500});  // A in the year
    EXPECT_EQ(model.Param<ProductionDate>().GetText(), QString());
    Store(15, {0x0A00 << 1, 0xFFFF});  // not BCD, second register missing
    EXPECT_EQ(model.Param<CurrentTemp>().GetText(), QString());
    Store(16, {0x0000});
    EXPECT_EQ(model.Param<CurrentTemp>().GetText().left(1), QStringLiteral("0"));
}

TEST_F(ParameterModelTest, OddCountsAndRepliesPastTheMirrorKeepToCompleteWords) {
    const std::uint8_t odd[] = {0x12, 0x34, 0x56, 0x78, 0x9A};
    model.StoreRegisters(odd, 280, 5);
    EXPECT_EQ(model.Param<SerialNumber>().GetText(), QStringLiteral("12345678"));
    EXPECT_EQ(model.Mirror()[282], kNotReceived);
    model.StoreRegisters(odd, 17, -3);
    EXPECT_EQ(model.Param<DeviceType>().GetValue(), 65535);

    std::vector<std::uint16_t> words(30);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint16_t>(500 + i);
    Store(500, words);
    EXPECT_EQ(model.Mirror()[500], 500);
    EXPECT_EQ(model.Mirror()[511], 511);
    Store(65530, words);  // register numbers run on past 65535 without wrapping onto register 0
    EXPECT_EQ(model.Mirror()[0], kNotReceived);
    EXPECT_EQ(model.ValueCount(), 1);
}

TEST_F(ParameterModelTest, HighBlockCompletesTheReadingAndInvalidateAllEmptiesIt) {
    Store(0, LowBlock());
    std::vector<std::uint16_t> high(90, 0);
    high[0] = 0x4C6F;
    high[1] = 0x6700;  // "Log"
    high[23] = 0x0201;
    high[24] = 0xDEAD;
    high[25] = 0xBEEF;
    high[44] = 128 - 3;
    high[45] = 128 + 127;
    Store(256, high);
    EXPECT_EQ(model.ValueCount(), model.ParameterCount());
    LocaleGuard locale("pl_PL");
    EXPECT_EQ(model.Param<LoggerName>().GetText(), QStringLiteral("Log"));
    EXPECT_EQ(model.Param<SerialNumber>().GetText(), QStringLiteral("DEADBEEF"));
    EXPECT_EQ(model.Param<DeviceTypeEprom>().GetText(), QStringLiteral("0201"));
    EXPECT_EQ(model.Param<CorrectionTemp>().GetText(), QStringLiteral("-0,3"));
    EXPECT_EQ(model.Param<CorrectionHum>().GetText(), QStringLiteral("12,7"));
    model.InvalidateAll();
    EXPECT_EQ(model.ValueCount(), 0);
    for (Parameter* p : model.Parameters) EXPECT_EQ(p->GetText(), QString()) << qPrintable(p->Name);
}

TEST_F(ParameterModelTest, RepliesNameTheParametersTheyGaveAnotherValueOrFilled) {
    auto storeAndTake = [&](const std::vector<std::uint16_t>& words) {
        Store(0, words);
        QStringList names;
        for (const Parameter* p : model.TakeChanged()) names << p->Name;
        return names;
    };
    qsizetype low = 0;
    for (const Parameter* p : model.Parameters) low += p->FirstRegister < 29;
    const auto block = LowBlock(0x0001);
    EXPECT_EQ(storeAndTake(block).size(), low);
    EXPECT_EQ(storeAndTake(block), QStringList());
    auto later = block;
    later[4] ^= 0x0100;  // one second on
    EXPECT_EQ(storeAndTake(later), QStringList{model.Param<CurrentTime>().Name});
    // Changed here since the last reply counts as well: a start mode chosen, a field a save emptied.
    model.Param<StartLog>().SetValue(2);
    model.Param<HighTemp>().Invalidate();
    const QStringList restored = storeAndTake(later);
    EXPECT_TRUE(restored.contains(model.Param<StartLog>().Name));
    EXPECT_TRUE(restored.contains(model.Param<HighTemp>().Name));
    EXPECT_FALSE(restored.contains(model.Param<CurrentTime>().Name));
    model.InvalidateAll();
    EXPECT_EQ(model.TakeChanged().size(), model.Parameters.size());
}

TEST_F(ParameterModelTest, LoggerNameKeepsFortyFiveBytesAndPolishLetters) {
    auto& name = model.Param<LoggerName>();
    const QString longest(45, u'ż');
    name.SetText(longest);
    EXPECT_EQ(name.GetText(), longest);
    name.SetText(longest + u'X');
    EXPECT_EQ(name.GetText(), longest);
    EXPECT_EQ(name.NameBuffer[45], 0);
    name.SetText(QStringLiteral("Chłodnia Ж"));
    EXPECT_EQ(name.GetText(), QStringLiteral("Chłodnia ?"));

    // A write and its read-back: the words queued are the words the logger returns.
    name.SetText(QStringLiteral("Łódź"));
    const auto words = name.Words();
    model.WriteRegisters(name, std::span(words).first(LoggerName::kWrittenWords));
    name.Invalidate();
    model.ReadBack(name, LoggerName::kWrittenWords);
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(name.GetText(), QString());
    Store(queued[0].StartRegister, {queued[0].Values.begin(), queued[0].Values.end()});
    EXPECT_EQ(name.GetText(), QStringLiteral("Łódź"));
    Store(278, {0x4142});  // the last register's low byte never counts
    EXPECT_EQ(name.NameBuffer[44], 0x41);
    EXPECT_EQ(name.NameBuffer[45], 0);
}

TEST_F(ParameterModelTest, SetTextChangesCopiesOnlyForTextsThatParseAndFit) {
    Store(0, LowBlock());
    LocaleGuard locale("de_DE");
    auto snapshot = [this] {
        std::vector<std::uint16_t> s;
        for (Parameter* p : model.Parameters) s.insert(s.end(), {p->Reg0, p->Reg1, p->Reg2});
        return s;
    };
    const auto before = snapshot();
    for (const char* bad : {"", "abc", "1,2.3", "400", "1e30", "31.02.2015 25:00:00"}) {
        for (Parameter* p : model.Parameters)
            if (p != &model.Param<LoggerName>()) p->SetText(QString::fromLatin1(bad));
        EXPECT_EQ(snapshot(), before) << bad;
    }
    model.Param<HighTemp>().SetText(QStringLiteral("25,3"));
    EXPECT_EQ(model.Param<HighTemp>().Reg0, 0x04A6);
    model.Param<HighHum>().SetText(QStringLiteral("55.5"));
    EXPECT_EQ(model.Param<HighHum>().Reg1, 0x555F);
    model.Param<CurrentDate>().SetText(QStringLiteral("24.12.2026 18:30:00"));
    EXPECT_EQ(model.Param<CurrentDate>().Reg0, 2026);
    EXPECT_EQ(model.Param<CurrentDate>().Reg1, 0x0C18);
    model.Param<CurrentTime>().SetText(QStringLiteral("18:30:05"));
    EXPECT_EQ(model.Param<CurrentTime>().Reg0, 0x121E);
    EXPECT_EQ(model.Param<CurrentTime>().Reg1, 0x05AA);  // low byte kept
}

TEST_F(ParameterModelTest, IntervalAndReadIndexValues) {
    auto& interval = model.Param<WriteInterval>();
    interval.SetValue(300);
    EXPECT_EQ(interval.Reg0, 0x0001);
    EXPECT_EQ(interval.Reg1, 0x2C00);
    EXPECT_EQ(interval.GetValue(), 300);
    interval.SetValue(0xFFFEFF);
    EXPECT_EQ(interval.GetText(), QStringLiteral("194d  04h:15m:59s"));
    auto& index = model.Param<ReadIndex>();
    index.Reg1 = 0x00AB;
    index.SetValue(0x123456);
    EXPECT_EQ(index.Reg0, 0x1234);
    EXPECT_EQ(index.Reg1, 0x56AB);
}

TEST_F(ParameterModelTest, RequestsCarryTheDialogsWritesAndReadBacks) {
    auto& high = model.Param<HighTemp>();
    const std::uint16_t words[] = {0x04A6, 0x900F};
    model.WriteRegisters(high, words);
    model.ReadBack(high, 2);
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0].Function, FN_WRITE_MULTIPLE);
    EXPECT_EQ(queued[0].StartRegister, 20);
    EXPECT_EQ(queued[0].Count, 2);
    EXPECT_EQ(std::vector<std::uint16_t>(queued[0].Values.begin(), queued[0].Values.end()),
              std::vector<std::uint16_t>({0x04A6, 0x900F}));
    EXPECT_EQ(queued[1].Function, FN_READ_HOLDING);
    EXPECT_EQ(queued[1].Count, 2);
    for (const Request& r : queued) {
        EXPECT_EQ(r.Address, 255);
        EXPECT_EQ(r.Attempts, 2);
        EXPECT_EQ(EncodeRequest(r).error, BuildError::None);
    }
    // Impossible counts are refused with a line in the message log; no hook, no request.
    model.ReadBack(high, 0);
    model.WriteRegisters(high, std::span<const std::uint16_t>());
    EXPECT_EQ(queued.size(), 2u);
    EXPECT_EQ(messages.size(), 2u);
    ConnectChannel(false);
    model.ReadBack(high, 2);
    EXPECT_EQ(queued.size(), 2u);
}

TEST_F(ParameterModelTest, ResetCommandIsOneAttemptOfFunction65WithZeroRegisterFields) {
    model.EnqueueResetCommand();
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].Address, 255);
    EXPECT_EQ(queued[0].Function, FN_RESET_COMMAND);
    EXPECT_EQ(queued[0].Attempts, 1);
    const BuiltRequest frame = EncodeRequest(queued[0]);
    ASSERT_EQ(frame.error, BuildError::None);
    ASSERT_EQ(frame.bytes.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(frame.bytes.begin(), frame.bytes.begin() + 6),
              std::vector<std::uint8_t>({0xFF, 0x41, 0, 0, 0, 0}));
    ConnectChannel(false);
    model.EnqueueResetCommand();
    EXPECT_EQ(queued.size(), 1u);
}

TEST_F(ParameterModelTest, CommandRegistersAreWrittenOneByOne) {
    model.WriteCommand(ParameterModel::kStartModeBit1Register, 2);
    model.WriteCommand(ParameterModel::kOverwriteRegister, 8);
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0].Function, FN_WRITE_SINGLE);
    EXPECT_EQ(queued[0].StartRegister, 81);
    EXPECT_EQ(queued[0].Value, 2);
    EXPECT_EQ(queued[1].StartRegister, 83);
    EXPECT_EQ(queued[1].Value, 8);
    // The frame the logger receives: ff 06 00 53 00 08 and the CRC.
    const BuiltRequest frame = EncodeRequest(queued[1]);
    ASSERT_EQ(frame.error, BuildError::None);
    ASSERT_EQ(frame.bytes.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(frame.bytes.begin(), frame.bytes.begin() + 6),
              std::vector<std::uint8_t>({0xFF, 0x06, 0x00, 0x53, 0x00, 0x08}));
    for (const Request& r : queued) {
        EXPECT_EQ(r.Address, 255);
        EXPECT_EQ(r.Attempts, 2);
    }
    // Only the four command registers; a parameter register goes through WriteRegisters.
    model.WriteCommand(79, 1);
    model.WriteCommand(84, 1);
    model.WriteCommand(5, 1);
    EXPECT_EQ(queued.size(), 2u);
    EXPECT_EQ(messages.size(), 3u);
    ConnectChannel(false);
    model.WriteCommand(ParameterModel::kOverwriteRegister, 0);
    EXPECT_EQ(queued.size(), 2u);
}

TEST_F(ParameterModelTest, EveryWriteEndingIsToldWithTheValueBeforeAndAfter) {
    std::vector<WriteOutcome> told;
    model.WatchWrites([&](const WriteOutcome& o) { told.push_back(o); });
    auto& high = model.Param<HighTemp>();
    const std::uint16_t other[] = {0x0123 << 1, 0x900F};
    const auto written = [&] {
        Store(0, LowBlock());
        const QString before = high.GetText();
        high.SetText(QStringLiteral("35,5"));
        const std::uint16_t words[] = {high.Reg0, high.Reg1};
        const QString sent = high.GetText();
        model.WriteRegisters(high, words);
        high.Invalidate();
        model.ReadBack(high, 2);
        return std::pair{before, sent};
    };
    const auto readBack = [&](std::span<const std::uint16_t> words) {
        Store(20, {words[0], words[1]});
        Request r = queued.back();
        r.ByteCount = 4;
        model.CheckReadBack(r);
    };
    const struct {
        const char* name;
        std::function<void(const Request& write)> end;
        int confirmed;
        bool afterIsSent;
        int exception;
    } cases[] = {
        {"confirmed",
         [&](const Request& w) {
             readBack(std::array<std::uint16_t, 2>{w.Values[0], w.Values[1]});
         },
         1, true, 0},
        {"shown otherwise", [&](const Request&) { readBack(other); }, 0, false, 0},
        {"refused", [&](const Request& w) { model.WriteRefused(w, 2); }, 0, false, 2},
        {"link lost", [&](const Request&) { model.InvalidateAll(); }, 0, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        told.clear();
        queued.clear();
        const auto [before, sent] = written();
        const Request write = queued[0];
        c.end(write);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0].kind, WriteOutcome::Kind::Register);
        EXPECT_EQ(told[0].parameter, &high);
        EXPECT_EQ(told[0].before, before);
        EXPECT_EQ(told[0].sent, sent);
        EXPECT_NE(told[0].before, told[0].sent);
        EXPECT_EQ(told[0].confirmed, c.confirmed);
        EXPECT_EQ(told[0].exceptionCode, c.exception);
        // Confirmed: the value sent; shown otherwise: the other value; else nothing came back.
        if (c.afterIsSent) {
            EXPECT_EQ(told[0].after, sent);
        } else if (std::string(c.name) == "shown otherwise") {
            EXPECT_FALSE(told[0].after.isEmpty());
            EXPECT_NE(told[0].after, sent);
        } else {
            EXPECT_TRUE(told[0].after.isEmpty());
        }
    }

    // Start and stop are confirmed by the echo; a reset is told as it is sent.
    told.clear();
    queued.clear();
    Store(0, LowBlock(0x0001));
    model.WriteRecordingBit(true);
    model.WriteConfirmed(queued.back());
    model.EnqueueResetCommand();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[0].kind, WriteOutcome::Kind::Start);
    EXPECT_EQ(told[0].confirmed, 1);
    EXPECT_EQ(told[1].kind, WriteOutcome::Kind::Reset);
    EXPECT_EQ(told[1].confirmed, -1);
}

}  // namespace
}  // namespace quorvex
