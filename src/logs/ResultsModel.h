#pragma once
// The data side of the results table ListViewWyniki: a table model that reads
// the results store directly, so a download of millions of records costs no
// memory beyond the store itself. Rows follow the store only when told
// (SyncRows), which lets a whole block of records arrive as one insertion.
#include <QAbstractTableModel>
#include <QStringList>

#include "logs/ResultsStore.h"

namespace quorvex {

class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The dew point column is calculated from each record (DewPoint.h) and says
    // something for results with humidity only; the results tab hides it for others.
    enum Column { ColumnLp, ColumnDate, ColumnTime, ColumnTemperature, ColumnHumidity, ColumnDewPoint, ColumnCount };

    explicit ResultsModel(const ResultsStore& store, QObject* parent = nullptr);

    // Brings the rows in line with the store: records added since the last
    // call become one block of inserted rows; a store that was cleared or
    // replaced resets the model.
    void SyncRows();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Display texts: "Lp" = row + 1, the moment in the short date and long time
    // formats, temperature and humidity with their units. Column 1 is left
    // aligned, the others centred.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Horizontal captions start as the numbered texts ("[2200]Lp", …) and can be
    // replaced (the translator renames them); vertical headers are not shown.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value,
                       int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const ResultsStore& Store() const { return store_; }

private:
    const ResultsStore& store_;
    int rows_ = 0;
    std::uint64_t generation_ = store_.Generation();
    QStringList captions_;
};

}  // namespace quorvex
