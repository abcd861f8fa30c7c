#pragma once
// The logger state panel of the monitor tab: one or two sentences telling the
// operator what the logger is doing, drawn 11 pt bold, word-wrapped, centred
// horizontally and starting at the top edge.
#include <QString>
#include <QWidget>

namespace quorvex {

class StatePanel : public QWidget {
    Q_OBJECT
public:
    explicit StatePanel(QWidget* parent = nullptr);
    void SetText(const QString& text);
    const QString& Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

}  // namespace quorvex
