#include "ui/DeviceTab.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "params/ParameterModel.h"
#include "ui/ControlBindings.h"
#include "ui/ObjectNames.h"
#include "ui/TabParts.h"

namespace quorvex {

DeviceTab::DeviceTab(ParameterModel& model, ControlBindings& bindings, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(objname::kDeviceTab));
    ParameterModel& m = model;
    auto* v = new QVBoxLayout(this);
    auto* dev = Group(this, objname::kDeviceGroup, QStringLiteral("[510]Parametry urządzenia"));
    bindings.AddFrame({.box = dev});
    auto* g = new QGridLayout(dev);
    // One row: its caption and field, the field bound to `param`.
    auto row = [&](int at, const char* captionName, const char* caption, const char* fieldName, Parameter& param) {
        auto* label = Label(dev, captionName, QString::fromUtf8(caption));
        auto* field = Edit(dev, fieldName, 200);
        Row(g, at, label, field);
        bindings.AddEditor(field, param, {.caption = label});
    };
    row(0, objname::kTypeCaption, "[511]Typ:", objname::kTypeField, m.Param<DeviceType>());
    row(1, objname::kSerialCaption, "[512]Numer seryjny:", objname::kSerialField, m.Param<SerialNumber>());
    row(2, objname::kMadeCaption, "[513]Data produkcji:", objname::kMadeField, m.Param<ProductionDate>());
    row(3, objname::kFirmwareCaption, "[515]Wersja oprogramowania:", objname::kFirmwareField,
        m.Param<VersionFirmware>());
    row(4, objname::kBatteryCaption, "[517]Stan baterii:", objname::kBatteryField, m.Param<BatteryStatus>());
    row(5, objname::kMeasuredCaption, "[516]Liczba pomiarów od początku:", objname::kMeasuredField,
        m.Param<LogCounter>());
    g->setColumnStretch(2, 1);
    v->addWidget(dev);
    v->addStretch();
}

}  // namespace quorvex
