#include "check/ui/pmm_page.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>

#include "analysis/mm_solver.h"
#include "analysis/section_steps.h"
#include "app/ui/platform.h"
#include "app/ui/tform1.h"
#include "app/workspace.h"
#include "check/ui/surface_view.h"
#include "input/error.h"
#include "input/numbers.h"
#include "output/ui/picture_export.h"
#include "section/mesh.h"

namespace px {

// ---------------------------------------------------------------- table model

// The check table over the workspace's result, in file order; the view
// sorts through a proxy by each column's numeric key.
class CheckTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setResult(const CheckResult* r) {
        beginResetModel();
        result_ = r;
        endResetModel();
    }
    void clear() { setResult(nullptr); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !result_ ? 0 : static_cast<int>(result_->Rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : kCheckColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!result_ || !index.isValid()) return {};
        const CheckRow& r = result_->Rows[static_cast<size_t>(index.row())];
        switch (role) {
            case Qt::DisplayRole: return QString::fromStdString(CheckCellText(r, index.column()));
            case Qt::UserRole: return CheckSortKey(r, index.column());
            case Qt::ForegroundRole: return r.ok() ? QVariant() : QVariant(QColor(Qt::red));
            case Qt::TextAlignmentRole:
                return static_cast<int>((index.column() == 6 ? Qt::AlignHCenter : Qt::AlignRight) |
                                        Qt::AlignVCenter);
            default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        static const char* const names[kCheckColumns] = {"Case", "P", "Mx", "My", "Capacity", "Ratio", "Status"};
        if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kCheckColumns)
            return QString(names[section]);
        return QAbstractTableModel::headerData(section, o, role);
    }

private:
    const CheckResult* result_ = nullptr;
};

// ---------------------------------------------------------------- surface

struct PmmPage::SurfaceState {
    SurfaceWire wire;
    std::string csvBody;  // filled from the surface computation
};

// ---------------------------------------------------------------- long commands

namespace {

// While a long command pumps events, keeps mouse and key input away from
// every widget but the Cancel button; Esc cancels.
class InputBlocker : public QObject {
public:
    InputBlocker(QWidget* allowed, std::function<void()> onCancel)
        : allowed_(allowed), onCancel_(std::move(onCancel)) {
        qApp->installEventFilter(this);
    }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* obj, QEvent* e) override {
        switch (e->type()) {
            case QEvent::KeyPress:
                if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) onCancel_();
                return true;
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::Wheel:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Close:
                return obj != allowed_;
            default:
                return false;
        }
    }

private:
    QWidget* allowed_;
    std::function<void()> onCancel_;
};

// Section fields and settings that a check or surface reads; a change marks
// them stale.
bool feedsTheCheck(const std::string& edit) {
    static const int numbers[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                  18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 34, 35, 41, 42, 43,
                                  44, 45, 46, 47, 48, 49, 50, 51, 61, 62, 63};
    for (int n : numbers)
        if (edit == "Edit" + std::to_string(n)) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------- building

PmmPage::PmmPage(QWidget* page, Workspace& ws, FormFields& fields, PlatformServices& services,
                 PictureSaveDialog& pictureSaver, QWidget* window)
    : QObject(window), ws_(ws), fields_(fields), services_(services), pictureSaver_(pictureSaver),
      window_(window), page_(page) {
    view_ = new SurfaceView(page);
    view_->move(8, 8);
    connect(view_, &ImageBox::mouseMoved, this, &PmmPage::showHover);

    const int x0 = 616, w = 276, half = 134;
    auto* group = new QGroupBox("Surface", page);
    group->setObjectName("GroupBox15");
    group->setGeometry(x0, 4, w, 56);
    auto* caption = new QLabel("Axial Levels", group);
    caption->setGeometry(8, 24, 80, 21);
    levels_ = new QLineEdit("20", group);
    levels_->setObjectName("Edit65");
    levels_->setGeometry(90, 24, 50, 21);
    fields_.edits["Edit65"] = levels_;

    auto button = [&](QWidget* parent, int n, const QString& text, QRect r, void (PmmPage::*slot)()) {
        auto* b = new QPushButton(text, parent);
        b->setObjectName(QString("Button%1").arg(n));
        b->setGeometry(r);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button(group, 18, "Gen PMM Surface", QRect(148, 22, 120, 25), &PmmPage::genSurface);
    button(page, 19, "Check Forces", QRect(x0, 66, half, 25), &PmmPage::checkForces);
    button(page, 20, "Export Check", QRect(x0 + w - half, 66, half, 25), &PmmPage::exportCheck);
    button(page, 21, "Save Image", QRect(x0, 96, half, 25), &PmmPage::saveImage);
    button(page, 22, "Reset View", QRect(x0 + w - half, 96, half, 25), &PmmPage::resetView);

    progress_ = new QProgressBar(page);
    progress_->setObjectName("ProgressBar3");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setGeometry(x0, 130, w - 78, 20);
    cancelButton_ = button(page, 23, "Cancel", QRect(x0 + w - 70, 127, 70, 25), &PmmPage::cancel);
    cancelButton_->setEnabled(false);

    hover_ = new QLabel(page);
    hover_->setObjectName("Label76");
    hover_->setGeometry(x0, 156, w, 32);
    hover_->setWordWrap(true);
    hover_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    model_ = new CheckTableModel(this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(Qt::UserRole);
    table_ = new QTableView(page);
    table_->setObjectName("StringGrid3");
    table_->setGeometry(x0, 192, w, 366);
    table_->setModel(sorted_);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(20);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[kCheckColumns] = {40, 66, 66, 66, 66, 54, 44};
    for (int c = 0; c < kCheckColumns; ++c) table_->setColumnWidth(c, widths[c]);
    // File order until a header is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);

    summary_ = new QLabel(page);
    summary_->setObjectName("Label77");
    summary_->setGeometry(x0, 562, w, 46);
    summary_->setWordWrap(true);
    summary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Edits of what the check reads make an earlier check stale.
    for (const auto& [name, e] : fields_.edits)
        if (feedsTheCheck(name)) connect(e, &QLineEdit::textChanged, this, &PmmPage::inputsChanged);
    for (const auto& [name, c] : fields_.combos)
        if (name != "ComboBox7") connect(c, &QComboBox::currentIndexChanged, this, &PmmPage::inputsChanged);
}

PmmPage::~PmmPage() = default;

// ---------------------------------------------------------------- commands

struct PmmPage::Section {
    SectionInput input;
    FiberTable fibers;
    MmSettings mm;
    double PMax = 0, PMin = 0;
};

// The current fields meshed as "Gen MM Curve" meshes them, into a copy: the
// window's own section stays as it was.
PmmPage::Section PmmPage::readSection() const {
    Section s;
    s.input = ws_.Input;
    ReadSectionInput(fields_, s.input);
    BuildFiberTable(s.input, s.fibers);
    AssignFiberMaterials(fields_, s.fibers);
    CheckFiberMaterials(s.fibers);
    s.mm = ReadMmSettings(fields_);
    CheckMmSettings(s.mm);
    ComputeAxialBounds(s.fibers, s.PMax, s.PMin);
    return s;
}

template <class F>
void PmmPage::runLong(F&& f) {
    if (running_) return;
    running_ = true;
    cancel_ = false;
    cancelButton_->setEnabled(true);
    progress_->setValue(0);
    {
        InputBlocker blocker(cancelButton_, [this] { cancel(); });
        runCommand(services_, window_, [&] {
            try {
                f();
            } catch (const Cancelled&) {
                if (auto* mw = qobject_cast<QMainWindow*>(window_)) mw->statusBar()->showMessage("Cancelled", 5000);
            }
        });
    }
    cancelButton_->setEnabled(false);
    running_ = false;
}

void PmmPage::cancel() {
    if (running_) cancel_ = true;
}

void PmmPage::checkForces() {
    runLong([&] {
        if (ws_.Loads.Count < 1) throw AppError("No forces have been imported");
        Section s = readSection();
        CheckRequest req;
        req.Fibers = &s.fibers;
        req.B = s.input.B;
        req.H = s.input.H;
        req.Mm = s.mm;
        req.PMax = s.PMax;
        req.PMin = s.PMin;
        req.Loads = &ws_.Loads;
        req.FactorP = ws_.ForceFactorP;
        req.FactorMx = ws_.ForceFactorMx;
        req.FactorMy = ws_.ForceFactorMy;
        SolveOptions options;
        options.cancel = &cancel_;
        CheckResult result = RunCapacityCheck(
            req,
            [this](int v) {
                progress_->setValue(v);
                QCoreApplication::processEvents();
            },
            options);
        model_->clear();
        ws_.Check = std::move(result);
        ws_.CheckStale = false;
        showCheck();
    });
}

void PmmPage::genSurface() {
    runLong([&] {
        // Filled in once the surface computation is available.
        throw AppError("The interaction surface is not available yet");
    });
}

void PmmPage::showCheck() {
    model_->setResult(ws_.Check ? &*ws_.Check : nullptr);
    const bool surfaceStale = surface_ && surfaceStale_;
    view_->setContent(surface_ ? surface_->wire : SurfaceWire{}, model_->rowCount() ? &*ws_.Check : nullptr,
                      ws_.CheckStale || surfaceStale);
    hover_->clear();
    summary_->setText(summaryText());
    if (ws_.Check && ws_.Check->Governing >= 0) {
        const QModelIndex at = sorted_->mapFromSource(model_->index(ws_.Check->Governing, 0));
        table_->selectRow(at.row());
        table_->scrollTo(at);
    }
}

QString PmmPage::summaryText() const {
    if (!ws_.Check) return {};
    std::string line = CheckSummaryLine(*ws_.Check);
    if (ws_.CheckStale) line += kStaleNote;
    return QString::fromStdString(line);
}

std::string PmmPage::surfaceCsv(const std::string&) const { return surface_ ? surface_->csvBody : std::string(); }

void PmmPage::inputsChanged() {
    bool changed = false;
    if (ws_.Check && !ws_.CheckStale) ws_.CheckStale = changed = true;
    if (surface_ && !surfaceStale_) surfaceStale_ = changed = true;
    if (changed) updateStale();
}

void PmmPage::updateStale() {
    summary_->setText(summaryText());
    view_->setStale((ws_.Check && ws_.CheckStale) || (surface_ && surfaceStale_));
}

void PmmPage::exportCheck() {
    runCommand(services_, window_, [&] {
        if (!ws_.Check) throw AppError("There is no check to export: press \"Check Forces\" first");
        const QString path = services_.saveFile(window_, "Export Check", "CSV (*.csv)", "csv", QString());
        if (path.isEmpty()) return;
        const std::string bytes = CheckCsv(*ws_.Check, "\r\n");
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            throw AppError(QString("Cannot create file \"%1\". %2").arg(path, file.errorString()).toStdString());
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        if (!file.commit())
            throw AppError(QString("Cannot write file \"%1\". %2").arg(path, file.errorString()).toStdString());
    });
}

void PmmPage::saveImage() {
    runCommand(services_, window_, [&] { pictureSaver_.save(services_, window_, view_->image(), view_->drawn()); });
}

void PmmPage::resetView() {
    if (view_->drawn()) view_->resetView();
}

void PmmPage::showHover(int x, int y) {
    const std::optional<int> row = view_->dotAt(x, y);
    hover_->setText(row ? QString::fromStdString(DotCaption(view_->check()->Rows[static_cast<size_t>(*row)]))
                        : QString());
}

}  // namespace px
