#pragma once
// The parameter-read wait window: a small stay-on-top window whose bar follows
// how many logger parameters have arrived; it closes by itself once the bar is
// full, or when the logger stops answering.
#include <QDialog>

class QProgressBar;
class QTimer;

namespace quorvex {

class ParameterReadWindow : public QDialog {
    Q_OBJECT
public:
    explicit ParameterReadWindow(QWidget* parent = nullptr);
    void SetCounts(int total, int received);

    QProgressBar* progressBar;
    QTimer* pollTimer;
    int Total = 0;
    int Received = 0;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void onPollTimer();
};

}  // namespace quorvex
