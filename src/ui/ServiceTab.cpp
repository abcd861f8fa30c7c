#include "ui/ServiceTab.h"

#include <algorithm>

#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "chart/SharedNames.h"
#include "i18n/Translator.h"
#include "params/ParameterModel.h"
#include "ui/ObjectNames.h"
#include "ui/TabParts.h"

namespace quorvex {

ServiceTab::ServiceTab(const ParameterModel& model, Translator& translator, QWidget* parent)
    : QWidget(parent), model_(model), translator_(translator) {
    setObjectName(QString::fromLatin1(objname::kServiceTab));
    NormalWeight(this);
    auto* errors = Group(this, objname::kErrorsGroup, QStringLiteral("Błędy transmisji"));
    errors->setGeometry(44, 21, 312, 251);
    counters_ = Named(new QTreeWidget(errors), objname::kErrorCounters);
    counters_->setGeometry(4, 26, 283, 172);
    counters_->setEnabled(false);
    counters_->setColumnCount(2);
    counters_->setHeaderHidden(true);
    counters_->setRootIsDecorated(false);
    // 190 wide unless the longest label needs more: every label stays readable whole.
    const int labelWidth =
        counters_->fontMetrics().horizontalAdvance(QStringLiteral("Nieprawidłowa suma kontrolna")) + 12;
    counters_->setColumnWidth(0, std::max(190, labelWidth));
    counters_->setColumnWidth(1, 68);
    for (const char* key : {"Brak odpowiedzi", "Ramka za krótka", "Ramka za długa", "Nieprawidłowa suma kontrolna",
                            "Nieprawidłowa komenda"})
        new QTreeWidgetItem(counters_, {QString::fromUtf8(key), QString()});
    auto* zeroButton = Button(errors, objname::kZeroButton, QStringLiteral("Zeruj"));
    zeroButton->setGeometry(110, 206, 92, 30);
    connect(zeroButton, &QPushButton::clicked, this, &ServiceTab::zero);

    auto* resetGroup = Group(this, objname::kLeadGroup, QStringLiteral("Reset Loggera"));
    resetGroup->setGeometry(428, 23, 425, 64);
    auto* resetButton = Button(this, objname::kResetButton, QStringLiteral("Reset"));
    resetButton->setGeometry(586, 47, 100, 32);
    connect(resetButton, &QPushButton::clicked, this, &ServiceTab::reset);

    parameters_ = Named(new QTreeWidget(this), objname::kParameterList);
    parameters_->setGeometry(428, 95, 425, 370);
    parameters_->setColumnCount(2);
    parameters_->setHeaderLabels({QStringLiteral("Nazwa"), QStringLiteral("Wartość")});
    parameters_->setRootIsDecorated(false);
    parameters_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    parameters_->header()->setSectionsClickable(false);
    parameters_->header()->setStretchLastSection(false);
    parameters_->setStyleSheet(
        QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                       "border-bottom: 1px solid #d0d0d0; }"));
    parameters_->setColumnWidth(0, 246);
    parameters_->setColumnWidth(1, 150);
    // The name column stays at least 200 wide, the value column at most 150.
    connect(parameters_->header(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (column == 0 && size < 200) parameters_->setColumnWidth(0, 200);
        if (column == 1 && size > 150) parameters_->setColumnWidth(1, 150);
    });
    auto* readButton = Button(this, objname::kReadParametersButton, QStringLiteral("Pobierz liste parametrów"));
    readButton->setGeometry(428, 473, 243, 29);
    connect(readButton, &QPushButton::clicked, this, &ServiceTab::ReadParameters);

    auto* hid = Group(this, objname::kHidGroup, QStringLiteral("Lista urządzeń HID"));
    hid->setGeometry(44, 287, 312, 178);
    hidDevices_ = Named(new QListWidget(hid), objname::kHidList);
    (new QVBoxLayout(hid))->addWidget(hidDevices_);
}

void ServiceTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit shown();
}

void ServiceTab::ShowCounters(const QStringList& lines) {
    // The counters change after every exchange; the rows stay the same, so
    // their values are updated in place rather than the table rebuilt.
    if (counters_->topLevelItemCount() != lines.size()) counters_->clear();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf(QLatin1Char('='));
        const QString name = lines[i].left(eq), value = lines[i].mid(eq + 1);
        QTreeWidgetItem* item = counters_->topLevelItem(static_cast<int>(i));
        if (!item) {
            new QTreeWidgetItem(counters_, {name, value});
            continue;
        }
        if (item->text(0) != name) item->setText(0, name);
        if (item->text(1) != value) item->setText(1, value);
    }
}

void ServiceTab::ShowHidDevices(const QStringList& products) {
    hidDevices_->clear();
    hidDevices_->addItems(products);
}

void ServiceTab::ReadParameters() {
    parameters_->clear();
    QList<QTreeWidgetItem*> rows;
    for (const Parameter* p : model_.Parameters) rows << new QTreeWidgetItem({p->Name, p->GetText()});
    parameters_->addTopLevelItems(rows);
}

void ServiceTab::SayResetRefused() {
    // Queued now it would go to whichever logger is connected next.
    auto* box =
        new QMessageBox(QMessageBox::Warning, translator_.Tr(QStringLiteral("[1020]Błąd")),
                        translator_.Tr(QStringLiteral("[2080]Brak podłączonego Loggera - reset nie został wysłany.")),
                        QMessageBox::Ok, window());
    box->setObjectName(QString::fromLatin1(objname::kResetRefusedBox));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace quorvex
