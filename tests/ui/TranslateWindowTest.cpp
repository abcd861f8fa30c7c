#include "i18n/Translator.h"
#include "ui/TranslateWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <vector>

namespace quorvex {
namespace {

void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

// A label type of the program's own: the walk matches exact class names only.
class StatePanelLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

struct Caption {
    std::function<QString()> read;
    QString polish, english, german;
};

// A small main window laid out like the real one: tabs with group boxes,
// labels, buttons, radios, a check box, a plain panel, a table and a tree with
// column titles, a menu bar with a sub-menu, and controls the walk must skip.
class TranslateWindowTest : public ::testing::Test {
protected:
    TranslateWindowTest() {
        window.setWindowTitle(QStringLiteral("Quorvex v4.6"));
        auto* central = new QWidget;
        window.setCentralWidget(central);
        auto* tabs = new QTabWidget(central);
        (new QVBoxLayout(central))->addWidget(tabs);

        auto* measurements = new QWidget;
        tabs->addTab(measurements, QStringLiteral("[100]Pomiary"));
        auto* clock = new QGroupBox(QStringLiteral("[130]Zegar"), measurements);
        clockDate = new QLabel(QStringLiteral("[131]Data:"), clock);
        auto* setClock = new QPushButton(QStringLiteral("[2]Ustaw"), clock);
        edit = new QLineEdit(QStringLiteral("[1002]Kabel USB odłączony"), clock);
        auto* startMode = new QGroupBox(QStringLiteral("[220]Sposób uruchomienia rejestracji:"), measurements);
        auto* byButton = new QRadioButton(QStringLiteral("[221]przyciskiem na loggerze"), startMode);
        auto* panel = new QFrame(measurements);
        auto* inPanel = new QLabel(QStringLiteral("[1004]Brak komunikacji z Loggerem"), panel);
        auto* innerPanel = new QWidget(panel);
        auto* chart = new QCheckBox(QStringLiteral("[12]Pokaż wykres"), innerPanel);
        ownLabel = new StatePanelLabel(QStringLiteral("[3]Start"), measurements);

        auto* results = new QWidget;
        tabs->addTab(results, QStringLiteral("[300]Wyniki"));
        tabs->setTabVisible(1, false);  // hidden tabs are translated all the same
        auto* table = new QTableView(results);
        model.setHorizontalHeaderLabels({QStringLiteral("[311]Lp"), QStringLiteral("[131]Data")});
        table->setModel(&model);
        auto* tree = new QTreeWidget(results);
        tree->setHeaderLabels({QStringLiteral("[1053]Nazwa")});

        statusLabel = new QLabel(QStringLiteral("[1005]Logger podłączony"));
        window.statusBar()->addWidget(statusLabel);

        QMenu* file = window.menuBar()->addMenu(QStringLiteral("[30]Plik"));
        QAction* open = file->addAction(QStringLiteral("[41]Odczytaj wyniki"));
        open->setVisible(false);
        QAction* close = file->addAction(QStringLiteral("[39]Zakończ"));
        QMenu* options = window.menuBar()->addMenu(QStringLiteral("[40]Ustawienia"));
        options->addAction(QStringLiteral("USB"));
        options->addSeparator();
        QMenu* print = options->addMenu(QStringLiteral("[700]Drukuj"));
        QAction* properties = print->addAction(QStringLiteral("[17]Właściwości"));

        auto tabText = [tabs](int i) { return [tabs, i] { return tabs->tabText(i); }; };
        auto text = [](auto* w) { return [w] { return w->text(); }; };
        auto header = [this](int c) { return [this, c] { return model.headerData(c, Qt::Horizontal).toString(); }; };
        auto treeHeader = [tree](int c) { return [tree, c] { return tree->headerItem()->text(c); }; };
        captions = {
            {tabText(0), "Pomiary", "Measurements", "Messungen"},
            {tabText(1), "Wyniki", "Results", "Ergebnisse"},
            {[clock] { return clock->title(); }, "Zegar", "Clock", "Uhr"},
            {text(clockDate), "Data:", "Date", "Datum"},
            {text(setClock), "Ustaw", "Set", "Einstellen"},
            {[startMode] { return startMode->title(); },
             "Sposób uruchomienia rejestracji:", "The way to start the registration:", "Art des Registrierungsstarts:"},
            {text(byButton), "przyciskiem na loggerze", "button on the logger", "mit der Taste auf dem Datenlogger"},
            {text(inPanel), "Brak komunikacji z Loggerem", "Communication with the logger stopped",
             "Keine Kommunikation mit dem Datenlogger"},
            {text(chart), "Pokaż wykres", "Show graph", "Diagramm anzeigen"},
            {header(0), "Lp", "Lp", "Lp"},
            {header(1), "Data", "Date", "Datum"},
            {treeHeader(0), "Nazwa", "Name", "Name"},
            {[file] { return file->title(); }, "Plik", "File", "Datei"},
            {text(open), "Odczytaj wyniki", "Load results", "Ergebnisse auslesen"},
            {text(close), "Zakończ", "Exit", "Beenden"},
            {[options] { return options->title(); }, "Ustawienia", "Options", "Einstellungen"},
            {[print] { return print->title(); }, "Drukuj", "Print", "Drucken"},
            {text(properties), "Właściwości", "Properties", "Eigenschaften"},
        };
    }

    void Apply(const QString& language) {
        TranslateWindow(translator, language, &window);
        TranslateMenu(translator, language, window.menuBar());
    }

    void ExpectLanguage(const QString& language) {
        for (const Caption& c : captions) {
            const QString& want = language == kLanguageEnglish  ? c.english
                                  : language == kLanguageGerman ? c.german
                                                                : c.polish;
            const QString now = c.read();
            EXPECT_EQ(now, want) << language.toStdString();
            EXPECT_FALSE(now.startsWith(u'[')) << now.toStdString();
            EXPECT_FALSE(now.isEmpty()) << c.polish.toStdString();
        }
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Quorvex v4.6"));
    }

    struct ApplicationFirst {
        ApplicationFirst() { EnsureApplication(); }
    } applicationFirst;  // the widgets below need the application to exist
    QMainWindow window;
    QStandardItemModel model;
    Translator translator;
    QLabel* clockDate = nullptr;
    QLabel* ownLabel = nullptr;
    QLabel* statusLabel = nullptr;
    QLineEdit* edit = nullptr;
    std::vector<Caption> captions;
};

TEST_F(TranslateWindowTest, PolishEnglishGermanPolishRestoresEveryCaption) {
    Apply(kLanguagePolish);
    ExpectLanguage(kLanguagePolish);
    // Each caption above plus the window, its plain containers and the menu separator.
    const qsizetype remembered = translator.FirstCaptionCount();
    EXPECT_GE(remembered, static_cast<qsizetype>(captions.size()));
    for (const QString& language : {kLanguageEnglish, kLanguageGerman, kLanguagePolish, kLanguageEnglish}) {
        Apply(language);
        ExpectLanguage(language);
    }
    // Walking again remembers nothing new.
    EXPECT_EQ(translator.FirstCaptionCount(), remembered);
}

TEST_F(TranslateWindowTest, ControlsOutsideTheWalkAreLeftAlone) {
    Apply(kLanguageGerman);
    EXPECT_EQ(edit->text(), QStringLiteral("[1002]Kabel USB odłączony"));
    EXPECT_EQ(ownLabel->text(), QStringLiteral("[3]Start"));
    EXPECT_EQ(statusLabel->text(), QStringLiteral("[1005]Logger podłączony"));
    EXPECT_FALSE(translator.Remembers(edit));
    EXPECT_FALSE(translator.Remembers(ownLabel));
}

TEST_F(TranslateWindowTest, CaptionChangedAtRunTimeIsReplacedAtTheNextWalk) {
    Apply(kLanguageEnglish);
    clockDate->setText(QStringLiteral("12.03.2015"));
    Apply(kLanguageEnglish);
    EXPECT_EQ(clockDate->text(), QStringLiteral("Date"));
    clockDate->setText(QString());
    Apply(kLanguagePolish);
    EXPECT_EQ(clockDate->text(), QStringLiteral("Data:"));
    // Messages follow the language of the last walk.
    TranslateMenu(translator, kLanguageGerman, window.menuBar());
    EXPECT_EQ(translator.Tr(QStringLiteral("[1020]Błąd")), QStringLiteral("Fehler"));
}

TEST(TranslateDialog, DialogTitleAndDirectChildrenAreTranslated) {
    EnsureApplication();
    Translator translator;
    QStringList messages;
    translator.SetMessageHandler([&](const QString& m) { messages << m; });
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("[600]Zmiana parametru"));
    auto* save = new QPushButton(QStringLiteral("[14]Zapisz"), &dialog);
    auto* broken = new QLabel(QStringLiteral("[1x]Nieznany"), &dialog);
    TranslateWindow(translator, kLanguageEnglish, &dialog);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Change parametr"));
    EXPECT_EQ(save->text(), QStringLiteral("Save"));
    EXPECT_EQ(broken->text(), QStringLiteral("[1x]Nieznany"));
    EXPECT_EQ(messages, QStringList{Translator::kBadIdMessage});

    // A control created later at run time is picked up by the next walk, and a
    // destroyed one leaves no trace in the translator's memory.
    auto* late = new QPushButton(QStringLiteral("[15]Anuluj"), &dialog);
    TranslateWindow(translator, kLanguageGerman, &dialog);
    EXPECT_EQ(late->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Den Parameter ändern"));
    const qsizetype before = translator.FirstCaptionCount();
    delete late;
    EXPECT_EQ(translator.FirstCaptionCount(), before - 1);
}

}  // namespace
}  // namespace quorvex

#include "TranslateWindowTest.moc"
