#include "common/ui/grid_model.h"

#include <QBrush>
#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <algorithm>

namespace px {

GridModel::GridModel(int cols, int rows, QObject* parent)
    : QAbstractTableModel(parent), minCols_(cols), cols_(cols), rows_(rows), cells_(static_cast<size_t>(rows)) {}

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
    if (widens_) {
        cols_ = minCols_;
        for (const auto& r : rows) cols_ = std::max(cols_, static_cast<int>(r.size()));
    }
    for (auto& r : rows)
        if (r.size() > cols_) r = r.mid(0, cols_);
    cells_ = std::move(rows);
    rows_ = static_cast<int>(cells_.size());
    endResetModel();
}

namespace {
void setUpView(QTableView* v) {
    v->horizontalHeader()->hide();
    v->verticalHeader()->hide();
    v->horizontalHeader()->setDefaultSectionSize(StringGrid::kColumnWidth);
    v->verticalHeader()->setDefaultSectionSize(20);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // By pixel, so that a data row can pass under the title row.
    v->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    v->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}
}  // namespace

// A view of the same cells laid over the grid's corner, top row or left
// column; it scrolls only as the grid does, in the directions it follows.
class FrozenCells : public QTableView {
public:
    FrozenCells(StringGrid* grid, bool followX, bool followY)
        : QTableView(grid), grid_(grid), followX_(followX), followY_(followY) {
        setModel(grid->model());
        setUpView(this);
        setFocusPolicy(Qt::NoFocus);
        setSelectionMode(QAbstractItemView::NoSelection);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        if (followX_)
            connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { follow(); });
        if (followY_)
            connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { follow(); });
    }

    void follow() {
        executeDelayedItemsLayout();  // the ranges before the positions
        horizontalScrollBar()->setValue(followX_ ? grid_->horizontalScrollBar()->value() : 0);
        verticalScrollBar()->setValue(followY_ ? grid_->verticalScrollBar()->value() : 0);
    }

protected:
    void updateGeometries() override {
        QTableView::updateGeometries();
        horizontalScrollBar()->setValue(followX_ ? grid_->horizontalScrollBar()->value() : 0);
        verticalScrollBar()->setValue(followY_ ? grid_->verticalScrollBar()->value() : 0);
    }

private:
    StringGrid* grid_;
    bool followX_, followY_;
};

StringGrid::StringGrid(const QString& name, int cols, int rows, QWidget* parent)
    : QTableView(parent), model_(new GridModel(cols, rows, this)) {
    setObjectName(name);
    setModel(model_);
    setUpView(this);
    // Later children lie above earlier ones: the corner on top.
    top_ = new FrozenCells(this, true, false);
    left_ = new FrozenCells(this, false, true);
    corner_ = new FrozenCells(this, false, false);
    viewport()->stackUnder(top_);  // the data under all three
    for (FrozenCells* f : {top_, left_, corner_}) f->viewport()->installEventFilter(this);
    connect(model_, &QAbstractItemModel::modelReset, this, &StringGrid::fitColumns);
    placeTitleCells();
}

void StringGrid::fitColumns() {
    // Each column as wide as its widest text among the first rows (the
    // header's precision), never below the default: no text is elided.
    // New cells start at the top left, not where the last ones were scrolled.
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    horizontalHeader()->setResizeContentsPrecision(kFitRows);
    for (int c = 0; c < model_->columnCount(); ++c) {
        const int w = std::max(kColumnWidth, sizeHintForColumn(c));
        setColumnWidth(c, w);
        for (FrozenCells* f : {top_, left_, corner_}) f->setColumnWidth(c, w);
    }
    placeTitleCells();
}

void StringGrid::placeTitleCells() {
    if (!top_) return;
    const QRect vp = viewport()->geometry();
    const int h = std::min(model_->rowCount() > 0 ? rowHeight(0) : 0, vp.height());
    const int w = std::min(model_->columnCount() > 0 ? columnWidth(0) : 0, vp.width());
    top_->setGeometry(vp.x(), vp.y(), vp.width(), h);
    left_->setGeometry(vp.x(), vp.y(), w, vp.height());
    corner_->setGeometry(vp.x(), vp.y(), w, h);
    for (FrozenCells* f : {top_, left_, corner_}) f->follow();
}

void StringGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeTitleCells();
}

void StringGrid::updateGeometries() {
    QTableView::updateGeometries();
    placeTitleCells();
}

void StringGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    if (!index.isValid()) return;
    // A data cell brought into view must not stay under the title cells.
    const QRect r = visualRect(index);
    const int h = rowHeight(0), w = columnWidth(0);
    if (index.row() > 0 && r.top() < h) verticalScrollBar()->setValue(verticalScrollBar()->value() - (h - r.top()));
    if (index.column() > 0 && r.left() < w)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - (w - r.left()));
}

QModelIndex StringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex to = QTableView::moveCursor(action, modifiers);
    if (!to.isValid()) return to;
    const int row = model_->rowCount() > 1 ? std::max(to.row(), 1) : to.row();
    const int col = model_->columnCount() > 1 ? std::max(to.column(), 1) : to.column();
    return model_->index(row, col);
}

bool StringGrid::eventFilter(QObject* watched, QEvent* event) {
    // The wheel over the title cells scrolls the data, as over the data.
    // Only theirs: the grid also watches its own scroll bars, and the data's
    // viewport hands its wheel on to them.
    if (event->type() == QEvent::Wheel && isTitleViewport(watched)) {
        QCoreApplication::sendEvent(viewport(), event);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

bool StringGrid::isTitleViewport(const QObject* o) const {
    for (const FrozenCells* f : {top_, left_, corner_})
        if (f && o == f->viewport()) return true;
    return false;
}

}  // namespace px
