// The main window without a transmission thread: settings file, language walk,
// monitor bindings, logger state panel, request strip and the service key chord.
#include <gtest/gtest.h>

#include <tuple>

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QToolButton>

#include <tuple>

#include "EventLoopWait.h"
#include "UiTestSupport.h"
#include "chart/SharedNames.h"
#include "core/Scenario.h"
#include "modbus/Crc16.h"
#include "params/Codecs.h"
#include "params/LoggerChannel.h"
#include "settings/IniFile.h"
#include "ui/CommandLine.h"
#include "ui/ControlBindings.h"
#include "ui/CorrectionTab.h"
#include "ui/LinkMenu.h"
#include "ui/MessagesTab.h"
#include "ui/MonitorTab.h"
#include "ui/ObjectNames.h"
#include "ui/RequestStrip.h"
#include "ui/ServiceTab.h"
#include "ui/dialogs/ParameterReadWindow.h"

namespace quorvex::test {
namespace {

QAction* FastFramesItem(MainWindow& form) {
    return form.findChild<QAction*>(QString::fromLatin1(objname::kFastFramesItem));
}

QSettings Read(const QString& path) { return QSettings(path, QSettings::IniFormat); }

Scenario MakeScenario(const std::string& text) {
    std::string error;
    auto s = Scenario::Parse(text, &error);
    EXPECT_TRUE(s) << error;
    return s ? *s : Scenario{};
}

// ---------------------------------------------------------------- settings

TEST(MainWindowSettings, FirstStartWithoutFileUsesDefaultsAndWritesItsKeys) {
    WindowFixture w;
    EXPECT_EQ(w.form->Links().Chosen(), QStringLiteral("USB"));
    EXPECT_EQ(w.form->pos(), QPoint(309, 169));
    EXPECT_EQ(w.form->Language(), QStringLiteral("Polski"));
    EXPECT_EQ(w.form->Tabs()->tabText(0), QStringLiteral("Pomiary"));
    EXPECT_EQ(w.form->Tabs()->currentIndex(), 0);
    EXPECT_FALSE(FastFramesItem(*w.form)->isChecked());
    w.form->move(400, 210);
    w.Close();
    QSettings s = Read(w.path);
    EXPECT_EQ(s.value("Okno/PortCom").toString(), QStringLiteral("USB"));
    EXPECT_EQ(s.value("Okno/Language").toString(), QStringLiteral("Polski"));
    EXPECT_EQ(s.value("Okno/Left").toInt(), 400);
    EXPECT_EQ(s.value("Okno/Top").toInt(), 210);
    EXPECT_EQ(s.value("Okno/FastFrames").toString(), QStringLiteral("0"));
}

TEST(MainWindowSettings, DamagedFilesGiveDefaultsAndTheProgramStarts) {
    const QString cases[] = {
        QString(),
        QString::fromLatin1("\x01\xff\xfe[[[=\x7f\n\x00garbage", 20),
        QStringLiteral("[Okno]\nLanguage=Francais\nLeft=abc\nTop=12px\n"),
    };
    for (const QString& text : cases) {
        WindowFixture w(text, true);
        EXPECT_EQ(w.form->Language(), QStringLiteral("Polski")) << text.toStdString();
        EXPECT_EQ(w.form->pos(), QPoint(309, 169)) << text.toStdString();
        EXPECT_EQ(w.form->Links().Chosen(), QStringLiteral("USB"));
        EXPECT_EQ(w.Find<QPushButton>(objname::kRecordStartButton)->text(), QStringLiteral("Start"));
        w.Close();
        EXPECT_EQ(Read(w.path).value("Okno/Language").toString(), QStringLiteral("Polski"));
    }
}

TEST(MainWindowSettings, FirstStartSpeaksTheDesktopsLanguageAndKeepsIt) {
    const std::tuple<QLocale, QString, QString> cases[] = {
        {QLocale(QLocale::Polish, QLocale::Poland), kLanguagePolish, QStringLiteral("Pomiary")},
        {QLocale(QLocale::German, QLocale::Austria), kLanguageGerman, QStringLiteral("Messungen")},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), kLanguageEnglish, QStringLiteral("Measurements")},
        {QLocale(QLocale::French, QLocale::France), kLanguageEnglish, QStringLiteral("Measurements")},
        {QLocale::c(), kLanguageEnglish, QStringLiteral("Measurements")},
    };
    for (const auto& [desktop, language, tab] : cases) {
        SCOPED_TRACE(desktop.name().toStdString());
        WindowFixture w;
        w.Close();
        ASSERT_TRUE(QFile::remove(w.path));
        w.systemLocale = desktop;
        w.Open();
        EXPECT_EQ(w.form->Language(), language);
        EXPECT_EQ(w.form->Tabs()->tabText(0), tab);
        // Stored now: another desktop language later changes nothing.
        w.Close();
        w.systemLocale = QLocale(QLocale::German, QLocale::Germany);
        w.Open();
        EXPECT_EQ(w.form->Language(), language);
    }
}

TEST(MainWindowHelp, AboutBoxGivesVersionLicenceSettingsFileResultsFolderAndManual) {
    WindowFixture w(QStringLiteral("[Okno]\nDir=/srv/pomiary\n"), true);
    for (const auto& [language, menu, title, settingsCaption] :
         {std::tuple{kLanguagePolish, "Pomoc", "O programie", "Plik ustawień"},
          std::tuple{kLanguageEnglish, "Help", "About", "Settings file"},
          std::tuple{kLanguageGerman, "Hilfe", "Über das Programm", "Einstellungsdatei"}}) {
        SCOPED_TRACE(language.toStdString());
        w.form->ApplyLanguage(language);
        EXPECT_EQ(w.form->menuBar()->actions().last()->text(), QString::fromUtf8(menu));
        w.form->findChild<QAction*>(QString::fromLatin1(objname::kAboutItem))->trigger();
        auto* box = w.form->findChild<QMessageBox*>(QString::fromLatin1(objname::kAboutBox));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->windowTitle(), QString::fromUtf8(title));
        const QString text = box->text();
        EXPECT_TRUE(text.contains(VersionText().section(u' ', 1))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(settingsCaption) + QStringLiteral(": ") +
                                  QFileInfo(w.form->SettingsFilePath()).absoluteFilePath()))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("/srv/pomiary")));
        EXPECT_TRUE(text.contains(QStringLiteral("man quorvex")));
        EXPECT_FALSE(text.contains(u'[')) << "every text translated";
    }
}

TEST(MainWindowSettings, StoredLanguageAndPositionAreRestored) {
    WindowFixture w(QStringLiteral("[Okno]\nLanguage=Niemiecki\nLeft=50\nTop=60\nPortCom=/dev/ttyUSB3\nFastFrames=1\n"),
                    true);
    EXPECT_EQ(w.form->Language(), QStringLiteral("Niemiecki"));
    EXPECT_TRUE(FastFramesItem(*w.form)->isChecked());
    EXPECT_EQ(FastFramesItem(*w.form)->text(), QStringLiteral("Schnelles Auslesen"));
    EXPECT_EQ(w.form->Tabs()->tabText(0), QStringLiteral("Messungen"));
    EXPECT_EQ(w.form->pos(), QPoint(50, 60));
    EXPECT_EQ(w.form->Links().Chosen(), QStringLiteral("/dev/ttyUSB3"));
}

TEST(MainWindowSettings, APositionOffEveryScreenOpensCentredAndOneOnAScreenIsKept) {
    EnsureApplication();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QPoint stored : {QPoint(20000, 300), QPoint(-5000, -5000), QPoint(300, 99999),
                                QPoint(screen.left() - 2000, screen.top() + 10)}) {
        WindowFixture w(QStringLiteral("[Okno]\nLeft=%1\nTop=%2\n").arg(stored.x()).arg(stored.y()), true);
        const QRect placed(w.form->pos(), w.form->size());
        EXPECT_TRUE(screen.contains(placed.topLeft())) << stored.x() << "," << stored.y();
        if (placed.width() <= screen.width()) {
            EXPECT_LE(std::abs(placed.center().x() - screen.center().x()), 1);
        } else {
            EXPECT_EQ(placed.left(), screen.left());
        }
        if (placed.height() <= screen.height()) {
            EXPECT_LE(std::abs(placed.center().y() - screen.center().y()), 1);
        } else {
            EXPECT_EQ(placed.top(), screen.top());
        }
    }
    // Partly off the screen but with its top edge on it: where it was left.
    const QPoint partly(screen.right() - 150, screen.top() + 10);
    WindowFixture w(QStringLiteral("[Okno]\nLeft=%1\nTop=%2\n").arg(partly.x()).arg(partly.y()), true);
    EXPECT_EQ(w.form->pos(), partly);
}

TEST(MainWindowSettings, CommandLineLinkAndLanguageHoldForThisRunOnly) {
    const CommandLine line =
        ParseCommandLine({QStringLiteral("quorvex"), QStringLiteral("--port"), QStringLiteral("/dev/ttyUSB9"),
                          QStringLiteral("--language"), QStringLiteral("EN")});
    ASSERT_EQ(line.action, CommandLine::Action::Run);
    EXPECT_EQ(line.port, QStringLiteral("/dev/ttyUSB9"));
    EXPECT_EQ(line.language, kLanguageEnglish);
    for (const char* name : {"pl", "Polish", "POLSKI"})
        EXPECT_EQ(ParseCommandLine({"quorvex", "--language", name}).language, kLanguagePolish) << name;
    for (const char* name : {"de", "German", "niemiecki"})
        EXPECT_EQ(ParseCommandLine({"quorvex", "--language", name}).language, kLanguageGerman) << name;
    const CommandLine unknown = ParseCommandLine({"quorvex", "--language", "fr"});
    EXPECT_EQ(unknown.action, CommandLine::Action::Fail);
    EXPECT_TRUE(unknown.text.contains(QStringLiteral("\"fr\""))) << unknown.text.toStdString();
    EXPECT_EQ(ParseCommandLine({"quorvex", "wyniki.txt"}).resultsFile, QStringLiteral("wyniki.txt"));
    EXPECT_EQ(ParseCommandLine({"quorvex", "wyniki.txt", "stray"}).action, CommandLine::Action::Fail);
    // --archive: a file, a server or none; a password in the address or no value is refused.
    for (const char* where : {"/tmp/a.sqlite", "postgresql://lab@db:5432/loggers", "none"})
        EXPECT_EQ(ParseCommandLine({"quorvex", "--archive", where}).archive, QString::fromLatin1(where)) << where;
    for (const char* where : {"postgresql://lab:secret@db/loggers", ""}) {
        const CommandLine refused = ParseCommandLine({"quorvex", "--archive", where});
        EXPECT_EQ(refused.action, CommandLine::Action::Fail) << where;
        EXPECT_FALSE(refused.text.contains(QStringLiteral("secret"))) << refused.text.toStdString();
    }
    const CommandLine version = ParseCommandLine({"quorvex", "--version"});
    EXPECT_EQ(version.action, CommandLine::Action::PrintVersion);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^quorvex \\d+\\.\\d+")).match(version.text).hasMatch())
        << version.text.toStdString();

    // Two runs with the same command line: the first leaves the stored link and
    // language alone, in the second the operator picks others, which are kept.
    WindowFixture w(QStringLiteral("[Okno]\nLanguage=Niemiecki\nPortCom=/dev/ttyUSB3\n"), true);
    w.Close();
    for (bool operatorChooses : {false, true}) {
        MainWindowOptions o;
        o.settingsPath = w.path;
        o.startThread = false;
        o.portOverride = line.port;
        o.languageOverride = line.language;
        auto form = std::make_unique<MainWindow>(w.model, w.results, o);
        form->onActivated();
        EXPECT_EQ(form->Links().Chosen(), QStringLiteral("/dev/ttyUSB9"));
        EXPECT_EQ(form->Tabs()->tabText(0), QStringLiteral("Measurements"));
        if (operatorChooses) {
            form->ChooseLink(QStringLiteral("USB"));
            form->findChild<QToolButton*>(QString::fromLatin1(objname::kPolishButton))->click();
        }
        form->onDestroy();
        form.reset();
        QSettings s = Read(w.path);
        EXPECT_EQ(s.value("Okno/PortCom").toString(),
                  operatorChooses ? QStringLiteral("USB") : QStringLiteral("/dev/ttyUSB3"));
        EXPECT_EQ(s.value("Okno/Language").toString(), operatorChooses ? kLanguagePolish : kLanguageGerman);
    }
}

TEST(MainWindowSettings, UnwritableFolderStillEndsCleanly) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EnsureApplication();
    ParameterModel model;
    ResultsStore results;
    MainWindowOptions o;
    o.settingsPath = dir.filePath(QStringLiteral("not-a-folder/quorvex.INI"));
    o.startThread = false;
    o.systemLocale = QLocale(QLocale::Polish, QLocale::Poland);
    auto form = std::make_unique<MainWindow>(model, results, o);
    EXPECT_EQ(form->Language(), QStringLiteral("Polski"));
    form->onDestroy();
    form.reset();
    EXPECT_FALSE(QFile::exists(o.settingsPath));
    EXPECT_FALSE(model.Connected());
}

TEST(MainWindowSettings, IniFileRoundTripsAwkwardTexts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.INI"));
    const QString awkward = QStringLiteral("C:\\Wyniki, \"pomiary\" = łódź;#1");
    {
        IniFile ini(path);
        ini.WriteString(QStringLiteral("Okno"), QStringLiteral("Dir"), awkward);
        ini.WriteBool(QStringLiteral("OknoDrukuj"), QStringLiteral("Naglowek"), true);
        ASSERT_TRUE(ini.Flush());
    }
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Okno"), QStringLiteral("Dir"), {}), awkward);
    EXPECT_TRUE(ini.ReadBool(QStringLiteral("OknoDrukuj"), QStringLiteral("Naglowek"), false));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("OknoDrukuj"), QStringLiteral("Naglowek"), 7), 1);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("Okno"), QStringLiteral("Dir"), 7), 7);
}

TEST(MainWindowSettings, SettingsBesideABuiltOrPortableProgramElseInTheUserConfigFolder) {
    QTemporaryDir dir, config;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("portable/bin")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("build")));
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString user = config.filePath(QStringLiteral("quorvex/quorvex.INI"));
    const struct {
        QString exe, expected;
    } cases[] = {
        {dir.filePath(QStringLiteral("build/quorvex")), dir.filePath(QStringLiteral("build/quorvex.INI"))},
        {dir.filePath(QStringLiteral("portable/bin/quorvex")),
         dir.filePath(QStringLiteral("portable/bin/quorvex.INI"))},
        // Installed: never beside the program, even where root could write there.
        {QStringLiteral("/usr/bin/quorvex"), user},
        {QStringLiteral("/usr/local/bin/quorvex"), user},
        {QStringLiteral("/opt/quorvex/bin/quorvex"), user},
        {QStringLiteral("/usr/bin/../bin/quorvex"), user},
        // Not installed, but its folder cannot be written (here: is not there).
        {dir.filePath(QStringLiteral("gone/quorvex")), user},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsPath(c.exe), c.expected) << c.exe.toStdString();
        EXPECT_EQ(SettingsPath(c.exe, QStringLiteral("/tmp/other.ini")), QStringLiteral("/tmp/other.ini"));
    }
    EXPECT_TRUE(QFileInfo(user).dir().exists());
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}

// ---------------------------------------------------------------- language

struct CaptionSnapshot {
    QStringList texts;
    bool operator==(const CaptionSnapshot&) const = default;
};

// The window's own controls: the parameter dialogs are its children too, but
// they are translated only when they open.
template <class T>
QList<T*> OwnControls(QWidget& form) {
    QList<T*> out;
    for (T* w : form.findChildren<T*>())
        if (w->window() == &form) out << w;
    return out;
}

CaptionSnapshot Captions(MainWindow& form) {
    CaptionSnapshot s;
    for (QAbstractButton* b : OwnControls<QAbstractButton>(form))
        if (qobject_cast<QPushButton*>(b) || qobject_cast<QRadioButton*>(b)) s.texts << b->text();
    for (QLabel* l : OwnControls<QLabel>(form)) s.texts << l->text();
    for (QGroupBox* g : OwnControls<QGroupBox>(form)) s.texts << g->title();
    for (int i = 0; i < form.Tabs()->count(); ++i) s.texts << form.Tabs()->tabText(i);
    std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            s.texts << a->text();
            if (a->menu()) walk(a->menu()->actions());
        }
    };
    walk(form.menuBar()->actions());
    return s;
}

TEST(MainWindowLanguage, WalkThroughAllLanguagesAndBack) {
    WindowFixture w;
    w.form->Monitor().ShowState(30);
    const CaptionSnapshot polish = Captions(*w.form);
    int numbered = 0;
    for (const QString& t : polish.texts) EXPECT_FALSE(t.startsWith(QLatin1Char('['))) << t.toStdString();
    for (const QString& lang : {QStringLiteral("Angielski"), QStringLiteral("Niemiecki"), QStringLiteral("Polski")}) {
        w.form->ApplyLanguage(lang);
        const CaptionSnapshot now = Captions(*w.form);
        ASSERT_EQ(now.texts.size(), polish.texts.size());
        numbered = 0;
        for (qsizetype i = 0; i < now.texts.size(); ++i) {
            EXPECT_FALSE(now.texts[i].startsWith(QLatin1Char('['))) << now.texts[i].toStdString();
            if (!polish.texts[i].isEmpty()) {
                EXPECT_FALSE(now.texts[i].isEmpty()) << polish.texts[i].toStdString();
            }
            if (now.texts[i] != polish.texts[i]) ++numbered;
        }
        if (lang != QStringLiteral("Polski")) {
            EXPECT_GT(numbered, 40) << lang.toStdString();
        }
    }
    EXPECT_EQ(Captions(*w.form), polish);
    w.form->ApplyLanguage(QStringLiteral("Angielski"));
    EXPECT_EQ(w.form->Tabs()->tabText(0), QStringLiteral("Measurements"));
    EXPECT_EQ(w.Find<QPushButton>(objname::kTempThresholdsButton)->text(), QStringLiteral("Change"));
    EXPECT_EQ(w.form->menuBar()->actions().first()->text(), QStringLiteral("File"));
    ASSERT_NE(w.form->Windows().chartWindow, nullptr);
    EXPECT_EQ(w.form->Windows().chartWindow->windowTitle(), QStringLiteral("Chart"));
    // The same state is shown again in the new language.
    EXPECT_EQ(w.form->StateText(), QStringLiteral("\nCommunication with the logger stopped"));
    EXPECT_EQ(w.form->LastStateCode(), 30);
    // A language the program does not know is taken as Polish.
    w.form->ApplyLanguage(QStringLiteral("Francais"));
    EXPECT_EQ(w.form->Language(), QStringLiteral("Polski"));
    EXPECT_EQ(w.form->StateText(), QStringLiteral("\nBrak komunikacji z Loggerem"));
}

// ---------------------------------------------------------------- monitor

const char* kChangeButtons[] = {objname::kSetClockButton,      objname::kChangeNameButton,
                                objname::kChangeStartButton,   objname::kTempThresholdsButton,
                                objname::kHumThresholdsButton, objname::kChangeIntervalButton,
                                objname::kCorrectionButton};

TEST(MainWindowMonitor, InactiveMonitorIsGreyAndEmpty) {
    WindowFixture w;
    for (QLineEdit* e : OwnControls<QLineEdit>(*w.form)) {
        if (!e->objectName().startsWith(QStringLiteral("Edit"))) continue;
        EXPECT_FALSE(e->isEnabled()) << e->objectName().toStdString();
        EXPECT_TRUE(e->text().isEmpty());
        EXPECT_TRUE(e->isReadOnly());
    }
    for (const char* b : kChangeButtons) EXPECT_FALSE(w.Find<QPushButton>(b)->isEnabled()) << b;
    EXPECT_FALSE(w.Find<QPushButton>(objname::kStartReadButton)->isEnabled());
    EXPECT_EQ(w.form->Controls().Count(), 30u);
}

TEST(MainWindowMonitor, FullReadFillsTheFieldsAndOffersStart) {
    WindowFixture w;
    SimLogger sim(MakeScenario("[logger]\nmode = 1\ntype = 0201\n"));
    FeedBlock(w.model, sim, 256, 90);
    w.form->HandleMessage(Msg::ReadDone);
    EXPECT_EQ(w.form->ConnectionState(), CONN_READING);
    EXPECT_EQ(w.form->LastStateCode(), 35);
    EXPECT_FALSE(w.Edit(objname::kNameField)->isEnabled());
    FeedBlock(w.model, sim, 0, 29);
    w.form->HandleMessage(Msg::ReadDone);
    EXPECT_EQ(w.form->ConnectionState(), CONN_READY);
    EXPECT_TRUE(w.form->ParamsReady());

    EXPECT_EQ(w.Edit(objname::kNameField)->text(), QStringLiteral("Magazyn próbek – Łódź"));
    EXPECT_EQ(w.Edit(objname::kHighTempField)->text(), w.model.Param<HighTemp>().GetText());
    // Numbers on screen follow the language, whatever the system's locale or what was typed last.
    float typed = 0;
    for (const char* typedText : {"30", "7,5", "7.5"}) {
        ASSERT_TRUE(ParseNumber(QString::fromLatin1(typedText), typed));
        for (auto [language, upper, lower] :
             {std::tuple{"Angielski", "30.0", "25.0"}, std::tuple{"Niemiecki", "30,0", "25,0"},
              std::tuple{"Polski", "30,0", "25,0"}}) {
            w.form->ApplyLanguage(QString::fromLatin1(language));
            EXPECT_EQ(w.Edit(objname::kHighTempField)->text(), QString::fromLatin1(upper)) << language;
            EXPECT_EQ(w.Edit(objname::kLowHumField)->text(), QString::fromLatin1(lower)) << language;
        }
    }
    for (const char* e : {objname::kTemperatureField, objname::kHumidityField, objname::kDateField, objname::kTimeField,
                          objname::kIntervalField, objname::kSavedCountField, objname::kTypeField,
                          objname::kSerialField, objname::kMadeField, objname::kFirmwareField, objname::kMeasuredField,
                          objname::kBatteryField, objname::kTempCorrectionField, objname::kCorrHumField}) {
        EXPECT_FALSE(w.Edit(e)->text().isEmpty()) << e;
        EXPECT_TRUE(w.Edit(e)->isEnabled()) << e;
    }
    EXPECT_EQ(w.Edit(objname::kTypeField)->palette().color(QPalette::Base), kMoneyGreen);
    // Start mode 1: the start moment keeps its text but is greyed with its label.
    EXPECT_FALSE(w.Edit(objname::kStartDateField)->text().isEmpty());
    EXPECT_FALSE(w.Edit(objname::kStartDateField)->isEnabled());
    EXPECT_FALSE(w.Edit(objname::kStartTimeField)->isEnabled());
    EXPECT_FALSE(w.Find<QLabel>(objname::kStartMomentCaption)->isEnabled());
    EXPECT_TRUE(w.Find<QPushButton>(objname::kChangeStartButton)->isEnabled());
    EXPECT_TRUE(w.Find<QRadioButton>(objname::kImmediateStartMode)->isChecked());
    EXPECT_FALSE(w.Find<QRadioButton>(objname::kButtonStartMode)->isChecked());
    EXPECT_TRUE(w.Find<QRadioButton>(objname::kStopWhenFullMode)->isChecked());
    for (const char* b : kChangeButtons) EXPECT_TRUE(w.Find<QPushButton>(b)->isEnabled()) << b;

    EXPECT_EQ(w.form->LastStateCode(), 70);
    EXPECT_EQ(w.form->StateText(),
              QStringLiteral("Logger nie rejestruje\nUruchomienie z komputera przyciskiem 'START'"));
    EXPECT_FALSE(w.Find<QPushButton>(objname::kRecordStartButton)->isHidden());
    EXPECT_TRUE(w.Find<QPushButton>(objname::kRecordStopButton)->isHidden());
}

TEST(MainWindowMonitor, StartButtonWritesRegister82AndRecordingLocksTheChangeButtons) {
    WindowFixture w;
    SimLogger sim(MakeScenario("[logger]\nmode = 1\n"));
    w.Poll(sim);
    std::vector<Request> queued;
    LoggerChannel channel;
    channel.enqueue = [&](const Request& r) { queued.push_back(r); };
    w.model.Connect(std::move(channel));
    w.Find<QPushButton>(objname::kRecordStartButton)->click();
    EXPECT_TRUE(queued.empty());  // asked first: the logger's records are not archived
    ASSERT_TRUE(AnswerNewLogBox(w.form.get(), objname::kStartAnywayButton));
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(queued[0].Function, FN_WRITE_SINGLE);
    EXPECT_EQ(queued[0].StartRegister, 82);
    EXPECT_EQ(queued[0].Value, 4);
    EXPECT_EQ(queued[0].Attempts, 2);
    EXPECT_EQ(queued[0].Address, 255);
    EXPECT_NE(queued[0].Tag, TAG_POLL);
    EXPECT_NE(queued[0].Tag, TAG_LOG);
    // The screen changes only once the logger reports recording.
    EXPECT_EQ(w.form->LastStateCode(), 70);

    // The logger takes the write; the next poll shows it.
    std::vector<std::uint8_t> rq{0xFF, 0x06, 0x00, 82, 0x00, 0x04, 0, 0};
    AppendCrc(rq.data(), 6);
    sim.Handle(rq);
    w.Poll(sim);
    EXPECT_EQ(w.form->LastStateCode(), 100);
    EXPECT_FALSE(w.Find<QPushButton>(objname::kRecordStopButton)->isHidden());
    EXPECT_TRUE(w.Find<QPushButton>(objname::kRecordStartButton)->isHidden());
    for (const char* b : kChangeButtons) EXPECT_FALSE(w.Find<QPushButton>(b)->isEnabled()) << b;

    w.Find<QPushButton>(objname::kRecordStopButton)->click();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[1].Value, 0);
}

TEST(MainWindowMonitor, TemperatureOnlyLoggerGreysEveryHumidityField) {
    WindowFixture w;
    SimLogger sim(MakeScenario("[logger]\ntype = 0101\n"));
    w.Poll(sim);
    ASSERT_EQ(w.form->ConnectionState(), CONN_READY);
    for (const char* e : {objname::kHumidityField, objname::kHighHumField, objname::kLowHumField,
                          objname::kCorrHumField, objname::kHumCorrectionField}) {
        EXPECT_FALSE(w.Edit(e)->isEnabled()) << e;
        EXPECT_TRUE(w.Edit(e)->text().isEmpty()) << e;
    }
    EXPECT_FALSE(w.Find<QGroupBox>(objname::kHumidityGroup)->isEnabled());
    EXPECT_FALSE(w.Find<QPushButton>(objname::kHumThresholdsButton)->isEnabled());
    EXPECT_FALSE(w.Find<QLabel>(objname::kHighHumUnit)->isEnabled());
    EXPECT_FALSE(w.Find<QLabel>(objname::kHumCorrectionCaption)->isEnabled());
    EXPECT_FALSE(w.Find<QLabel>(objname::kCorrHumCaption)->isEnabled());
    EXPECT_TRUE(w.Edit(objname::kTempCorrectionField)->isEnabled());
    EXPECT_TRUE(w.Edit(objname::kTemperatureField)->isEnabled());
    EXPECT_FALSE(w.Edit(objname::kTemperatureField)->text().isEmpty());
    EXPECT_TRUE(w.Find<QGroupBox>(objname::kTemperatureGroup)->isEnabled());
}

TEST(MainWindowMonitor, SetTimeStartDependsOnTheLoggerClock) {
    for (auto [start, code] : {std::pair{"now+60", 80}, std::pair{"now-60", 90}}) {
        WindowFixture w;
        SimLogger sim(MakeScenario(std::string("[logger]\nmode = 2\nstart = ") + start + "\n"));
        w.Poll(sim);
        EXPECT_EQ(w.form->LastStateCode(), code) << start;
        // In start mode 2 the start moment is editable information.
        EXPECT_TRUE(w.Edit(objname::kStartDateField)->isEnabled());
        EXPECT_TRUE(w.Find<QPushButton>(objname::kRecordStartButton)->isHidden());
    }
}

TEST(MainWindowMonitor, StartModeThreeKeepsThePreviousText) {
    WindowFixture w;
    SimLogger sim(MakeScenario("[logger]\nmode = 1\n"));
    w.Poll(sim);
    ASSERT_EQ(w.form->LastStateCode(), 70);
    const QString before = w.form->StateText();
    const std::uint8_t reg0[] = {0x00, static_cast<std::uint8_t>((sim.Register(0) & ~3u & 0xFF) | 3u)};
    w.model.StoreRegisters(reg0, 0, 2);
    w.form->HandleMessage(Msg::ReadDone);
    EXPECT_EQ(w.form->LastStateCode(), 0);
    EXPECT_EQ(w.form->StateText(), before);
    EXPECT_TRUE(w.Find<QPushButton>(objname::kRecordStartButton)->isHidden());
    EXPECT_TRUE(w.Find<QPushButton>(objname::kRecordStopButton)->isHidden());
}

TEST(MainWindowMonitor, LostLinkEmptiesEverythingAndTheNextReplyRestarts) {
    WindowFixture w;
    SimLogger sim(MakeScenario("[logger]\nmode = 1\n"));
    w.Poll(sim);
    ASSERT_EQ(w.form->ConnectionState(), CONN_READY);
    w.form->Windows().clockDialog->show();
    w.form->HandleMessage(Msg::NoResponse);
    EXPECT_EQ(w.form->ConnectionState(), CONN_NONE);
    EXPECT_FALSE(w.form->ParamsReady());
    EXPECT_FALSE(w.form->Windows().clockDialog->isVisible());
    EXPECT_EQ(w.form->LastStateCode(), 30);
    EXPECT_EQ(w.model.ValueCount(), 0);
    for (QLineEdit* e : OwnControls<QLineEdit>(*w.form))
        if (e->objectName().startsWith(QStringLiteral("Edit"))) {
            EXPECT_TRUE(e->text().isEmpty());
        }
    w.Poll(sim);
    EXPECT_EQ(w.form->ConnectionState(), CONN_READY);
    EXPECT_EQ(w.form->LastStateCode(), 70);
    EXPECT_FALSE(w.Edit(objname::kNameField)->text().isEmpty());
}

// Counts the style changes a widget goes through (a new style sheet re-polishes it).
struct StyleChangeCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::StyleChange) ++count;
        return false;
    }
};

TEST(MainWindowMonitor, CaptionsStayBoldAndRefreshesLeaveTheStyleAlone) {
    WindowFixture w;
    w.form->show();
    SimLogger sim(MakeScenario("[logger]\nmode = 1\n"));
    const auto boxes = w.form->Tabs()->findChildren<QGroupBox*>();
    auto weightsHold = [&](const char* when) {
        for (QGroupBox* box : boxes) {
            EXPECT_TRUE(box->font().bold()) << when << " " << box->objectName().toStdString();
            for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (qobject_cast<QGroupBox*>(child)) continue;
                EXPECT_FALSE(child->font().bold()) << when << " " << child->objectName().toStdString();
            }
        }
    };
    weightsHold("before the connection");

    w.Poll(sim);
    ASSERT_EQ(w.form->ConnectionState(), CONN_READY);
    weightsHold("connected");
    StyleChangeCounter counter;
    for (QGroupBox* box : boxes) box->installEventFilter(&counter);
    for (int i = 0; i < 5; ++i) w.Poll(sim);
    EXPECT_EQ(counter.count, 0) << "a refresh that changes no caption colour re-polished a box";

    w.form->HandleMessage(Msg::NoResponse);
    EXPECT_GT(counter.count, 0);
    weightsHold("after the link was lost");
    w.Poll(sim);
    weightsHold("reconnected");
}

// Counts what reaches a widget's screen: repaints and changes of state, palette or style.
struct ScreenChangeCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        const auto t = e->type();
        count +=
            t == QEvent::Paint || t == QEvent::EnabledChange || t == QEvent::PaletteChange || t == QEvent::StyleChange;
        return false;
    }
};

TEST(MainWindowMonitor, APollThatChangesNothingChangesNothingOnScreen) {
    WindowFixture w;
    w.form->show();
    // The logger's clock stands still: every poll brings the same words again.
    SimLogger sim(MakeScenario("[logger]\nmode = 1\ntype = 0201\n"), [] { return std::int64_t{0}; });
    w.Poll(sim);
    ASSERT_EQ(w.form->ConnectionState(), CONN_READY);
    // The fields filled, the wait window gone, the window painted.
    ASSERT_TRUE(WaitUntil([&] { return !w.form->Windows().parameterReadWindow->isVisible(); }, 5000));
    RunFor(100);

    ScreenChangeCounter screen;
    QStringList retexted;
    for (QWidget* widget : w.form->Tabs()->findChildren<QWidget*>()) widget->installEventFilter(&screen);
    for (QLineEdit* e : w.form->Tabs()->findChildren<QLineEdit*>())
        QObject::connect(e, &QLineEdit::textChanged, [&retexted, e] { retexted << e->objectName(); });
    for (QRadioButton* r : w.form->Tabs()->findChildren<QRadioButton*>())
        QObject::connect(r, &QRadioButton::toggled, [&retexted, r] { retexted << r->objectName(); });
    for (int i = 0; i < 3; ++i) {
        w.Poll(sim);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(screen.count, 0);
    EXPECT_EQ(retexted, QStringList());

    // One word changes (the clock's seconds, register 4): its field alone is written and painted.
    auto* clock = w.Edit(objname::kTimeField);
    ScreenChangeCounter clockScreen;
    clock->installEventFilter(&clockScreen);
    const std::uint16_t seconds = static_cast<std::uint16_t>(sim.Register(4) ^ 0x0100);
    const std::uint8_t word[] = {static_cast<std::uint8_t>(seconds >> 8), static_cast<std::uint8_t>(seconds & 0xFF)};
    w.model.StoreRegisters(word, 4, 2);
    w.form->HandleMessage(Msg::ReadDone);
    QCoreApplication::processEvents();
    EXPECT_EQ(retexted, QStringList{clock->objectName()});
    EXPECT_GT(clockScreen.count, 0);
    EXPECT_EQ(clock->text(), w.model.Param<CurrentTime>().GetText());
}

TEST(MainWindowMonitor, MessageLogDropsARepeatedLine) {
    WindowFixture w;
    w.form->HandleMessage(Msg::StatusText, QStringLiteral("Port A został otwarty"));
    w.form->HandleMessage(Msg::StatusText, QStringLiteral("Port A został otwarty"));
    w.model.NoteLine(QStringLiteral("inna"));
    w.form->HandleMessage(Msg::StatusText, QStringLiteral("Port A został otwarty"));
    EXPECT_EQ(w.form->Messages().Lines().size(), 3);
    // A numbered text with a bad id is reported there too.
    w.form->TextTranslator().Tr(QStringLiteral("[1x]Zły numer"));
    EXPECT_TRUE(w.form->Messages().Lines().value(3).startsWith(QStringLiteral("Wystąpił błąd w funkcji Tr")));
}

TEST(MainWindowMonitor, ServiceKeyChordTogglesTheCorrectionTab) {
    WindowFixture w;
    QTabWidget* tabs = w.form->Tabs();
    const int k = tabs->indexOf(&w.form->Correction());
    EXPECT_FALSE(tabs->isTabVisible(k));
    EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(&w.form->Service())));
    EXPECT_FALSE(tabs->isTabVisible(tabs->indexOf(&w.form->Messages())));
    auto press = [&](int key, Qt::KeyboardModifiers mods, QEvent::Type type = QEvent::KeyPress) {
        QKeyEvent e(type, key, mods);
        QApplication::sendEvent(w.form->Tabs(), &e);
    };
    const auto chord = Qt::ControlModifier | Qt::ShiftModifier;
    press(Qt::Key_K, chord);
    EXPECT_TRUE(tabs->isTabVisible(k));
    press(Qt::Key_F9, chord);
    EXPECT_FALSE(tabs->isTabVisible(k));
    press(Qt::Key_K, Qt::ControlModifier);
    EXPECT_FALSE(tabs->isTabVisible(k));
    press(Qt::Key_2, Qt::KeypadModifier);
    press(Qt::Key_K, chord);
    EXPECT_FALSE(tabs->isTabVisible(k));
    press(Qt::Key_2, Qt::KeypadModifier, QEvent::KeyRelease);
    press(Qt::Key_K, chord);
    EXPECT_TRUE(tabs->isTabVisible(k));
}

// ---------------------------------------------------------------- request strip

std::deque<Request> History(std::initializer_list<int> statuses) {
    std::deque<Request> h;
    int seq = 0;
    for (int s : statuses) {
        Request r;
        r.SeqNo = ++seq;
        r.Status = static_cast<std::uint8_t>(s);
        h.push_back(r);
    }
    return h;
}

TEST(RequestStrip, CapacityAndTrimming) {
    EXPECT_EQ(MarkCapacity(150), 16);
    EXPECT_EQ(MarkCapacity(8), 0);

    auto fits = History({4, 4, 1, 0});
    TrimHistory(fits, 16);
    EXPECT_EQ(fits.size(), 4u);

    std::deque<Request> done(17);
    for (int i = 0; i < 17; ++i) {
        done[i].SeqNo = i + 1;
        done[i].Status = STATUS_DONE;
    }
    TrimHistory(done, 16);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done.front().SeqNo, 17);

    std::deque<Request> oldestQueued = done;
    oldestQueued.assign(17, Request{});
    for (int i = 0; i < 17; ++i) {
        oldestQueued[i].SeqNo = i + 1;
        oldestQueued[i].Status = i == 0 ? 0 : 4;
    }
    TrimHistory(oldestQueued, 16);
    ASSERT_EQ(oldestQueued.size(), 1u);
    EXPECT_EQ(oldestQueued.front().SeqNo, 1);

    // Finished requests go until the first one still in flight.
    auto mixed = History({4, 3, 10, 2, 1, 4, 4});
    TrimHistory(mixed, 3);
    ASSERT_EQ(mixed.size(), 3u);
    EXPECT_EQ(mixed.front().SeqNo, 5);
}

TEST(RequestStrip, MarksAreColouredByStatusAndLogReadsAreRound) {
    EnsureApplication();
    RequestStrip strip;
    strip.resize(150, 20);
    auto history = History({0, 1, 2, 3, 4, 10});
    Request log;
    log.Tag = TAG_LOG;
    log.Status = STATUS_DONE;
    history.push_back(log);
    strip.SetHistoryAccess([&](const std::function<void(std::deque<Request>&)>& f) { f(history); });
    const QImage img = strip.Render();
    const QColor expected[] = {Qt::white, Qt::blue, Qt::yellow, Qt::red, QColor(0, 128, 0), Qt::black};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(img.pixelColor(2 + 3 + 9 * k + 3, 10), expected[k]) << "mark " << k;
    // The ellipse leaves the corner of its rectangle unpainted; a rectangle fills it.
    const int left = 2 + 3 + 9 * 6;
    EXPECT_EQ(img.pixelColor(left + 3, 10), QColor(0, 128, 0));
    EXPECT_NE(img.pixelColor(left + 1, 3), QColor(0, 128, 0));
    EXPECT_NE(img.pixelColor(left + 1, 3), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(2 + 3 + 9 * 4 + 1, 3), QColor(0, 128, 0));
}

}  // namespace
}  // namespace quorvex::test
