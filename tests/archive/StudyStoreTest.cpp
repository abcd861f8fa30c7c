// Mapping studies and calibration records kept in the archive, on both backends: what is saved
// reads back the same, every change is in the change log with what it was before, and a change
// that fails halfway leaves the study as it was.
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include <vector>

#include "ArchiveBackend.h"
#include "archive/ChangeLog.h"
#include "core/Measurement.h"

namespace quorvex::test {
namespace {

using Studies = ArchiveBackend;

StudyDefinition ColdRoom() {
    StudyDefinition s;
    s.name = QStringLiteral("Chłodnia 2 – lato");
    s.kind = QStringLiteral("loaded");
    s.from = ToMoment(QDate(2026, 7, 1), QTime(8, 0));
    s.to = ToMoment(QDate(2026, 7, 4), QTime(8, 0));
    s.stabiliseSeconds = 2 * 3600;
    s.criteria.temperatureLow = StudyLimit{2.0f, 0, RuleMeasure::SingleExcursion};
    s.criteria.temperatureHigh = StudyLimit{8.0f, 1800, RuleMeasure::TotalTime};
    s.criteria.maxSpread = 3.5f;
    s.criteria.judgeWithUncertainty = true;
    s.planPicture = QByteArray("\x89PNG\r\n\x1a\n-not-really", 20);
    s.positions = {{QStringLiteral("A1"),
                    QStringLiteral("by the door"),
                    QPointF(0.1, 0.25),
                    QStringLiteral("00012345"),
                    1'234'567'890,
                    {}},
                   {QStringLiteral("B2"), {}, std::nullopt, QStringLiteral("00012346"), std::nullopt, {}},
                   {QStringLiteral("C3"),
                    {},
                    QPointF(0.9, 0.5),
                    QStringLiteral("00012347"),
                    1'234'000'000,
                    QStringLiteral("c3.csv")}};
    return s;
}

TEST_P(Studies, AStudyAndACalibrationReadBackAsSavedAndEachChangeIsLoggedWithItsPast) {
    auto archive = Open();
    ASSERT_TRUE(archive);
    const ChangeEntry who = LocalChange(ChangeKind::Study, QStringLiteral("test"), {});
    StudyDefinition study = ColdRoom();
    ASSERT_TRUE(archive->SaveStudy(study, who)) << archive->LastError().In(QStringLiteral("Angielski")).toStdString();
    std::optional<StudyDefinition> read;
    ASSERT_TRUE(archive->LoadStudy(study.name, read));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, study);

    study.positions.removeAt(1);
    study.criteria.maxSpread.reset();
    study.kind = QStringLiteral("empty");
    ASSERT_TRUE(archive->SaveStudy(study, who));
    ASSERT_TRUE(archive->LoadStudy(study.name, read));
    EXPECT_EQ(*read, study);
    ASSERT_TRUE(archive->LoadStudy(QStringLiteral("nothing"), read));
    EXPECT_FALSE(read);
    EXPECT_EQ(archive->StudyNames().value_or(QStringList()), QStringList{study.name});

    Calibration c{QStringLiteral("00012345"),
                  QStringLiteral("PCA-17/2026"),
                  QDate(2026, 1, 10),
                  QDate(2027, 1, 10),
                  0.3f,
                  -1.5f,
                  0.2f,
                  1.8f};
    ASSERT_TRUE(archive->SaveCalibration(c, who));
    c.certificate = QStringLiteral("PCA-18/2026");
    c.temperatureOffset = -0.1f;
    ASSERT_TRUE(archive->SaveCalibration(c, who));
    const auto calibrations = archive->Calibrations();
    ASSERT_TRUE(calibrations);
    ASSERT_EQ(calibrations->size(), 1);
    EXPECT_EQ(calibrations->first(), c);

    const auto changes = archive->Changes();
    ASSERT_TRUE(changes);
    ASSERT_EQ(changes->size(), 4);
    EXPECT_EQ(changes->at(0).kind, ChangeKind::Study);
    EXPECT_TRUE(changes->at(0).before.isEmpty());
    EXPECT_EQ(changes->at(1).before, changes->at(0).after);
    EXPECT_TRUE(changes->at(1).after.contains(QStringLiteral("\"empty\"")));
    EXPECT_EQ(changes->at(3).kind, ChangeKind::Calibration);
    EXPECT_EQ(changes->at(3).serial, c.serial);
    EXPECT_TRUE(changes->at(3).before.contains(QStringLiteral("PCA-17/2026")));
    const auto check = archive->CheckChanges();
    ASSERT_TRUE(check);
    EXPECT_TRUE(check->Intact());
}

TEST_P(Studies, AChangeThatFailsHalfwayLeavesTheStudyAsItWas) {
    auto archive = Open();
    ASSERT_TRUE(archive);
    const ChangeEntry who = LocalChange(ChangeKind::Study, QStringLiteral("test"), {});
    const StudyDefinition first = ColdRoom();
    ASSERT_TRUE(archive->SaveStudy(first, who));
    {
        // From now on no two positions of any study may share a label: the second study's
        // positions are refused after its row and the first's positions were touched.
        QSqlDatabase raw = Raw(QStringLiteral("raw"));
        ASSERT_TRUE(QSqlQuery(raw).exec(QStringLiteral("CREATE UNIQUE INDEX one_label ON study_position (label)")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    StudyDefinition changed = first;
    changed.kind = QStringLiteral("door open");
    changed.positions.append(changed.positions.first());
    EXPECT_FALSE(archive->SaveStudy(changed, who));
    StudyDefinition other = ColdRoom();
    other.name = QStringLiteral("Other");
    EXPECT_FALSE(archive->SaveStudy(other, who));

    std::optional<StudyDefinition> read;
    ASSERT_TRUE(archive->LoadStudy(first.name, read));
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, first);
    EXPECT_EQ(archive->StudyNames().value_or(QStringList()), QStringList{first.name});
    EXPECT_EQ(archive->Changes().value_or(QList<ChangeEntry>()).size(), 1);
}

// A logger's log in the archive as a download brings it: `count` records `interval` seconds apart
// from `start`, each of `celsius`.
void Downloaded(Archive& archive, const QString& serial, const QString& type, const QDateTime& start, int interval,
                int count, float celsius) {
    const ArchiveLogKey key{serial, MomentSeconds(ToMoment(start.date(), start.time())), interval};
    ArchiveDownloadFacts facts = LocalDownloadFacts(QStringLiteral("test"), QStringLiteral("/dev/null"));
    facts.loggerType = type;
    facts.announced = count;
    const auto download = archive.BeginDownload(key, facts);
    ASSERT_TRUE(download);
    const std::vector<std::uint32_t> raw(static_cast<std::size_t>(count), sim::PackMeasurement(celsius, 55.0));
    ASSERT_TRUE(archive.AddRecords(*download, 1, raw));
    ASSERT_TRUE(archive.EndDownload(*download, ArchiveOutcome::Complete));
}

TEST_P(Studies, TheCommandLinePlansAStudyRecordsCalibrationAndJudgesItByTime) {
    {
        auto archive = Open();
        ASSERT_TRUE(archive);
        // A: every minute from 8:00 at 5.0 °C; B: every five minutes from 8:00:30 at 6.0 °C.
        const QDateTime eight(QDate(2026, 7, 1), QTime(8, 0));
        Downloaded(*archive, QStringLiteral("S1"), QStringLiteral("0101"), eight, 60, 181, 5.0f);
        Downloaded(*archive, QStringLiteral("S2"), QStringLiteral("0201"), eight.addSecs(30), 300, 37, 6.0f);
    }
    auto cli = [&](const QStringList& args) { return RunCli(dir, args, where); };
    const QStringList period{QStringLiteral("--from"),      QStringLiteral("2026-07-01 08:00:00"),
                             QStringLiteral("--to"),        QStringLiteral("2026-07-01 11:00:00"),
                             QStringLiteral("--stabilise"), QStringLiteral("30m")};
    for (const auto& [name, range] : {std::pair{"Room", "2:8"}, std::pair{"Tight", "2:6"}})
        ASSERT_EQ(cli(QStringList{QStringLiteral("study"), QStringLiteral("create"), QLatin1String(name)}
                      << period << QStringLiteral("--temperature") << QLatin1String(range)
                      << QStringLiteral("--max-spread") << QStringLiteral("3"))
                      .code,
                  0);
    for (const char* study : {"Room", "Tight"})
        for (const auto& [label, serial] : {std::pair{"A", "S1"}, std::pair{"B", "S2"}}) {
            const CliRun added =
                cli({QStringLiteral("study"), QStringLiteral("add"), QLatin1String(study), QStringLiteral("--position"),
                     QLatin1String(label), QStringLiteral("--serial"), QLatin1String(serial)});
            ASSERT_EQ(added.code, 0) << added.err.toStdString();
        }
    ASSERT_EQ(cli({QStringLiteral("calibration"), QStringLiteral("set"), QStringLiteral("--serial"),
                   QStringLiteral("S2"), QStringLiteral("--date"), QStringLiteral("2026-01-05"),
                   QStringLiteral("--due"), QStringLiteral("2027-01-05"), QStringLiteral("--temperature-offset"),
                   QStringLiteral("0,5"), QStringLiteral("--temperature-uncertainty"), QStringLiteral("0.2")})
                  .code,
              0);

    const CliRun room =
        cli({QStringLiteral("study"), QStringLiteral("evaluate"), QStringLiteral("Room"), QStringLiteral("--json")});
    ASSERT_EQ(room.code, 0) << room.err.toStdString() << room.out.toStdString();
    const QJsonObject r = QJsonDocument::fromJson(room.out.toUtf8()).object();
    EXPECT_EQ(r.value(QStringLiteral("verdict")).toString(), QStringLiteral("pass"));
    EXPECT_EQ(r.value(QStringLiteral("stabilise_s")).toInt(), 1800);
    EXPECT_EQ(r.value(QStringLiteral("hot_spot")).toString(), QStringLiteral("B"));
    EXPECT_EQ(r.value(QStringLiteral("cold_spot")).toString(), QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(r.value(QStringLiteral("spread_max_C")).toObject().value(QStringLiteral("value")).toDouble(), 1.5);
    const QJsonArray positions = r.value(QStringLiteral("positions")).toArray();
    ASSERT_EQ(positions.size(), 2);
    const QJsonObject a = positions.at(0).toObject(), b = positions.at(1).toObject();
    EXPECT_EQ(a.value(QStringLiteral("records")).toInt(), 151);  // 8:30 … 11:00
    EXPECT_EQ(a.value(QStringLiteral("calibration")).toString(), QStringLiteral("none"));
    EXPECT_FALSE(a.contains(QStringLiteral("mean_pct")));
    EXPECT_DOUBLE_EQ(b.value(QStringLiteral("mean_C")).toDouble(), 6.5);
    EXPECT_DOUBLE_EQ(b.value(QStringLiteral("mean_pct")).toDouble(), 55.0);
    EXPECT_EQ(b.value(QStringLiteral("calibration")).toString(), QStringLiteral("applied"));
    EXPECT_DOUBLE_EQ(b.value(QStringLiteral("coverage")).toDouble(), 1.0);

    const CliRun tight = cli({QStringLiteral("study"), QStringLiteral("evaluate"), QStringLiteral("Tight")});
    EXPECT_EQ(tight.code, 6) << tight.err.toStdString();
    EXPECT_TRUE(tight.out.contains(QStringLiteral("verdict: FAIL"))) << tight.out.toStdString();
    const CliRun listed = cli({QStringLiteral("study"), QStringLiteral("list"), QStringLiteral("--json")});
    EXPECT_EQ(QJsonDocument::fromJson(listed.out.toUtf8()).object().value(QStringLiteral("studies")).toArray().size(),
              2);

    // Each refusal says why, with the exit code of bad input, and changes nothing.
    const struct {
        QStringList args;
        const char* said;
    } refusals[] = {
        {{QStringLiteral("study"), QStringLiteral("add"), QStringLiteral("Room"), QStringLiteral("--position"),
          QStringLiteral("A"), QStringLiteral("--serial"), QStringLiteral("S3")},
         "used twice"},
        {{QStringLiteral("study"), QStringLiteral("add"), QStringLiteral("Room"), QStringLiteral("--position"),
          QStringLiteral("C"), QStringLiteral("--serial"), QStringLiteral("S2")},
         "two positions"},
        {{QStringLiteral("study"), QStringLiteral("create"), QStringLiteral("Back"), QStringLiteral("--from"),
          QStringLiteral("2026-07-02"), QStringLiteral("--to"), QStringLiteral("2026-07-01")},
         "ends before"},
        {{QStringLiteral("study"), QStringLiteral("evaluate"), QStringLiteral("Nothing")}, "Nothing"},
        {{QStringLiteral("calibration"), QStringLiteral("set"), QStringLiteral("--serial"), QStringLiteral("S1"),
          QStringLiteral("--date"), QStringLiteral("2026-01-05"), QStringLiteral("--due"), QStringLiteral("2027-01-05"),
          QStringLiteral("--temperature-offset"), QStringLiteral("6")},
         "5 °C"},
    };
    for (const auto& refusal : refusals) {
        const CliRun run = cli(refusal.args);
        EXPECT_EQ(run.code, 1) << refusal.said;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(refusal.said))) << run.err.toStdString();
    }
    auto archive = Open();
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->Changes().value_or(QList<ChangeEntry>()).size(),
              2 + 4 + 1 + 2);  // downloads, studies, one calibration
}

INSTANTIATE_TEST_SUITE_P(Backends, Studies, ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

}  // namespace
}  // namespace quorvex::test
