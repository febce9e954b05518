#pragma once
// A string grid: a table of texts whose top row and left column are titles.
// Light enough for files of a hundred thousand lines.
#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>
#include <iterator>
#include <string>
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
    // Replaces the whole grid: rows of texts, each row up to the column
    // count (or, for a grid that widens, the columns as many as the widest
    // row has, never fewer than at first).
    void setRows(std::vector<QStringList> rows, int minRows);
    void setWidens(bool widens) { widens_ = widens; }
    // The same from rows of UTF-8 texts (rows of std::string).
    template <class Rows>
    void setUtf8Rows(const Rows& rows, int minRows) {
        std::vector<QStringList> texts;
        texts.reserve(std::size(rows));
        for (const auto& row : rows) {
            QStringList r;
            r.reserve(static_cast<qsizetype>(std::size(row)));
            for (const std::string& cell : row) r << QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
            texts.push_back(std::move(r));
        }
        setRows(std::move(texts), minRows);
    }

private:
    int minCols_, cols_, rows_;
    bool widens_ = false;
    std::vector<QStringList> cells_;  // by row
};

class FrozenCells;

// A QTableView named like its grid, owning a GridModel. The title cells stay
// in place while the data scrolls, as a spreadsheet's frozen panes: the top
// row follows the data sideways only, the left column up and down only, and
// the corner cell never moves.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    static constexpr int kColumnWidth = 64;  // at least, each column
    static constexpr int kFitRows = 1000;    // rows a column's width is fitted to

    StringGrid(const QString& name, int cols, int rows, QWidget* parent = nullptr);
    GridModel* grid() const { return model_; }
    QString cell(int col, int row) const { return model_->cell(col, row); }

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    // The keys move among the data cells only: the title cells lie under
    // the frozen row and column, where the cursor would vanish.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeTitleCells();
    // Widens the columns to their texts after the grid was refilled.
    void fitColumns();
    bool isTitleViewport(const QObject* o) const;

    GridModel* model_;
    FrozenCells* top_ = nullptr;     // the title row
    FrozenCells* left_ = nullptr;    // the title column
    FrozenCells* corner_ = nullptr;  // the cell both share
};

}  // namespace px
