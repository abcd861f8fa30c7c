#pragma once
// The hidden "[603]Serwis" tab: the transmission error counters and the button that
// zeroes them, the logger reset, the list of every parameter with its current text and
// the HID devices the system lists. Its texts are plain Polish: the translator leaves
// them alone. What it asks of the link goes out as signals; the main window answers.
#include <QStringList>
#include <QWidget>

class QListWidget;
class QTreeWidget;

namespace quorvex {

class ParameterModel;
class Translator;

class ServiceTab : public QWidget {
    Q_OBJECT
public:
    ServiceTab(const ParameterModel& model, Translator& translator, QWidget* parent = nullptr);

    // The counters as "name=value" lines; rows already there keep their place and change
    // only where their text did.
    void ShowCounters(const QStringList& lines);
    void ShowHidDevices(const QStringList& products);
    // "Pobierz liste parametrów": every parameter with its current text.
    void ReadParameters();
    // The box saying the reset was not sent: no logger is connected.
    void SayResetRefused();

signals:
    // "Zeruj": the counters are to start from nought.
    void zero();
    // "Reset": the logger is to restart.
    void reset();
    // The tab came into view: its counters, left alone while it was hidden, are due.
    void shown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const ParameterModel& model_;
    Translator& translator_;
    QTreeWidget* counters_ = nullptr;
    QTreeWidget* parameters_ = nullptr;
    QListWidget* hidDevices_ = nullptr;
};

}  // namespace quorvex
