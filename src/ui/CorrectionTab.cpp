#include "ui/CorrectionTab.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "params/ParameterModel.h"
#include "ui/ControlBindings.h"
#include "ui/ObjectNames.h"

namespace quorvex {

CorrectionTab::CorrectionTab(ParameterModel& model, ControlBindings& bindings, QTabWidget& tabs, QWidget* parent)
    : QWidget(parent), tabs_(tabs) {
    setObjectName(QString::fromLatin1(objname::kCorrectionTab));
    ParameterModel& m = model;
    auto* v = new QVBoxLayout(this);
    auto* box = Group(this, objname::kCorrectionGroup, QStringLiteral("[604]Korekta"));
    auto* g = new QGridLayout(box);
    const QString celsius = QStringLiteral("°C");
    const QString percent = QStringLiteral("%");
    struct Line {
        QLabel *caption, *unit;
        QLineEdit* field;
    };
    auto line = [&](int row, const char* captionName, const QString& caption, const char* fieldName,
                    const char* unitName, const QString& unit) {
        Line l{Label(box, captionName, caption), nullptr, Edit(box, fieldName, 120)};
        l.unit = Label(box, unitName, unit);
        Row(g, row, l.caption, l.field, l.unit);
        return l;
    };
    const Line temp = line(0, objname::kCorrTempCaption, QStringLiteral("[140]Temperatura"), objname::kCorrTempField,
                           objname::kCorrTempUnit, celsius);
    const Line hum = line(1, objname::kCorrHumCaption, QStringLiteral("[150]Wilgotność"), objname::kCorrHumField,
                          objname::kCorrHumUnit, percent);
    const Line tempCorrection = line(2, objname::kTempCorrectionCaption, QStringLiteral("[605]Korekta temperatury:"),
                                     objname::kTempCorrectionField, objname::kTempCorrectionUnit, celsius);
    const Line humCorrection = line(3, objname::kHumCorrectionCaption, QStringLiteral("[606]Korekta wilgotności:"),
                                    objname::kHumCorrectionField, objname::kHumCorrectionUnit, percent);
    auto* change = Button(box, objname::kCorrectionButton, QStringLiteral("[1]Zmień"));
    g->addWidget(change, 4, 1, Qt::AlignRight);
    connect(change, &QPushButton::clicked, this, [this] { emit edit(ParameterDialog::Correction); });
    g->setColumnStretch(3, 1);
    v->addWidget(box);
    v->addStretch();
    // The captions grey with their fields (humidity on a temperature-only logger).
    bindings.AddEditor(temp.field, m.Param<CurrentTemp>(),
                       {.box = box, .button = change, .caption = temp.caption, .unit = temp.unit});
    bindings.AddEditor(hum.field, m.Param<CurrentHum>(), {.caption = hum.caption, .unit = hum.unit});
    bindings.AddEditor(tempCorrection.field, m.Param<CorrectionTemp>(),
                       {.caption = tempCorrection.caption, .unit = tempCorrection.unit});
    bindings.AddEditor(humCorrection.field, m.Param<CorrectionHum>(),
                       {.caption = humCorrection.caption, .unit = humCorrection.unit});
}

CorrectionTab::~CorrectionTab() { HearChord(false); }

void CorrectionTab::HearChord(bool on) {
    if (on == hearing_) return;
    hearing_ = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void CorrectionTab::Toggle() {
    const int index = tabs_.indexOf(this);
    tabs_.setTabVisible(index, !tabs_.isTabVisible(index));
}

bool CorrectionTab::eventFilter(QObject* watched, QEvent* e) {
    if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && watched->isWidgetType()) {
        auto* key = static_cast<QKeyEvent*>(e);
        auto* widget = static_cast<QWidget*>(watched);
        const bool keypad2 =
            (key->modifiers() & Qt::KeypadModifier) && (key->key() == Qt::Key_2 || key->key() == Qt::Key_Down);
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
            if (chord && !keypad2Down_) Toggle();
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace quorvex
