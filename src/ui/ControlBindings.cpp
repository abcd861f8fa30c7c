#include "ui/ControlBindings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>

#include "params/ParameterModel.h"

namespace quorvex {

void SetCaptionColour(QGroupBox* box, const QColor& colour) {
    // Only the caption: a palette would be inherited by every field in the box.
    // A new style sheet re-polishes the box and every field in it, so it is
    // applied only when the colour changes, not on every refresh.
    static const char* const kApplied = "quorvexCaptionColour";
    if (box->property(kApplied).value<QColor>() == colour) return;
    box->setProperty(kApplied, colour);
    box->setStyleSheet(QStringLiteral("QGroupBox#%1::title { color: %2; }").arg(box->objectName(), colour.name()));
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, colour);
        p.setColor(group, QPalette::ButtonText, colour);
        p.setColor(group, QPalette::Text, colour);
    }
    widget->setPalette(p);
}

namespace {
void SetBase(QLineEdit* edit, const QColor& colour) {
    QPalette p = edit->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, colour);
    edit->setPalette(p);
}

QColor ButtonFace() { return QApplication::palette().color(QPalette::Button); }
}  // namespace

// ---- ControlBinding ----

void ControlBinding::EnableLabels(bool on) {
    if (CaptionLabel) CaptionLabel->setEnabled(on);
    if (UnitLabel) UnitLabel->setEnabled(on);
}

void ControlBinding::SetAllEnabled(bool on) {
    EnableLabels(on);
    if (Box) {
        Box->setEnabled(on);
        SetCaptionColour(Box, on ? kCaptionPurple : kDisabledGrey);
    }
    if (Button) Button->setEnabled(on);
}

void ControlBinding::SetValueEnabled(bool on) { EnableLabels(on); }

void ControlBinding::ApplyEnabled() {
    SetAllEnabled(Active);
    if (!Active || !Param) return;
    SetAllEnabled(Param->Available);
    if (!Param->Available) return;
    SetValueEnabled(Param->Applicable);
}

ControlBinding::EnableInputs ControlBinding::Inputs() const {
    EnableInputs in;
    in.active = Active;
    if (Param) {
        in.available = Param->Available;
        in.applicable = Param->Applicable;
    }
    in.recording = Model && Model->RecordingActive();
    return in;
}

void ControlBinding::Refresh() {
    ApplyEnabled();
    ShowValue();
    applied_ = Inputs();
}

void ControlBinding::Update(bool valueChanged) {
    // Greying a field empties it: the value is written again whenever the states were.
    if (applied_ != Inputs())
        Refresh();
    else if (valueChanged)
        ShowValue();
}

// ---- EditorBinding ----

EditorBinding::EditorBinding(QLineEdit* edit) : Control(edit) {
    Color = kMoneyGreen;
    Control->setReadOnly(true);
    Control->setFocusPolicy(Qt::NoFocus);
}

void EditorBinding::ShowEnabled(bool on) {
    SetBase(Control, on ? Color : ButtonFace());
    Control->setEnabled(on);
}

void EditorBinding::SetAllEnabled(bool on) {
    ControlBinding::SetAllEnabled(on);
    ShowEnabled(on);
    if (!on) Control->clear();
}

void EditorBinding::SetValueEnabled(bool on) {
    ControlBinding::SetValueEnabled(on);
    if (Active) ShowEnabled(on);
}

void EditorBinding::ApplyEnabled() {
    ControlBinding::ApplyEnabled();
    if (!Active || !Param || !Param->Available) return;
    if (Button) Button->setEnabled(!(Model && Model->RecordingActive()));
}

void EditorBinding::ShowValue() {
    if (!Active || !Param || !Param->Available) return;
    // An unchanged text is left alone: setting it again repaints the field
    // (a new language rewrites every field, most with the same text).
    const QString text = Param->GetText();
    if (Control->text() != text) {
        Control->setText(text);
        Control->setCursorPosition(0);
    }
}

// ---- RadioGroupBinding ----

RadioGroupBinding::RadioGroupBinding(QGroupBox* box) : Control(box) {
    // The radios only show the value: the operator can never click them. The
    // group box itself stays drawn normally; its radios carry the state.
    for (QRadioButton* r : Radios()) r->setAttribute(Qt::WA_TransparentForMouseEvents);
    Control->setFocusPolicy(Qt::NoFocus);
    for (QRadioButton* r : Radios()) r->setFocusPolicy(Qt::NoFocus);
}

std::vector<QRadioButton*> RadioGroupBinding::Radios() const {
    std::vector<QRadioButton*> radios;
    for (QObject* child : Control->children()) {
        if (!child->isWidgetType()) continue;  // layouts are not controls
        auto* radio = qobject_cast<QRadioButton*>(child);
        if (!radio) break;
        radios.push_back(radio);
    }
    return radios;
}

void RadioGroupBinding::SetRadioColour(bool on) {
    for (QRadioButton* r : Radios()) SetTextColour(r, on ? QColor(Qt::black) : kDisabledGrey);
}

void RadioGroupBinding::SetAllEnabled(bool on) {
    ControlBinding::SetAllEnabled(on);
    for (QRadioButton* r : Radios()) {
        SetRadioColour(on);
        r->setEnabled(on);
        if (!on) {
            // Auto-exclusive radios refuse to uncheck the last checked one.
            r->setAutoExclusive(false);
            r->setChecked(false);
            r->setAutoExclusive(true);
        }
    }
}

void RadioGroupBinding::SetValueEnabled(bool on) {
    ControlBinding::SetValueEnabled(on);
    if (!Active) return;
    for (QRadioButton* r : Radios()) {
        r->setEnabled(on);
        SetRadioColour(on);
    }
}

void RadioGroupBinding::ShowValue() {
    if (!Active || !Param || !Param->Available) return;
    const int value = Param->GetValue();
    int k = 0;
    for (QRadioButton* r : Radios()) {
        r->setAutoExclusive(false);
        r->setChecked(k == value);
        r->setAutoExclusive(true);
        ++k;
    }
}

// ---- ControlBindings ----

ControlBindings::~ControlBindings() = default;

ControlBinding& ControlBindings::Take(std::unique_ptr<ControlBinding> binding, const BindingFrame& frame,
                                      Parameter* param) {
    binding->Box = frame.box;
    binding->Button = frame.button;
    binding->CaptionLabel = frame.caption;
    binding->UnitLabel = frame.unit;
    binding->Param = param;
    binding->Model = &model_;
    list_.push_back(std::move(binding));
    return *list_.back();
}

ControlBinding& ControlBindings::AddFrame(const BindingFrame& frame) {
    return Take(std::make_unique<ControlBinding>(), frame, nullptr);
}

EditorBinding& ControlBindings::AddEditor(QLineEdit* edit, Parameter& param, const BindingFrame& frame) {
    return static_cast<EditorBinding&>(Take(std::make_unique<EditorBinding>(edit), frame, &param));
}

RadioGroupBinding& ControlBindings::AddRadios(QGroupBox* group, Parameter& param) {
    return static_cast<RadioGroupBinding&>(Take(std::make_unique<RadioGroupBinding>(group), {}, &param));
}

void ControlBindings::RefreshAll() {
    for (const auto& c : list_) c->Refresh();
}

void ControlBindings::Update(const std::vector<const Parameter*>& changed) {
    for (const auto& c : list_)
        c->Update(c->Param && std::find(changed.begin(), changed.end(), c->Param) != changed.end());
}

void ControlBindings::SetAllActive(bool on) {
    for (const auto& c : list_) c->Active = on;
    RefreshAll();
}

}  // namespace quorvex
