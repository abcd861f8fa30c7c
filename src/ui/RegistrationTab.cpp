#include "ui/RegistrationTab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "chart/SharedNames.h"
#include "params/ParameterModel.h"
#include "params/StatusParameters.h"
#include "ui/ControlBindings.h"
#include "ui/ObjectNames.h"

namespace quorvex {

RegistrationTab::RegistrationTab(ParameterModel& model, ControlBindings& bindings, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(objname::kRegistrationTab));
    ParameterModel& m = model;
    auto* v = new QVBoxLayout(this);

    auto* reg = Group(this, objname::kRegistrationGroup, QStringLiteral("[210]Parametry startu i rejestracji"));
    bindings.AddFrame({.box = reg});
    auto* rg = new QGridLayout(reg);
    auto* startRow = new QHBoxLayout;
    auto* startCaption = Label(reg, objname::kStartMomentCaption, QStringLiteral("[211]Start rejestracji:"));
    auto* startDate = Edit(reg, objname::kStartDateField, 110);
    auto* startTime = Edit(reg, objname::kStartTimeField, 90);
    startRow->addWidget(startCaption);
    startRow->addWidget(startDate);
    startRow->addWidget(startTime);
    startRow->addStretch();
    rg->addLayout(startRow, 0, 0, 1, 2);

    auto* mode = Group(reg, objname::kStartModeGroup, QStringLiteral("[220]Sposób uruchomienia rejestracji:"));
    auto* ml = new QVBoxLayout(mode);
    ml->addWidget(Named(new QRadioButton(StartModeCaption(0), mode), objname::kButtonStartMode));
    ml->addWidget(Named(new QRadioButton(StartModeCaption(1), mode), objname::kImmediateStartMode));
    ml->addWidget(Named(new QRadioButton(StartModeCaption(2), mode), objname::kTimedStartMode));
    auto* wrap = Group(reg, objname::kWrapGroup, QStringLiteral("[230]Po zapełnieniu pamięci:"));
    auto* wl = new QVBoxLayout(wrap);
    wl->addWidget(Named(new QRadioButton(WrapAroundCaption(0), wrap), objname::kStopWhenFullMode));
    wl->addWidget(Named(new QRadioButton(WrapAroundCaption(1), wrap), objname::kOverwriteMode));
    wl->addStretch();
    rg->addWidget(mode, 1, 0);
    rg->addWidget(wrap, 1, 1);
    auto* changeStart = Button(reg, objname::kChangeStartButton, QStringLiteral("[1]Zmień"));
    rg->addWidget(changeStart, 2, 1, Qt::AlignRight);
    connect(changeStart, &QPushButton::clicked, this, [this] { emit edit(ParameterDialog::Start); });
    bindings.AddRadios(mode, m.Param<StartLog>());
    bindings.AddRadios(wrap, m.Param<WrapAround>());
    bindings.AddEditor(startDate, m.Param<LogStartDate>(), {.button = changeStart});
    bindings.AddEditor(startTime, m.Param<LogStartTime>(), {.caption = startCaption});

    auto* save = Group(this, objname::kSavingGroup, QStringLiteral("[240]Parametry zapisu"));
    bindings.AddFrame({.box = save});
    auto* sg = new QGridLayout(save);
    auto* intervalCaption = Label(save, objname::kIntervalCaption, QStringLiteral("[241]Częstość zapisu:"));
    auto* interval = Edit(save, objname::kIntervalField, 200);
    auto* countCaption = Label(save, objname::kSavedCountCaption, QStringLiteral("[242]Liczba zapisanych pomiarów:"));
    auto* count = Edit(save, objname::kSavedCountField, 200);
    Row(sg, 0, intervalCaption, interval);
    Row(sg, 1, countCaption, count);
    sg->setColumnStretch(2, 1);
    auto* changeInterval = Button(save, objname::kChangeIntervalButton, QStringLiteral("[1]Zmień"));
    sg->addWidget(changeInterval, 2, 1, 1, 2, Qt::AlignRight);
    connect(changeInterval, &QPushButton::clicked, this, [this] { emit edit(ParameterDialog::SaveInterval); });
    bindings.AddEditor(interval, m.Param<WriteInterval>(), {.caption = intervalCaption});
    bindings.AddEditor(count, m.Param<WriteIndex>(), {.button = changeInterval, .caption = countCaption});

    v->addWidget(reg);
    v->addWidget(save);
    v->addStretch();
}

}  // namespace quorvex
