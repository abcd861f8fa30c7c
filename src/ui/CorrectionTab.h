#pragma once
// The hidden "[604]Korekta" tab: the current temperature and humidity beside the
// corrections the logger adds to them, bound to the parameter model as they are made.
// Ctrl+Shift+F9 (or Ctrl+Shift+K) shows or hides it, unless keypad 2 is held down.
#include <QPointer>
#include <QWidget>

#include "ui/TabParts.h"

class QEvent;
class QTabWidget;

namespace quorvex {

class ControlBindings;
class ParameterModel;

class CorrectionTab : public QWidget {
    Q_OBJECT
public:
    // `tabs`: the tab widget it is shown and hidden in.
    CorrectionTab(ParameterModel& model, ControlBindings& bindings, QTabWidget& tabs, QWidget* parent = nullptr);
    ~CorrectionTab() override;

    // Listens for the key chord in every window of the program (on), or no longer (off).
    void HearChord(bool on);
    // Shows the tab when hidden, hides it when shown: what the chord does.
    void Toggle();

signals:
    // The change button: the operator wants to change the corrections.
    void edit(ParameterDialog dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QTabWidget& tabs_;
    bool hearing_ = false;
    bool keypad2Down_ = false;
    // The key event seen last and the widget it was seen at: a key not taken by a widget
    // travels on to its parents and passes the filter once for each.
    const QEvent* lastKeyEvent_ = nullptr;
    QPointer<QWidget> lastKeyReceiver_;
};

}  // namespace quorvex
