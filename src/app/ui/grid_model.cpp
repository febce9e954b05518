#include "app/ui/grid_model.h"

#include <QBrush>
#include <QColor>
#include <QHeaderView>

namespace px {

GridModel::GridModel(int cols, int rows, QObject* parent)
    : QAbstractTableModel(parent), cols_(cols), rows_(rows), cells_(static_cast<size_t>(rows)) {}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) return cell(index.column(), index.row());
    if (role == Qt::BackgroundRole && (index.row() == 0 || index.column() == 0))
        return QBrush(QColor(240, 240, 240));
    return {};
}

QString GridModel::cell(int col, int row) const {
    if (row < 0 || row >= rows_ || col < 0) return {};
    const QStringList& r = cells_[static_cast<size_t>(row)];
    return col < r.size() ? r[col] : QString();
}

void GridModel::setCell(int col, int row, const QString& text) {
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
    QStringList& r = cells_[static_cast<size_t>(row)];
    while (r.size() <= col) r.append(QString());
    r[col] = text;
    emit dataChanged(index(row, col), index(row, col));
}

void GridModel::setRows(std::vector<QStringList> rows, int minRows) {
    beginResetModel();
    if (static_cast<int>(rows.size()) < minRows) rows.resize(static_cast<size_t>(minRows));
    for (auto& r : rows)
        if (r.size() > cols_) r = r.mid(0, cols_);
    cells_ = std::move(rows);
    rows_ = static_cast<int>(cells_.size());
    endResetModel();
}

StringGrid::StringGrid(const QString& name, int cols, int rows, QWidget* parent)
    : QTableView(parent), model_(new GridModel(cols, rows, this)) {
    setObjectName(name);
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(64);
    verticalHeader()->setDefaultSectionSize(20);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

}  // namespace px
