// The results tab without a transmission thread: the download controller's
// view over the real widgets, the save handler with its seam, the chart and
// the parameter dialogs reached from the main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <deque>
#include <optional>

#include "../chart/ChartTestUtil.h"
#include "../print/PrintTestSupport.h"
#include "LocaleGuard.h"
#include "UiTestSupport.h"
#include "chart/ChartWindow.h"
#include "chart/PaintBox.h"
#include "logs/LogDownload.h"
#include "modbus/FrameRules.h"
#include "params/LoggerChannel.h"
#include "print/ObjectNames.h"
#include "print/PrintDialog.h"
#include "sign/SignatureCheck.h"
#include "sign/SigningKey.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTab.h"
#include "ui/ResultsTabView.h"
#include "ui/dialogs/ClockDialog.h"
#include "ui/dialogs/LoggerNameDialog.h"
#include "ui/dialogs/ObjectNames.h"
#include "ui/dialogs/StartDialog.h"
#include "ui/dialogs/TrustedKeysDialog.h"

namespace quorvex::test {
namespace {

Scenario MakeScenario(int records, const char* type) {
    std::string error;
    auto s = Scenario::Parse(std::string("[logger]\nname = Hall: A/B\ntype = ") + type +
                                 "\nserial = 0019A7F3\nmode = 1\nrecording = 0\ninterval = 300\n"
                                 "temp_high = 30.0\ntemp_low = 10.0\n"
                                 "clock = 2015-03-30 12:00:00\nstart = 2015-03-01 08:30:00\n"
                                 "[records]\ncount = " +
                                 std::to_string(records) + "\nseed = 7\n",
                             &error);
    if (!s) throw std::runtime_error(error);
    return *s;
}

// A main window whose download requests run against the in-process logger,
// replies handed to the controller as the window's LogReadDone/EndOfLog handlers do.
class ResultsTab : public ::testing::Test {
protected:
    ResultsTab() { ConnectQueue(); }
    // The window's model hands its requests to `queue` instead of a thread.
    void ConnectQueue() {
        LoggerChannel channel;
        channel.enqueue = [this](const Request& r) { queue.push_back(r); };
        w.model.Connect(std::move(channel));
    }

    void Connect(int records, const char* type = "0201") {
        logger = std::make_unique<SimLogger>(MakeScenario(records, type), [] { return std::int64_t{0}; });
        w.Poll(*logger);
        ASSERT_TRUE(w.form->ParamsReady());
    }
    // Runs up to `limit` queued requests.
    void Run(int limit = 1 << 30) {
        while (!queue.empty() && limit-- > 0) {
            Request r = queue.front();
            queue.pop_front();
            const sim::SimReply reply = logger->Handle(EncodeRequest(r).bytes);
            const auto check = CheckReply(r, reply.bytes.data(), reply.bytes.size());
            if (check == ReplyCheck::RefusedLogRead) {
                Logs().ReadFinished();
                continue;
            }
            ASSERT_EQ(check, ReplyCheck::Accepted);
            ApplyReply(r, reply.bytes.data(), reply.bytes.size());
            if (r.Tag == TAG_LOG) Logs().AppendLogBlock(r.Data, r.ByteCount);
        }
    }
    QPushButton* Button(const char* name) { return w.Find<QPushButton>(name); }
    QStringList StatusLines() {
        QStringList out;
        auto* list = w.Find<QListWidget>(objname::kDownloadStatusList);
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    QString Cell(int row, int column) {
        auto* m = w.Find<QTableView>(objname::kResultsTable)->model();
        return m->data(m->index(row, column)).toString();
    }

    LocaleGuard locale{"pl_PL"};
    WindowFixture w;
    std::unique_ptr<SimLogger> logger;
    std::deque<Request> queue;
    std::vector<ScriptedPrompts::Box>& boxes = w.prompts.boxes;  // what the operator was shown
    // The results tab's own functions.
    quorvex::ResultsTab& Tab() { return w.form->ResultsPage(); }
    LogDownload& Logs() { return Tab().Download(); }
    QAction* Item(const char* name) { return w.Find<QAction>(name); }
    QMenu* Recent() { return w.Find<QMenu>(objname::kRecentMenu); }
};

TEST_F(ResultsTab, DownloadFillsTheTabAndFollowsTheLanguage) {
    EXPECT_FALSE(Button(objname::kStartReadButton)->isEnabled());  // parameters not read yet
    Connect(250);
    EXPECT_TRUE(Button(objname::kStartReadButton)->isEnabled());
    EXPECT_FALSE(Button(objname::kRetryReadButton)->isEnabled());
    EXPECT_FALSE(Button(objname::kChartButton)->isEnabled());

    Button(objname::kStartReadButton)->click();
    Run(1 + 2);  // the set-next-record write and two blocks
    EXPECT_EQ(StatusLines(), QStringList({QStringLiteral("Odczyt danych z loggera"), QStringLiteral(" "),
                                          QStringLiteral("Pobrano 124/250 logów")}));
    auto* bar = w.Find<QProgressBar>(objname::kDownloadProgress);
    EXPECT_EQ(bar->maximum(), 250);
    EXPECT_EQ(bar->value(), 124);
    EXPECT_EQ(w.Find<QTableView>(objname::kResultsTable)->model()->rowCount(), 124);
    EXPECT_EQ(Cell(123, 0), QStringLiteral("124"));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("1.03.2015"));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("08:35:00"));
    EXPECT_TRUE(Button(objname::kStopReadButton)->isEnabled());
    EXPECT_TRUE(Button(objname::kChartButton)->isEnabled());
    EXPECT_FALSE(Button(objname::kSaveResultsButton)->isEnabled());
    auto* info = w.Find<QTreeWidget>(objname::kLoggerList);
    ASSERT_EQ(info->topLevelItemCount(), 4);
    EXPECT_EQ(info->topLevelItem(0)->text(0), QStringLiteral("Nazwa:"));
    EXPECT_EQ(info->topLevelItem(0)->text(1), QStringLiteral("Hall: A/B"));

    Run();
    EXPECT_EQ(Logs().GetState(), LogDownload::Finished);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Odczyt danych zakończony"));
    EXPECT_EQ(boxes[0].icon, LogDownloadView::BoxIcon::Information);
    for (const char* b :
         {objname::kStartReadButton, objname::kChartButton, objname::kPrintTableButton, objname::kSaveResultsButton})
        EXPECT_TRUE(Button(b)->isEnabled()) << b;
    // Complete: nothing to resume.
    EXPECT_FALSE(Button(objname::kRetryReadButton)->isEnabled());
    EXPECT_FALSE(Button(objname::kStopReadButton)->isEnabled());

    w.form->ApplyLanguage(kLanguageEnglish);
    EXPECT_EQ(StatusLines(), QStringList({QStringLiteral("Reading data complete"), QString(),
                                          QStringLiteral("Downloaded 250 records")}));
    EXPECT_EQ(info->topLevelItem(0)->text(0), QStringLiteral("Name:"));
    auto* table = w.Find<QTableView>(objname::kResultsTable);
    EXPECT_EQ(table->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Date"));
    EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("No."));
    EXPECT_EQ(Button(objname::kSaveResultsButton)->text(), QStringLiteral("Save results to file"));
    EXPECT_EQ(table->model()->rowCount(), 250);  // renaming the captions keeps the rows

    // A lost link in state 4 only disables starting and resuming.
    w.form->ChooseLink(QStringLiteral("USB"));
    EXPECT_FALSE(Button(objname::kStartReadButton)->isEnabled());
    EXPECT_FALSE(Button(objname::kRetryReadButton)->isEnabled());
    EXPECT_TRUE(Button(objname::kSaveResultsButton)->isEnabled());
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(ResultsTab, StopShowsAnErrorBoxThatDoesNotHoldTheWindow) {
    Connect(500);
    // A fresh window with Qt's own box: opened, not executed, so the click returns.
    w.Close();
    w.qtPrompts = true;
    w.Open();
    ConnectQueue();  // the old window disconnected it
    w.Poll(*logger);
    Button(objname::kStartReadButton)->click();
    Run(1 + 1);
    Button(objname::kStopReadButton)->click();
    QMessageBox* box = w.form->findChild<QMessageBox*>(QString::fromLatin1(objname::kResultsMessageBox));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), QStringLiteral("Nie odczytano wszystkich danych"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Odczyt przerwany"));
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    box->accept();
    EXPECT_EQ(Logs().GetState(), LogDownload::Aborted);
}

TEST_F(ResultsTab, UnknownCountKeepsTheBarDeterminate) {
    ResultsTabView& view = Tab().View();
    auto* bar = w.Find<QProgressBar>(objname::kDownloadProgress);
    view.SetProgressMaximum(0);
    view.SetProgressPosition(40);
    EXPECT_GT(bar->maximum(), bar->minimum());  // 0…0 would be a busy bar
    EXPECT_EQ(bar->value(), 0);
    view.SetProgressMaximum(100);
    EXPECT_EQ(bar->value(), 40);
    view.SetProgressPosition(150);  // the logger recorded more meanwhile
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(ResultsTab, SaveWritesTheFileRemembersTheFolderAndKeepsRecordsOnFailure) {
    Connect(250, "0101");
    Button(objname::kStartReadButton)->click();
    Run();
    ASSERT_TRUE(Button(objname::kSaveResultsButton)->isEnabled());
    boxes.clear();  // the end-of-log box

    QTemporaryDir out;
    auto& asked = w.prompts.asked;
    QString answer = out.filePath(QStringLiteral("wyniki.txt"));
    w.prompts.savePaths = {answer};
    Button(objname::kSaveResultsButton)->click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].kind, QStringLiteral("save"));
    EXPECT_EQ(asked[0].folder, QString());
    EXPECT_EQ(asked[0].proposed, QStringLiteral("Hall_ A_B 1.03.2015 08_30_00.txt"));
    EXPECT_TRUE(boxes.empty());
    QFile f(answer);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_EQ(lines.size(), 257 + 1);  // the last line's CR LF leaves an empty tail
    EXPECT_EQ(lines[0], QByteArray("Nazwa\tHall: A/B\r"));
    // The first record line says what the table's first row says.
    const QString first = QStringLiteral("1\t%1 %2\t%3\t\r")
                              .arg(Cell(0, 1), Cell(0, 2), QLocale().toString(w.results[0].temperature, 'f', 1));
    EXPECT_EQ(QString::fromUtf8(lines[7]), first);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("1.03.2015"));
    EXPECT_TRUE(lines[256].startsWith("250\t")) << lines[256].constData();
    EXPECT_TRUE(lines[256].endsWith("\t\r"));  // no humidity for a temperature-only logger
    auto* note = w.Find<QLabel>(objname::kNotePanel);
    EXPECT_EQ(note->text(), QStringLiteral("Wyniki zapisano w pliku ") + answer);

    // The folder comes back next time.
    asked.clear();
    Button(objname::kSaveResultsButton)->click();  // cancelled
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].folder, QDir(out.path()).absolutePath());

    // A folder that does not exist: a box naming the path, nothing lost.
    answer = out.filePath(QStringLiteral("brak/wyniki.txt"));
    w.prompts.savePaths = {answer};
    Button(objname::kSaveResultsButton)->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, LogDownloadView::BoxIcon::Error);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Błąd"));
    EXPECT_TRUE(boxes[0].text.contains(answer)) << boxes[0].text.toStdString();
    EXPECT_EQ(w.results.Count(), 250);
    EXPECT_TRUE(Button(objname::kSaveResultsButton)->isEnabled());
    EXPECT_FALSE(note->text().contains(QStringLiteral("brak"))) << "a failed save is no success";
    asked.clear();
    Button(objname::kSaveResultsButton)->click();  // cancelled
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].folder, QDir(out.path()).absolutePath());  // the failed folder is not remembered
}

TEST_F(ResultsTab, SavedResultsOpenAgainOnlyWhenTheWholeFileIsGood) {
    Connect(250, "0201");
    Button(objname::kStartReadButton)->click();
    Run();
    auto* summary = w.Find<QTreeWidget>(objname::kSummaryList);
    auto summaryValue = [&](const QString& caption) {
        for (int i = 0; i < summary->topLevelItemCount(); ++i)
            if (summary->topLevelItem(i)->text(0).startsWith(caption)) return summary->topLevelItem(i)->text(1);
        return QStringLiteral("(none)");
    };
    EXPECT_EQ(summaryValue(QStringLiteral("Liczba rekordów")), QStringLiteral("250"));
    EXPECT_NE(summaryValue(QStringLiteral("Czas powyżej progu górnego (30,0°C)")), QStringLiteral("(none)"));

    // Saved as TXT, then as CSV chosen by its extension.
    QTemporaryDir out;
    QString answer = out.filePath(QStringLiteral("wyniki.CSV"));
    w.prompts.savePaths = {out.filePath(QStringLiteral("wyniki.txt")), answer};
    Button(objname::kSaveResultsButton)->click();
    Button(objname::kSaveResultsButton)->click();
    QFile csv(answer);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readLine().startsWith("record,time,temperature_C,humidity_pct\r\n"));
    const QString firstTime = Cell(0, 2);
    const float firstTemperature = w.results[0].temperature;
    boxes.clear();

    // A broken file: a box names it and its line; nothing shown changes.
    const QString broken = out.filePath(QStringLiteral("zepsuty.txt"));
    QFile::copy(out.filePath(QStringLiteral("wyniki.txt")), broken);
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("251\tjutro\t1,0\t2,0\r\n");
    }
    const QStringList statusBefore = StatusLines();
    EXPECT_FALSE(Tab().OpenResultsFile(broken));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(broken)) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("Wiersz 258"))) << boxes[0].text.toStdString();
    EXPECT_EQ(w.results.Count(), 250);
    EXPECT_TRUE(w.results.sourceFile.isEmpty());
    EXPECT_EQ(w.Find<QTableView>(objname::kResultsTable)->model()->rowCount(), 250);
    EXPECT_EQ(StatusLines(), statusBefore);
    EXPECT_FALSE(Button(objname::kRetryReadButton)->isEnabled());  // the download was complete

    // Ctrl+O: the text file comes back as after the download, with its logger
    // facts; it says where it comes from, and it cannot be resumed.
    w.prompts.openPaths = {out.filePath(QStringLiteral("wyniki.txt"))};
    Item(objname::kOpenResultsItem)->trigger();
    EXPECT_EQ(w.prompts.asked.back().kind, QStringLiteral("open"));
    EXPECT_EQ(Item(objname::kOpenResultsItem)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(StatusLines(), QStringList({QStringLiteral("Wyniki z pliku"), QStringLiteral("wyniki.txt"),
                                          QStringLiteral("Wczytano 250 logów")}));
    EXPECT_EQ(w.Find<QTableView>(objname::kResultsTable)->model()->rowCount(), 250);
    EXPECT_EQ(Cell(0, 2), firstTime);
    EXPECT_EQ(w.results[0].temperature, firstTemperature);
    auto* info = w.Find<QTreeWidget>(objname::kLoggerList);
    EXPECT_EQ(info->topLevelItem(0)->text(1), QStringLiteral("Hall: A/B"));
    EXPECT_EQ(info->topLevelItem(1)->text(1), QStringLiteral("0201"));
    EXPECT_EQ(info->topLevelItem(2)->text(1), QStringLiteral("0019A7F3"));
    EXPECT_EQ(info->topLevelItem(3)->text(1), QStringLiteral("0d  00h:05m:00s"));
    EXPECT_FALSE(Button(objname::kRetryReadButton)->isEnabled());
    for (const char* b :
         {objname::kStartReadButton, objname::kChartButton, objname::kPrintTableButton, objname::kSaveResultsButton})
        EXPECT_TRUE(Button(b)->isEnabled()) << b;
    EXPECT_EQ(summaryValue(QStringLiteral("Liczba rekordów")), QStringLiteral("250"));
    EXPECT_EQ(summaryValue(QStringLiteral("Czas powyżej")), QStringLiteral("(none)"));  // no thresholds in a file

    // Saving it again gives the same file.
    answer = out.filePath(QStringLiteral("znowu.txt"));
    w.prompts.savePaths = {answer};
    Button(objname::kSaveResultsButton)->click();
    EXPECT_EQ(w.prompts.asked.back().proposed, QStringLiteral("Hall_ A_B 1.03.2015 08_30_00.txt"));
    QFile first(out.filePath(QStringLiteral("wyniki.txt"))), again(answer);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && again.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), again.readAll());

    // A download started now replaces the opened results as usual.
    Button(objname::kStartReadButton)->click();
    Run();
    EXPECT_EQ(Logs().GetState(), LogDownload::Finished);
    EXPECT_TRUE(w.results.sourceFile.isEmpty());
    EXPECT_EQ(w.results.Count(), 250);
}

TEST_F(ResultsTab, OpenedFilesSayWhetherTheirSignatureHolds) {
    // The window's keys in a folder of this test's own.
    QTemporaryDir out;
    w.Close();
    w.keyFolder = out.filePath(QStringLiteral("config"));
    w.Open();
    ConnectQueue();
    Connect(20, "0201");
    Button(objname::kStartReadButton)->click();
    Run();
    boxes.clear();
    const QString file = out.filePath(QStringLiteral("wyniki.txt"));
    w.prompts.savePaths = {file, file};  // saved now, and again at the end
    Button(objname::kSaveResultsButton)->click();
    ASSERT_TRUE(boxes.empty()) << boxes[0].text.toStdString();
    const auto key = LoadOrCreateSigningKey(w.keyFolder);
    ASSERT_TRUE(key.key);
    const QString id = KeyIdText(key.key->publicKey.id);
    const QString stranger = out.filePath(QStringLiteral("stranger"));

    auto* info = w.Find<QTreeWidget>(objname::kLoggerList);
    auto* summary = w.Find<QTreeWidget>(objname::kSummaryList);
    const auto lastRow = [](QTreeWidget* list) {
        QTreeWidgetItem* item = list->topLevelItem(list->topLevelItemCount() - 1);
        return item ? item->text(0) + u'=' + item->text(1) : QString();
    };
    const struct {
        const char* name;
        std::function<void()> before;
        QString says;
        bool box;
    } cases[] = {
        {"as saved", [] {}, QStringLiteral("podpisany, ważny (klucz %1)").arg(id), false},
        {"signed elsewhere", [&] { FileSigner(QStringLiteral("Quorvex"), stranger).Sign(file, {}); },
         QStringLiteral("podpisany, ważny, klucz niezaufany ("), false},
        {"changed",
         [&] {
             QFile f(file);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             const QByteArray bytes = f.readAll().replace("Hall: A/B", "Hall: A/C");
             f.seek(0);
             f.write(bytes);
         },
         QStringLiteral("ZMIENIONY po podpisaniu (treść pliku różni się od podpisanej)"), true},
        {"not signed", [&] { QFile::remove(file + kSignatureSuffix); }, QStringLiteral("niepodpisany"), false},
    };
    for (const auto& c : cases) {
        c.before();
        boxes.clear();
        ASSERT_TRUE(Tab().OpenResultsFile(file)) << c.name;
        EXPECT_TRUE(lastRow(info).startsWith(QStringLiteral("Podpis:=") + c.says)) << lastRow(info).toStdString();
        EXPECT_TRUE(lastRow(summary).startsWith(QStringLiteral("Podpis=") + c.says)) << lastRow(summary).toStdString();
        ASSERT_EQ(boxes.size(), c.box ? 1u : 0u) << c.name;
        if (c.box) {
            EXPECT_EQ(boxes[0].icon, LogDownloadView::BoxIcon::Error);
        }
    }
    // In the language chosen, too.
    w.form->ApplyLanguage(kLanguageEnglish);
    EXPECT_EQ(lastRow(info), QStringLiteral("Signature:=not signed"));

    // Signed elsewhere, then that key imported under Settings: trusted from then on.
    FileSigner(QStringLiteral("Quorvex"), stranger).Sign(file, {});
    Item(objname::kTrustedKeysItem)->trigger();
    auto* dialog = w.Find<TrustedKeysDialog>(objname::kTrustedKeysDialog);
    ASSERT_NE(dialog, nullptr);
    auto* keys = dialog->findChild<QTreeWidget*>(QString::fromLatin1(objname::kTrustedKeysList));
    ASSERT_EQ(keys->topLevelItemCount(), 1);  // the own key alone
    // Asked first, naming the key; declined, nothing is trusted.
    QStringList asked;
    bool trust = false;
    dialog->ConfirmImport = [&](const QString& text) {
        asked << text;
        return trust;
    };
    const QString strangerKey = stranger + QStringLiteral("/quorvex.pub");
    EXPECT_FALSE(dialog->Import(strangerKey));
    EXPECT_EQ(keys->topLevelItemCount(), 1);
    trust = true;
    ASSERT_TRUE(dialog->Import(strangerKey));
    EXPECT_EQ(keys->topLevelItemCount(), 2);
    QFile pub(strangerKey);
    ASSERT_TRUE(pub.open(QIODevice::ReadOnly));
    const auto strangerId = ParsePublicKey(pub.readAll());
    ASSERT_TRUE(strangerId);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].contains(KeyIdText(strangerId->id))) << asked[0].toStdString();
    ASSERT_TRUE(Tab().OpenResultsFile(file));
    EXPECT_TRUE(lastRow(info).startsWith(QStringLiteral("Signature:=signed, valid (key")))
        << lastRow(info).toStdString();
    keys->setCurrentItem(keys->topLevelItem(1));
    dialog->RemoveChosen();
    EXPECT_EQ(keys->topLevelItemCount(), 1);
    dialog->close();
    w.form->ApplyLanguage(kLanguagePolish);

    // A key others may read signs nothing: the file is saved all the same, and a box says why.
    QFile::setPermissions(key.secretPath, QFile::permissions(key.secretPath) | QFile::ReadOther);
    boxes.clear();
    Button(objname::kSaveResultsButton)->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, LogDownloadView::BoxIcon::Warning);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("Plik zapisano bez podpisu"))) << boxes[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(file + kSignatureSuffix));
    EXPECT_TRUE(w.Find<QLabel>(objname::kNotePanel)->text().contains(QStringLiteral("wyniki.txt")));
}

TEST_F(ResultsTab, AFileNamedOnTheCommandLineOpensWithTheWindow) {
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("start.csv"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("record,time,temperature_C\r\n1,2026-12-06T15:15:21+01:00,4.5\r\n2,2026-12-06T15:30:21+01:00,5.5\r\n");
    f.close();
    w.Close();
    w.resultsFile = path;
    w.Open();
    EXPECT_EQ(w.results.Count(), 2);
    EXPECT_EQ(w.results.writeInterval, QStringLiteral("0d  00h:15m:00s"));
    EXPECT_EQ(StatusLines().value(1), QStringLiteral("start.csv"));
    EXPECT_EQ(Cell(1, 3), QStringLiteral("5,5°C"));
    EXPECT_TRUE(Button(objname::kChartButton)->isEnabled());
    EXPECT_EQ(w.form->Tabs()->currentWidget(), &Tab());
}

TEST_F(ResultsTab, OpenedFilesShowTheResultsTabAndAreOfferedAgainMostRecentFirst) {
    QTemporaryDir out;
    QStringList files;
    for (int i = 0; i < 7; ++i) {
        files << out.filePath(QStringLiteral("wyniki & %1.csv").arg(i));
        QFile f(files.last());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("record,time,temperature_C\r\n1,2026-12-06T15:15:21+01:00,%1.5\r\n").arg(i).toUtf8());
    }
    auto listed = [&] {
        QStringList paths;
        for (QAction* a : Recent()->actions()) paths << a->data().toString();
        return paths;
    };
    // None yet: the menu says so, in the language shown.
    ASSERT_EQ(Recent()->actions().size(), 1);
    EXPECT_FALSE(Recent()->actions()[0]->isEnabled());
    w.form->ApplyLanguage(kLanguageEnglish);
    EXPECT_EQ(Recent()->actions()[0]->text(), QStringLiteral("No recent files"));
    EXPECT_EQ(Recent()->title(), QStringLiteral("Recent files"));
    w.form->ApplyLanguage(kLanguagePolish);

    for (const QString& file : files) {
        w.form->Tabs()->setCurrentIndex(0);
        ASSERT_TRUE(Tab().OpenResultsFile(file));
        EXPECT_EQ(w.form->Tabs()->currentWidget(), &Tab());
    }
    EXPECT_EQ(listed(), QStringList({files[6], files[5], files[4], files[3], files[2]}));
    EXPECT_TRUE(Recent()->actions()[0]->text().contains(QStringLiteral("wyniki && 6.csv")));
    Recent()->actions()[3]->trigger();
    EXPECT_EQ(w.results[0].temperature, 3.5f);
    EXPECT_EQ(listed(), QStringList({files[3], files[6], files[5], files[4], files[2]}));

    // Kept for the next run; a file gone meanwhile leaves when the File menu opens.
    QFile::remove(files[5]);
    w.Close();
    w.Open();
    EXPECT_EQ(Tab().RecentResultsFiles(), QStringList({files[3], files[6], files[5], files[4], files[2]}));
    emit w.Find<QMenu>(objname::kFileMenu)->aboutToShow();
    EXPECT_EQ(listed(), QStringList({files[3], files[6], files[4], files[2]}));
    // One removed while the menu is open: picking it says so and drops it.
    QFile::remove(files[4]);
    boxes.clear();
    Recent()->actions()[2]->trigger();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(files[4])) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("Usunięto go z listy"))) << boxes[0].text.toStdString();
    EXPECT_EQ(listed(), QStringList({files[3], files[6], files[2]}));
}

TEST_F(ResultsTab, ChartWindowShowsTheRecordsAndTheLoggersThresholds) {
    auto* chart = qobject_cast<ChartWindow*>(w.form->Windows().chartWindow);
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isWindow());
    Connect(500, "0101");
    Button(objname::kStartReadButton)->click();
    Run(1 + 2);
    Button(objname::kChartButton)->click();
    EXPECT_TRUE(chart->isVisible());
    EXPECT_FLOAT_EQ(chart->ThresholdsBlock()->highTemp, 30.0f);
    EXPECT_FLOAT_EQ(chart->ThresholdsBlock()->lowTemp, 10.0f);
    EXPECT_FALSE(chart->humSeriesButton->isEnabled());

    // A new download empties the open chart at once, before any block arrives.
    Run();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();  // the window comes up
    chart->chartBox->repaint();
    ASSERT_GT(chart->SampleCount(), 0);
    ASSERT_GT(charttest::CountColour(chart->ChartBitmap(), Chart::kTempColour), 0);
    Button(objname::kStartReadButton)->click();
    for (int i = 0; i < 3; ++i) QApplication::processEvents();  // no paint is forced here
    EXPECT_EQ(chart->SampleCount(), 0);
    EXPECT_EQ(charttest::CountColour(chart->ChartBitmap(), Chart::kTempColour), 0);
    chart->hide();
}

TEST_F(ResultsTab, PrintButtonPrintsTheDownloadedTableOnAnUprightPageAndKeepsTheTurnChosenForTables) {
    Connect(300, "0201");
    Button(objname::kStartReadButton)->click();
    Run();
    ASSERT_TRUE(Button(objname::kPrintTableButton)->isEnabled());
    auto* print = qobject_cast<PrintDialog*>(w.form->Windows().printDialog);
    ASSERT_NE(print, nullptr);
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("tabela.pdf"));
    print->printerNames = [] { return QStringList(); };  // only the PDF file
    print->askPdfPath = [&](QWidget*, const QString&) { return pdf; };
    print->Printer().setPageOrientation(QPageLayout::Landscape);  // as a chart printout leaves it

    // Cancel prints nothing; "Drukuj" prints every downloaded record.
    for (bool accept : {false, true}) {
        QWidget* seen = nullptr;
        QTimer::singleShot(0, [&] {
            seen = QApplication::activeModalWidget();
            if (accept)
                print->findChild<QPushButton*>(QString::fromLatin1(objname::kPrintButton))->click();
            else
                print->reject();
        });
        Button(objname::kPrintTableButton)->click();
        EXPECT_EQ(seen, print);
        EXPECT_EQ(QFile::exists(pdf), accept);
    }
    EXPECT_EQ(w.Find<QLabel>(objname::kNotePanel)->text(), QStringLiteral("Wydruk zapisano w pliku ") + pdf);
    EXPECT_EQ(print->Results, &w.results);
    const QString text = printtest::PdfText(pdf, 1, printtest::PdfPageCount(pdf));
    EXPECT_TRUE(text.contains(QStringLiteral("Hall: A/B")));
    EXPECT_TRUE(text.contains(QStringLiteral("Wilgotność")));  // a humidity logger's fifth column
    // The first and the last row as the results table shows them.
    for (int row : {0, 299}) {
        const QRegularExpression line(QStringLiteral("\\b%1\\s+%2\\s+%3\\b")
                                          .arg(Cell(row, 0), QRegularExpression::escape(Cell(row, 1)), Cell(row, 2)));
        EXPECT_TRUE(line.match(text).hasMatch()) << row;
    }
    auto upright = [&] {
        const QString info = printtest::RunTool(QStringLiteral("pdfinfo"), {pdf});
        const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
        EXPECT_TRUE(size.hasMatch()) << info.toStdString();
        return size.captured(1).toDouble() < size.captured(2).toDouble();
    };
    EXPECT_TRUE(upright());

    // The table keeps the turn the operator gives its page in the dialog; the
    // chart's printout always starts landscape, and its own turn stays its own.
    QPageLayout::Orientation seen = QPageLayout::Portrait;
    auto answer = [&](std::optional<QPageLayout::Orientation> turn, bool accept) {
        QTimer::singleShot(0, [&, turn, accept] {
            seen = print->Printer().pageLayout().orientation();
            if (turn) print->Printer().setPageOrientation(*turn);
            if (accept)
                print->findChild<QPushButton*>(QString::fromLatin1(objname::kPrintButton))->click();
            else
                print->reject();
        });
    };
    answer(QPageLayout::Landscape, true);
    Button(objname::kPrintTableButton)->click();
    EXPECT_FALSE(upright());
    answer(QPageLayout::Portrait, false);
    print->ExecForChart();
    answer(std::nullopt, false);
    Button(objname::kPrintTableButton)->click();
    EXPECT_EQ(seen, QPageLayout::Landscape) << "the chart's turn reached the table";
    answer(QPageLayout::Portrait, false);
    Button(objname::kPrintTableButton)->click();
    answer(std::nullopt, false);
    print->ExecForChart();
    EXPECT_EQ(seen, QPageLayout::Landscape) << "the table's turn reached the chart";
    answer(std::nullopt, false);
    Button(objname::kPrintTableButton)->click();
    EXPECT_EQ(seen, QPageLayout::Portrait);
}

TEST_F(ResultsTab, ChangeButtonsOpenTheFinishedDialogs) {
    Connect(10);
    struct Case {
        const char* button;
        QWidget* ProgramWindows::*form;
        bool (*isRight)(QWidget*);
    };
    const Case cases[] = {
        {objname::kSetClockButton, &ProgramWindows::clockDialog,
         [](QWidget* d) { return qobject_cast<ClockDialog*>(d) != nullptr; }},
        {objname::kChangeNameButton, &ProgramWindows::loggerNameDialog,
         [](QWidget* d) { return qobject_cast<LoggerNameDialog*>(d) != nullptr; }},
        {objname::kChangeStartButton, &ProgramWindows::startDialog,
         [](QWidget* d) { return qobject_cast<StartDialog*>(d) != nullptr; }},
    };
    for (const Case& c : cases) {
        QWidget* seen = nullptr;
        // The dialog runs modally: look at it from inside its own loop, then close it.
        QTimer::singleShot(0, [&] {
            seen = QApplication::activeModalWidget();
            if (auto* d = qobject_cast<QDialog*>(seen)) d->reject();
        });
        Button(c.button)->click();
        EXPECT_EQ(seen, w.form->Windows().*c.form) << c.button;
        EXPECT_TRUE(c.isRight(seen)) << c.button;
    }
}

}  // namespace
}  // namespace quorvex::test
