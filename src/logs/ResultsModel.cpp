#include "logs/ResultsModel.h"

#include <QLocale>

#include "logs/DewPoint.h"

namespace quorvex {

ResultsModel::ResultsModel(const ResultsStore& store, QObject* parent)
    : QAbstractTableModel(parent),
      store_(store),
      captions_{QStringLiteral("[2200]Lp"), QStringLiteral("[131]Data"), QStringLiteral("[132]Czas"),
                QStringLiteral("[140]Temperatura"), QStringLiteral("[150]Wilgotność")} {
    captions_ << QStringLiteral("[2424]Punkt rosy (obliczony)");
}

void ResultsModel::SyncRows() {
    const int count = store_.Count();
    if (count < rows_ || store_.Generation() != generation_) {
        // Cleared or replaced: the rows shown so far stand for other records.
        generation_ = store_.Generation();
        beginResetModel();
        rows_ = count;
        endResetModel();
    } else if (count > rows_) {
        beginInsertRows(QModelIndex(), rows_, count - 1);
        rows_ = count;
        endInsertRows();
    }
}

int ResultsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ResultsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    // Between a clear of the store and the next SyncRows the store holds fewer
    // records than there are rows; a paint in that gap must not read past its end.
    if (!index.isValid() || index.row() >= rows_ || index.row() >= store_.Count()) return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(index.column() == ColumnLp ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                                              : Qt::Alignment(Qt::AlignCenter));
    if (role != Qt::DisplayRole) return {};
    const LogRecord& r = store_.At(index.row());
    switch (index.column()) {
    case ColumnLp:
        return QString::number(index.row() + 1);
    case ColumnDate:
        return QLocale().toString(FromMoment(r.time).date(), ShortDateFormat());
    case ColumnTime:
        return QLocale().toString(FromMoment(r.time).time(), LongTimeFormat());
    case ColumnTemperature:
        return LogTemperatureText(r.temperature);
    case ColumnHumidity:
        return LogHumidityText(r.humidity);
    case ColumnDewPoint: {
        if (!store_.HasHumidity()) return {};
        const auto dew = DewPoint(r.temperature, r.humidity);
        return dew ? LogTemperatureText(*dew) : QString();
    }
    default:
        return {};
    }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return captions_[section];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(section == ColumnLp ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                                       : Qt::Alignment(Qt::AlignCenter));
    return {};
}

bool ResultsModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) return false;
    if (role != Qt::EditRole && role != Qt::DisplayRole) return false;
    captions_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace quorvex
