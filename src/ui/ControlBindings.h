#pragma once
// Bindings between the main window's monitor fields and the parameter model:
// each binding greys or enables one field with its labels, group box and change
// button, empties it, or copies its parameter's text or value into it.
// ControlBindings owns the window's bindings and switches or refreshes all of
// them at once, or only those a reply changed. Each tab makes the bindings of the
// widgets it builds as it builds them. Used on the user-interface thread only.
#include <QColor>

#include <memory>
#include <optional>
#include <vector>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace quorvex {

class Parameter;
class ParameterModel;

// Colours of the monitor.
inline const QColor kMoneyGreen{192, 220, 192};    // enabled edit box
inline const QColor kCaptionPurple{128, 0, 128};   // enabled group box caption
inline const QColor kDisabledGrey{128, 128, 128};  // disabled captions and radio texts

class ControlBinding {
public:
    ControlBinding() = default;
    virtual ~ControlBinding() = default;
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;

    // Everything anew: enabled or grey, colours, and the value.
    void Refresh();
    // Only what changed since the last refresh: the enabled and grey states when what
    // they depend on changed (active, available, applicable, recording), the value when
    // `valueChanged` says the parameter changed or the states were set anew.
    void Update(bool valueChanged);
    virtual void SetValueEnabled(bool on);
    virtual void SetAllEnabled(bool on);

    bool Active = false;
    QLabel* CaptionLabel = nullptr;
    QLabel* UnitLabel = nullptr;
    QGroupBox* Box = nullptr;
    QAbstractButton* Button = nullptr;
    QColor Color;
    Parameter* Param = nullptr;
    // RecordingActive of this model decides the change button (may be null: always enabled).
    const ParameterModel* Model = nullptr;

protected:
    void EnableLabels(bool on);
    // The two halves of Refresh.
    virtual void ApplyEnabled();
    virtual void ShowValue() {}

private:
    // What the enabled and grey states follow.
    struct EnableInputs {
        bool active = false;
        bool available = true;
        bool applicable = true;
        bool recording = false;
        bool operator==(const EnableInputs&) const = default;
    };
    EnableInputs Inputs() const;
    std::optional<EnableInputs> applied_;  // as last set on the widgets; empty before the first refresh
};

// A read-only edit box showing the parameter's text.
class EditorBinding : public ControlBinding {
public:
    explicit EditorBinding(QLineEdit* edit);
    void SetValueEnabled(bool on) override;
    void SetAllEnabled(bool on) override;

    QLineEdit* Control;

protected:
    void ApplyEnabled() override;
    void ShowValue() override;

private:
    void ShowEnabled(bool on);
};

// A group box of radio buttons; the k-th radio is checked when the value is k.
class RadioGroupBinding : public ControlBinding {
public:
    explicit RadioGroupBinding(QGroupBox* box);
    void SetValueEnabled(bool on) override;
    void SetAllEnabled(bool on) override;

    QGroupBox* Control;

    // The radio buttons among the group box's children, in child order, up to
    // the first child that is not a radio button.
    std::vector<QRadioButton*> Radios() const;

protected:
    void ShowValue() override;

private:
    void SetRadioColour(bool on);
};

// What greys with a field besides the field itself; any of them may be missing.
struct BindingFrame {
    QGroupBox* box = nullptr;           // its group box (the caption turns grey with it)
    QAbstractButton* button = nullptr;  // its change button
    QLabel* caption = nullptr;
    QLabel* unit = nullptr;
};

class ControlBindings {
public:
    // `model`: whose recording state decides the change buttons.
    explicit ControlBindings(const ParameterModel& model) : model_(model) {}
    ~ControlBindings();
    ControlBindings(const ControlBindings&) = delete;
    ControlBindings& operator=(const ControlBindings&) = delete;

    // A frame that greys with the link alone (no parameter of its own).
    ControlBinding& AddFrame(const BindingFrame& frame);
    // A read-only edit box showing `param`'s text.
    EditorBinding& AddEditor(QLineEdit* edit, Parameter& param, const BindingFrame& frame = {});
    // A group box of radio buttons showing `param`'s value.
    RadioGroupBinding& AddRadios(QGroupBox* group, Parameter& param);
    // Every binding anew (a new language writes the numbers with its separator).
    void RefreshAll();
    // After a reply: the values of the bindings whose parameter is among `changed`, and
    // the states of those whose inputs changed. A reply that changed nothing changes
    // nothing on screen.
    void Update(const std::vector<const Parameter*>& changed);
    void SetAllActive(bool on);

    std::size_t Count() const { return list_.size(); }

private:
    ControlBinding& Take(std::unique_ptr<ControlBinding> binding, const BindingFrame& frame, Parameter* param);

    const ParameterModel& model_;
    std::vector<std::unique_ptr<ControlBinding>> list_;
};

// The caption colour of a group box (its fields keep theirs).
void SetCaptionColour(QGroupBox* box, const QColor& colour);
// Gives a widget a text colour (captions, radio texts) through its palette.
void SetTextColour(QWidget* widget, const QColor& colour);

}  // namespace quorvex
