#include "ui/dialogs/RulesDialog.h"

#include <algorithm>

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "i18n/ProgramTexts.h"
#include "params/Codecs.h"
#include "settings/IniFile.h"
#include "ui/dialogs/DialogInput.h"
#include "ui/dialogs/DialogParts.h"
#include "ui/dialogs/ObjectNames.h"

namespace quorvex {

namespace {

QString Tr(const char16_t* text) { return TranslateText(QString::fromUtf16(text)); }

// A number as the operator would type it: the screen's separator, no trailing zeros.
QString NumberText(double value) { return QString::number(value, 'g', 7).replace(u'.', DecimalSeparator()); }

QComboBox* Choice(QWidget* parent, const QList<std::pair<QString, int>>& items, int current) {
    auto* box = new QComboBox(parent);
    for (const auto& [text, value] : items) box->addItem(text, value);
    box->setCurrentIndex(std::max(0, box->findData(current)));
    return box;
}

int ChoiceOf(QTableWidget* table, int row, int column) {
    auto* box = qobject_cast<QComboBox*>(table->cellWidget(row, column));
    return box ? box->currentData().toInt() : 0;
}

QLineEdit* EditOf(QTableWidget* table, int row, int column) {
    return qobject_cast<QLineEdit*>(table->cellWidget(row, column));
}

// The kinetic temperature rule has a limit only: its other cells have nothing to say.
void FollowSeries(QTableWidget* table, int row) {
    const bool kinetic = ChoiceOf(table, row, RulesDialog::ColumnSeries) == int(RuleSeries::KineticTemperature);
    for (int column : {RulesDialog::ColumnSide, RulesDialog::ColumnMeasure, RulesDialog::ColumnMinutes})
        if (QWidget* cell = table->cellWidget(row, column)) cell->setEnabled(!kinetic);
}

}  // namespace

RulesDialog::RulesDialog(IniFile& settings, bool humidityLogger, QWidget* parent)
    : QDialog(parent), settings_(settings), humidity_(humidityLogger) {
    setObjectName(QString::fromLatin1(objname::kRulesDialog));
    const QString title = TitleOfItem(Tr(u"[2411]Reguły oceny…"));
    setWindowTitle(title);
    setModal(true);

    table = Named(new QTableWidget(0, ColumnCount, this), objname::kRulesTable);
    table->setHorizontalHeaderLabels({Tr(u"[2445]Wielkość"), Tr(u"[2446]Kierunek"), Tr(u"[2449]Wartość graniczna"),
                                      Tr(u"[2450]Miara"), Tr(u"[2453]Dopuszczalny czas [min]")});
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);

    note = Named(new QLabel(Tr(u"[2456]Bez reguł w tabeli ocena idzie według progów alarmowych loggera: "
                               u"każdy odczyt poza progiem jest niezgodny."),
                            this),
                 objname::kRulesNote);
    note->setWordWrap(true);

    addButton = Named(new QPushButton(Tr(u"[2454]Dodaj regułę"), this), objname::kAddRuleButton);
    removeButton = Named(new QPushButton(Tr(u"[2455]Usuń regułę"), this), objname::kRemoveRuleButton);
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(addButton);
    rowButtons->addWidget(removeButton);
    rowButtons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table, 1);
    layout->addLayout(rowButtons);
    layout->addWidget(note);
    AddSaveCloseButtons(this, layout, saveButton, closeButton);
    saveButton->setText(Tr(u"[14]Zapisz"));
    closeButton->setText(Tr(u"[15]Anuluj"));

    connect(addButton, &QPushButton::clicked, this, [this] { AddRule(); });
    connect(removeButton, &QPushButton::clicked, this, &RulesDialog::onRemoveClicked);
    connect(saveButton, &QPushButton::clicked, this, [this] {
        if (onSaveClicked()) accept();
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    // A damaged set shows as none: saving then replaces it with what the table holds.
    for (const ExcursionRule& rule : LoadRules(settings_).rules) AddRule(rule);
    if (table->rowCount() == 0) {
        // Sized for a row even when there is none yet.
        AddRule();
        FitTable();
        table->removeRow(0);
    }
    resize(sizeHint().expandedTo(QSize(820, 360)));
}

void RulesDialog::FitTable() {
    table->resizeColumnsToContents();
    // Every column in view, none behind a scroll bar.
    table->setMinimumWidth(std::max(table->minimumWidth(), table->horizontalHeader()->length() +
                                                               table->verticalHeader()->sizeHint().width() +
                                                               2 * table->frameWidth() + 24));
}

void RulesDialog::AddRule(const ExcursionRule& rule) {
    const int row = table->rowCount();
    table->insertRow(row);
    auto* series = Choice(table,
                          {{Tr(u"[140]Temperatura"), int(RuleSeries::Temperature)},
                           {Tr(u"[150]Wilgotność"), int(RuleSeries::Humidity)},
                           {Tr(u"[2405]Punkt rosy"), int(RuleSeries::DewPoint)},
                           {Tr(u"[2147]Średnia temperatura kinetyczna (MKT)"), int(RuleSeries::KineticTemperature)}},
                          int(rule.series));
    table->setCellWidget(row, ColumnSeries, series);
    table->setCellWidget(
        row, ColumnSide,
        Choice(table, {{Tr(u"[2447]powyżej"), int(RuleSide::Above)}, {Tr(u"[2448]poniżej"), int(RuleSide::Below)}},
               int(rule.side)));
    table->setCellWidget(row, ColumnLimit, new QLineEdit(NumberText(rule.limit), table));
    table->setCellWidget(row, ColumnMeasure,
                         Choice(table,
                                {{Tr(u"[2451]pojedyncze przekroczenie"), int(RuleMeasure::SingleExcursion)},
                                 {Tr(u"[2452]łączny czas"), int(RuleMeasure::TotalTime)}},
                                int(rule.measure)));
    table->setCellWidget(row, ColumnMinutes,
                         new QLineEdit(NumberText(static_cast<double>(rule.allowedSeconds) / 60.0), table));
    FollowSeries(table, row);
    FitTable();
    // Rows shift when one above is removed: the row is looked up when the series changes.
    connect(series, &QComboBox::currentIndexChanged, this, [this, series] {
        for (int r = 0; r < table->rowCount(); ++r)
            if (table->cellWidget(r, ColumnSeries) == series) FollowSeries(table, r);
    });
    table->selectRow(row);
}

void RulesDialog::onRemoveClicked() {
    const int row = table->currentRow();
    if (row >= 0) table->removeRow(row);
}

bool RulesDialog::onSaveClicked() {
    QList<ExcursionRule> rules;
    for (int row = 0; row < table->rowCount(); ++row) {
        QString message;
        const auto rule =
            RuleFromTexts(RuleSeries(ChoiceOf(table, row, ColumnSeries)), RuleSide(ChoiceOf(table, row, ColumnSide)),
                          EditOf(table, row, ColumnLimit)->text(), RuleMeasure(ChoiceOf(table, row, ColumnMeasure)),
                          EditOf(table, row, ColumnMinutes)->text(), humidity_, message);
        if (!rule) {
            table->selectRow(row);
            ShowParameterError(this, Tr(u"[2457]Reguła %1:").arg(row + 1) + u'\n' + message);
            return false;
        }
        rules.push_back(*rule);
    }
    if (rules.isEmpty())
        settings_.WriteString(kRulesSection, QStringLiteral("Count"), QString());  // no set: the thresholds
    else
        SaveRules(settings_, rules);
    settings_.Flush();
    return true;
}

}  // namespace quorvex
