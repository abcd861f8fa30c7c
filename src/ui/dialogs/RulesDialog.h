#pragma once
// Settings → "Reguły oceny…": the excursion rules the verdict judges every log by, one row
// a rule (series, above or below, limit, single excursion or total time, the time allowed in
// minutes). Limits and minutes are typed with either decimal separator. Save reads every row
// and stores the set in the settings file only when all of them are good; the first row that
// is not (an empty or unparsable limit or time, a negative time, a humidity or dew point rule
// for a logger without humidity) is named in an error box and nothing is stored. An empty
// table stores no set: the verdict then follows the logger's own thresholds.
#include <QDialog>
#include <QList>

#include "logs/ExcursionRules.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace quorvex {

class IniFile;

class RulesDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { ColumnSeries, ColumnSide, ColumnLimit, ColumnMeasure, ColumnMinutes, ColumnCount };

    // Shows the rules stored in `settings` (none when the stored set is damaged).
    // `humidityLogger`: the logger whose results are judged measures humidity.
    RulesDialog(IniFile& settings, bool humidityLogger, QWidget* parent = nullptr);

    // A row showing `rule`, at the end of the table.
    void AddRule(const ExcursionRule& rule = {});
    void onRemoveClicked();
    // Reads and stores the rows; false (with the error box shown) when a row is refused.
    bool onSaveClicked();

    QTableWidget* table = nullptr;
    QLabel* note = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* closeButton = nullptr;

private:
    void FitTable();

    IniFile& settings_;
    bool humidity_;
};

}  // namespace quorvex
