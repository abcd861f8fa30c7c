#pragma once
// The hidden "[602]Komunikaty" tab: the message log of the link, the parameter model and
// the translator, one line each, a line equal to the last one left out.
#include <QString>
#include <QStringList>
#include <QWidget>

class QListWidget;

namespace quorvex {

class MessagesTab : public QWidget {
    Q_OBJECT
public:
    explicit MessagesTab(QWidget* parent = nullptr);

    // Appends `line` unless it equals the last one.
    void AddLine(const QString& line);
    // Every line so far, oldest first.
    QStringList Lines() const;

private:
    QListWidget* list_ = nullptr;
    QString lastLine_;
};

}  // namespace quorvex
