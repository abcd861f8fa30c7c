#include "ui/Mainform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

#include <utility>

#include "i18n/TranslateWindow.h"
#include "logs/Logmanager.h"
#include "params/Controlmanager.h"
#include "params/Datamanager.h"
#include "params/Zmienneglobalne.h"
#include "ui/IniFile.h"
#include "ui/RequestStrip.h"
#include "ui/ResultsTabView.h"
#include "ui/dialogs/Formodczytparam.h"

namespace quorvex {

Forms AppForms;

QEvent::Type ThreadMessageEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TMainForm1::TMainForm1(MDataParametry& model, const MainFormOptions& options, QWidget* parent)
    : QMainWindow(parent), model_(model)
{
    BuildWindow();
    settings = std::make_unique<IniFile>(options.settingsPath);
    portName = settings->ReadString(kSectionOkno, QStringLiteral("PortCom"), kUsbLink);
    if (!options.portOverride.isEmpty()) portName = options.portOverride;
    startResultsFile_ = options.resultsFile;
    if (options.startThread) CreateThread(options);
    translator = std::make_unique<MTranslate>();
    translator->SetMessageHandler([this](const QString& line) { AddMessageLine(line); });
    portErrorShown = false;
    hidAbsentShown = false;
    MessageHook = [this](const QString& line) { AddMessageLine(line); };
    TranslateHook = [this](const QString& text) { return translator->Tr(text); };

    FormCreate();
    if (!options.languageOverride.isEmpty()) language = NormalizeLanguage(options.languageOverride);
    if (AppForms.MainForm1 == nullptr) AppForms.MainForm1 = this;
}

TMainForm1::~TMainForm1()
{
    FormDestroy();
    if (AppForms.MainForm1 == this) AppForms.MainForm1 = nullptr;
}

const QString& TMainForm1::SettingsFilePath() const { return settings->Path(); }

void TMainForm1::ReadSettings()
{
    move(settings->ReadInteger(kSectionOkno, QStringLiteral("Left"), kDesignedLeft),
         settings->ReadInteger(kSectionOkno, QStringLiteral("Top"), kDesignedTop));
    language = settings->ReadString(kSectionOkno, QStringLiteral("Language"), kLanguagePolish);
}

void TMainForm1::WriteSettings()
{
    settings->WriteString(kSectionOkno, QStringLiteral("PortCom"), portName);
    settings->WriteString(kSectionOkno, QStringLiteral("Language"), NormalizeLanguage(language));
    settings->WriteInteger(kSectionOkno, QStringLiteral("Left"), pos().x());
    settings->WriteInteger(kSectionOkno, QStringLiteral("Top"), pos().y());
    // Written without checks: a settings folder that cannot be written must not
    // keep the program from ending.
    settings->Flush();
}

void TMainForm1::FormCreate()
{
    ReadSettings();
    controls = std::make_unique<MControlManager>(this);
    CreateLogManager();
    BindMonitorControls();
    controls->SetAllActive(false);
    PageControl1->setCurrentIndex(0);
    qApp->installEventFilter(this);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheetSerwis), false);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheetKomunikaty), false);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheetKorekta), false);

    auto connectDialog = [this](const char* button, QWidget* Forms::*form) {
        if (auto* b = findChild<QPushButton*>(QString::fromLatin1(button)))
            connect(b, &QPushButton::clicked, this, [this, form] { OpenDialog(AppForms.*form); });
    };
    connectDialog("ButtonUstawZegar", &Forms::FormZegar1);
    connectDialog("ButtonZmienNazwaLoggera", &Forms::FormNazwa1);
    connectDialog("ButtonZmienLogStart", &Forms::FormStartLog1);
    connectDialog("ButtonZmienProgiTemp", &Forms::FormTemperatura);
    connectDialog("ButtonZmienProgiWilgotnosc", &Forms::FormWilgotnosc);
    connectDialog("ButtonZmienFreqSave", &Forms::FormFreqSave1);
    connectDialog("ButtonKorektaTempHum", &Forms::FormKorekcja);
    connect(ButtonLogStart, &QPushButton::clicked, this, &TMainForm1::ButtonLogStartClick);
    connect(ButtonLogStop, &QPushButton::clicked, this, &TMainForm1::ButtonLogStopClick);
    ConnectServiceButtons();
    created_ = true;
}

void TMainForm1::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
        FormActivate();
    }
}

void TMainForm1::FormShow()
{
    FillHidList();
    MenuPortComInit();
    PortComSelected(portName);
    OfferStartLink(portName);
    ShowLinkStatus();
    StartDeviceWatcher();
    ShowResultsTab();
    MonitorReset();
    if (!startResultsFile_.isEmpty()) OpenResultsFile(std::exchange(startResultsFile_, QString()));
}

void TMainForm1::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && shown_) FormActivate();
}

void TMainForm1::FormActivate()
{
    setWindowTitle(kMainCaption);
    ApplyLanguage(language);
}

void TMainForm1::ApplyLanguage(const QString& lang)
{
    language = NormalizeLanguage(lang);
    TranslateWindow(*translator, language, this);
    TranslateMenu(*translator, language, menuBar());
    if (AppForms.FormDrukuj1) TranslateWindow(*translator, language, AppForms.FormDrukuj1);
    if (logs) logs->RefreshView();
    ShowLinkStatus();
    SetLoggerState(-1);
}

void TMainForm1::OpenDialog(QWidget* dialog)
{
    if (!dialog) return;
    TranslateWindow(*translator, language, dialog);
    if (auto* d = qobject_cast<QDialog*>(dialog))
        d->exec();
    else
        dialog->show();
    model_.UpdateDependencies();
    controls->RefreshAll();
}

void TMainForm1::MonitorReset()
{
    model_.InvalidateAll();
    if (connState_ == CONN_NONE) return;
    paramsReady_ = false;
    connState_ = CONN_NONE;
    model_.InvalidateAll();
    controls->SetAllActive(false);
    if (logs) {
        logs->StopRead();
        logs->RefreshView();
    }
    for (QWidget* dialog : {AppForms.FormNazwa1, AppForms.FormZegar1, AppForms.FormTemperatura,
                            AppForms.FormWilgotnosc, AppForms.FormFreqSave1, AppForms.FormStartLog1,
                            AppForms.FormKorekcja})
        if (dialog) dialog->close();
}

void TMainForm1::ParamReadProgress()
{
    if (connState_ == CONN_NONE) connState_ = CONN_READING;
    if (connState_ != CONN_READING) return;
    const int total = model_.ParameterCount();
    const int read = model_.ValueCount();
    if (TFormOdczytParam1* wait = AppForms.FormOdczytParam1) {
        wait->setWindowTitle(translator->Tr(QStringLiteral("[601]Odczyt danych")));
        wait->SetCounts(total, read);
        if (!wait->isVisible()) wait->show();
    }
    if (read >= total) {
        controls->SetAllActive(true);
        connState_ = CONN_READY;
        paramsReady_ = true;
        if (logs) logs->RefreshView();
    }
}

void TMainForm1::ToggleCorrectionTab()
{
    const int index = PageControl1->indexOf(TabSheetKorekta);
    PageControl1->setTabVisible(index, !PageControl1->isTabVisible(index));
}

bool TMainForm1::eventFilter(QObject* watched, QEvent* e)
{
    if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(e);
        auto* widget = static_cast<QWidget*>(watched);
        const bool keypad2 = (key->modifiers() & Qt::KeypadModifier) &&
                             (key->key() == Qt::Key_2 || key->key() == Qt::Key_Down);
        if (keypad2 && !key->isAutoRepeat()) keypad2Down_ = e->type() == QEvent::KeyPress;
        // A key event not taken by a widget travels on to its parents and passes
        // here once for each: only its first stop counts.
        const bool passingOn = e == lastKeyEvent_ && lastKeyReceiver_ && widget->isAncestorOf(lastKeyReceiver_);
        lastKeyEvent_ = e;
        lastKeyReceiver_ = widget;
        if (e->type() == QEvent::KeyPress && !passingOn) {
            const Qt::KeyboardModifiers mods = key->modifiers();
            const bool chord = (mods & Qt::ControlModifier) && (mods & Qt::ShiftModifier) &&
                               (key->key() == Qt::Key_F9 || key->key() == Qt::Key_K);
            if (chord && !keypad2Down_) ToggleCorrectionTab();
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm1::closeEvent(QCloseEvent* e)
{
    FormDestroy();
    e->accept();
}

void TMainForm1::FormDestroy()
{
    if (destroyed_ || !created_) return;
    destroyed_ = true;
    EnqueueHook = nullptr;
    MessageHook = nullptr;
    qApp->removeEventFilter(this);
    WriteSettings();
    settings.reset();
    EndThread();
    // The translator goes after the thread: the thread's last status texts may
    // still be translated while it ends.
    TranslateHook = nullptr;
    translator->SetMessageHandler({});
    EndLogManager();
    controls.reset();
}

void TMainForm1::AddMessageLine(const QString& line)
{
    if (MessageListBox->count() > 0 && line == lastMessageLine_) return;
    lastMessageLine_ = line;
    MessageListBox->addItem(line);
}

}  // namespace quorvex
