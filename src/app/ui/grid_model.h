#pragma once
// A string grid: a table of texts whose top row and left column are titles.
// Light enough for files of a hundred thousand lines.
#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <vector>

namespace px {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(int cols, int rows, QObject* parent = nullptr);
    int rowCount(const QModelIndex& = {}) const override { return rows_; }
    int columnCount(const QModelIndex& = {}) const override { return cols_; }
    QVariant data(const QModelIndex& index, int role) const override;

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);
    // Replaces the whole grid: rows of texts, each row up to the column count.
    void setRows(std::vector<QStringList> rows, int minRows);

private:
    int cols_, rows_;
    std::vector<QStringList> cells_;  // by row
};

// A QTableView named like its grid, owning a GridModel.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    StringGrid(const QString& name, int cols, int rows, QWidget* parent = nullptr);
    GridModel* grid() const { return model_; }
    QString cell(int col, int row) const { return model_->cell(col, row); }

private:
    GridModel* model_;
};

}  // namespace px
