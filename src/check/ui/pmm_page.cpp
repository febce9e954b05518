#include "check/ui/pmm_page.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QProgressBar>
#include <QProxyStyle>
#include <QStyleOptionHeaderV2>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "analysis/mm_solver.h"
#include "analysis/section_steps.h"
#include "common/ui/file_write.h"
#include "common/ui/long_command.h"
#include "common/ui/platform.h"
#include "input/ui/form_fields.h"
#include "workspace/workspace.h"
#include "check/live_run.h"
#include "check/member_check.h"
#include "member/member_input.h"
#include "check/surface.h"
#include "check/ui/live_check.h"
#include "check/ui/surface_view.h"
#include "input/error.h"
#include "input/fields.h"
#include "input/numbers.h"
#include "input/section_input.h"
#include "loads/load_table.h"
#include "output/ui/picture_export.h"
#include "section/section_from_fields.h"
#include "section/section_warnings.h"

namespace px {

// ---------------------------------------------------------------- table model

// The check table over the workspace's result, in file order; the view
// sorts through a proxy by each column's numeric key.
class CheckTableModel : public QAbstractTableModel {
public:
    // A failing row's text and fill: dark red on pale red, apart from the
    // OK rows in any colour vision as the bold "NG" is in words.
    static inline const QColor kNgText{160, 0, 0};
    static inline const QColor kNgFill{255, 222, 222};

    explicit CheckTableModel(const std::optional<CheckResult>& check, QObject* parent)
        : QAbstractTableModel(parent), check_(check) {}

    // The check changed (or is about to): the view asks again.
    void begin() {
        beginResetModel();
        resetting_ = true;
    }
    void end() {
        rows_ = check_ ? static_cast<int>(check_->Rows.size()) : 0;
        resetting_ = false;
        endResetModel();
    }
    bool resetting() const { return resetting_; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    // The row, read where the check is kept, within what it holds now.
    const CheckRow* row(int i) const {
        if (!check_ || i < 0 || static_cast<size_t>(i) >= check_->Rows.size()) return nullptr;
        return &check_->Rows[static_cast<size_t>(i)];
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : check_ ? CheckColumnCount(*check_) : kCheckColumns;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const CheckRow* found = index.isValid() ? row(index.row()) : nullptr;
        if (!found) return {};
        const CheckRow& r = *found;
        switch (role) {
            case Qt::DisplayRole: return QString::fromStdString(CheckCellText(r, index.column()));
            case Qt::UserRole: return CheckSortKey(r, index.column());
            // A failing row stands out in its colours and says "NG" in bold.
            case Qt::ForegroundRole: return r.ok() ? QVariant() : QVariant(kNgText);
            case Qt::BackgroundRole: return r.ok() ? QVariant() : QVariant(kNgFill);
            case Qt::FontRole: {
                if (r.ok() || index.column() != kStatusColumn) return {};
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            case Qt::TextAlignmentRole: {
                const int c = index.column();
                const Qt::Alignment h = c == kStatusColumn ? Qt::AlignHCenter
                                        : c == 0 && !r.Name.empty() ? Qt::AlignLeft
                                                                    : Qt::AlignRight;
                return static_cast<int>(h | Qt::AlignVCenter);
            }
            default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount()) {
            // The export's caption on two lines: the unit (or the rule) under
            // the quantity, so that the columns stay narrow.
            QString name = check_ ? QString::fromStdString(CheckColumnName(*check_, section))
                                  : QString(kCheckColumnNames[section]);
            const qsizetype unit = name.indexOf(" (");
            if (unit > 0) name[unit] = '\n';
            else if (name.startsWith("Radial Ratio")) name[6] = '\n';
            else if (name.startsWith("Ratio from")) name[10] = '\n';
            return name;
        }
        if (o == Qt::Horizontal && role == Qt::ToolTipRole && section == kRatioColumn) return QString(kCheckRatioRule);
        if (o == Qt::Horizontal && role == Qt::ToolTipRole && section == kRadialColumn) return QString(kCheckRadialRule);
        if (o == Qt::Horizontal && role == Qt::ToolTipRole && section >= kCheckColumns) return QString(kMemberCheckRule);
        return QAbstractTableModel::headerData(section, o, role);
    }

private:
    const std::optional<CheckResult>& check_;
    int rows_ = 0;
    bool resetting_ = false;
};

// ---------------------------------------------------------------- surface

struct PmmPage::SurfaceState {
    InteractionSurface surface;
    SurfaceWire wire;
};

namespace {

// Rings of the wire: entries 1 .. points of each level's curve.
SurfaceWire WireOf(const InteractionSurface& s) {
    SurfaceWire w;
    w.Bottom = Point3{s.Mx1, s.My1, s.PMin};
    w.Top = Point3{s.Mx0, s.My0, s.PMax};
    for (const SurfaceLevel& level : s.Levels) {
        std::vector<Point3>& ring = w.Rings.emplace_back();
        const size_t n = std::min({static_cast<size_t>(s.Points) + 1, level.Curve.Mx.size(), level.Curve.My.size()});
        for (size_t k = 1; k < n; ++k) ring.push_back({level.Curve.Mx[k], level.Curve.My[k], level.P});
    }
    return w;
}

}  // namespace

// ---------------------------------------------------------------- inputs

namespace {

// Fields that a check or surface reads: the section page, the material
// pages and the MM settings.
constexpr int kInputEdits[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                               17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 34, 35, 41,
                               42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 61, 62, 63, 69, 70};
// The surface's axial levels: the surface reads them, the check does not.
constexpr int kLevelsEdit = 65;
// Fields rewritten by every section command: a change there may come with a
// section type changed while its box's signals were blocked.
constexpr int kSectionInfoEdits[] = {31, 36, 37, 38, 39, 40};

// The room a cell and a header keep around their text (the table has the
// window's font; it grows rightwards to fit its columns).
constexpr int kCellPad = 4, kHeaderPad = 4;
// The summary's bottom edge: it grows upwards over the table, which keeps
// at least kTableMinHeight.
constexpr int kSummaryBottom = 608, kTableTop = 192, kTableMinHeight = 120;
// The table's width, and that of the page's column of controls.
constexpr int kTableWidth = 286;

// The table's style: a cell's text one pixel from its edges (a pixel for
// the grid line and one to spare make kCellPad); the header's sort arrow
// small in the top right corner, leaving the caption its whole width.
class TightCellStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override {
        return m == PM_FocusFrameHMargin ? 0 : QProxyStyle::pixelMetric(m, o, w);
    }
    void drawControl(ControlElement e, const QStyleOption* o, QPainter* p, const QWidget* w) const override {
        const auto* h = e == CE_Header ? qstyleoption_cast<const QStyleOptionHeader*>(o) : nullptr;
        if (!h || h->sortIndicator == QStyleOptionHeader::None) return QProxyStyle::drawControl(e, o, p, w);
        QStyleOptionHeaderV2 plain;
        if (const auto* v2 = qstyleoption_cast<const QStyleOptionHeaderV2*>(o)) plain = *v2;
        else static_cast<QStyleOptionHeader&>(plain) = *h;
        plain.sortIndicator = QStyleOptionHeader::None;
        p->save();  // the header leaves its own clip behind
        QProxyStyle::drawControl(CE_Header, &plain, p, w);
        p->restore();
        QStyleOptionHeader arrow = *h;
        arrow.rect = QRect(h->rect.right() - 8, h->rect.top() + 2, 8, 5);
        QProxyStyle::drawPrimitive(PE_IndicatorHeaderArrow, &arrow, p, w);
    }
};

std::string editName(int n) { return "Edit" + std::to_string(n); }

// 64-bit FNV-1a over raw bytes.
void hashBytes(uint64_t& h, const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
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

    const int x0 = 614, w = kTableWidth, half = 139;
    auto* group = new QGroupBox("Surface", page);
    group->setObjectName("GroupBox15");
    group->setGeometry(x0, 4, w, 56);
    auto* caption = new QLabel("Axial Levels", group);
    caption->setGeometry(8, 24, 80, 21);
    levels_ = new QLineEdit(QString::fromStdString(DefaultFieldTexts().at("Edit65")), group);
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

    live_ = new QCheckBox("Live", page);
    live_->setObjectName("CheckBox1");
    live_->setGeometry(x0, 130, 48, 20);
    runner_ = new LiveRunner(this);
    connect(live_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) scheduleLive();
        else runner_->stop();
    });
    connect(runner_, &LiveRunner::finished, this, &PmmPage::applyLive);

    progress_ = new QProgressBar(page);
    progress_->setObjectName("ProgressBar3");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setGeometry(x0 + 52, 130, w - 78 - 52, 20);
    cancelButton_ = button(page, 23, "Cancel", QRect(x0 + w - 70, 127, 70, 25), &PmmPage::cancel);
    cancelButton_->setEnabled(false);

    hover_ = new QLabel(page);
    hover_->setObjectName("Label76");
    hover_->setGeometry(x0, 156, w, 32);
    hover_->setWordWrap(true);
    hover_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    model_ = new CheckTableModel(ws_.Check, this);
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
    auto* tight = new TightCellStyle;
    tight->setParent(table_);
    table_->setStyle(tight);
    table_->horizontalHeader()->setStyle(tight);
    fitColumns();
    // File order until a header is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);

    summary_ = new QLabel(page);
    summary_->setObjectName("Label77");
    summary_->setGeometry(x0, kSummaryBottom - 46, w, 46);
    summary_->setWordWrap(true);
    summary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // A change of what the check reads makes an earlier check stale.
    auto watch = [this](int n) {
        auto it = fields_.edits.find(editName(n));
        if (it != fields_.edits.end()) connect(it->second, &QLineEdit::textChanged, this, &PmmPage::inputsChanged);
    };
    for (int n : kInputEdits) watch(n);
    for (int n : kSectionInfoEdits) watch(n);
    watch(kLevelsEdit);
    for (int n : {72, 73, 74, 75, 76, 77}) watch(n);
    for (const auto& [name, c] : fields_.combos)
        if (name != "ComboBox7") connect(c, &QComboBox::currentIndexChanged, this, &PmmPage::inputsChanged);
    page->installEventFilter(this);
}

bool PmmPage::eventFilter(QObject* watched, QEvent* e) {
    if (watched == page_ && e->type() == QEvent::Show) inputsChanged();
    return QObject::eventFilter(watched, e);
}

// What a check (withForces) or a surface was computed from: the texts of
// the fields it reads, the combo boxes, and the amplified forces.
std::string PmmPage::inputsKey(bool withForces) const {
    std::string key;
    for (int n : kInputEdits) key += fields_.text(editName(n)) + '\n';
    if (!withForces) key += fields_.text(editName(kLevelsEdit)) + '\n';
    for (const auto& [name, c] : fields_.combos)
        if (name != "ComboBox7") key += std::to_string(fields_.itemIndex(name)) + '\n';
    key += CustomSectionKey(fields_);
    // The "Member" group's fields: a slender member's check reads them.
    if (withForces)
        for (int n : {72, 73, 74, 75, 76, 77}) key += fields_.text(editName(n)) + '\n';
    if (withForces) {
        uint64_t h = 14695981039346656037ull;
        const LoadCombinationTable& t = ws_.Loads;
        const size_t n = std::min(static_cast<size_t>(std::max(t.Count, 0)) + 1, t.Items.size());
        hashBytes(h, &t.Count, sizeof t.Count);
        for (size_t i = 1; i < n; ++i) {
            const LoadCombination& c = t.Items[i];
            for (double v : {c.P, c.Mx, c.My}) hashBytes(h, &v, sizeof v);
            const size_t nameSize = c.Name.size();
            hashBytes(h, &nameSize, sizeof nameSize);
            hashBytes(h, c.Name.data(), nameSize);
            for (const std::optional<double>& m : {c.MxOther, c.MyOther}) {
                const double v = m ? *m : std::numeric_limits<double>::quiet_NaN();
                hashBytes(h, &v, sizeof v);
            }
        }
        for (double f : {ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy}) hashBytes(h, &f, sizeof f);
        key += std::to_string(h);
    }
    return key;
}

PmmPage::~PmmPage() = default;

// ---------------------------------------------------------------- commands

// The current fields meshed as "Gen MM Curve" meshes them, into a copy: the
// window's own section stays as it was.
namespace {
CheckSection ReadSection(const FormFields& fields, const Workspace& ws) { return ReadCheckSection(fields, ws.Input); }
}  // namespace

// Runs a check or surface as a long command: Esc and the Cancel button
// stop it, and a stopped run changes nothing.
template <class F>
void PmmPage::runLong(F&& f) {
    if (LongCommand::active()) return;
    runner_->stop();  // this command's results are the newer ones
    running_ = true;
    cancelButton_->setEnabled(true);
    progress_->setValue(0);
    runLongCommand(
        services_, window_,
        [&](LongCommand& lc) {
            try {
                f(lc);
            } catch (const Cancelled&) {
                progress_->setValue(0);
                throw;
            }
        },
        cancelButton_);
    cancelButton_->setEnabled(false);
    running_ = false;
    // The command stopped any live run pending: whatever it left stale (the
    // check after a surface, or everything after a fault or a cancel) the
    // live check runs again.
    if (live()) inputsChanged();
}

void PmmPage::cancel() {
    if (LongCommand* lc = LongCommand::current()) lc->cancel();
}

void PmmPage::checkForces() {
    runLong([&](LongCommand& lc) {
        if (ws_.Loads.Count < 1) throw AppError("No forces have been imported");
        const std::string key = inputsKey(true);
        const CheckSection s = ReadSection(fields_, ws_);
        CheckRequest req{s.request(), &ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy};
        req.Member = MemberForCheck(ReadMemberInput(fields_, true), s.mm);
        CheckResult result = RunCapacityCheck(req, lc.progress(progress_), lc.options());
        model_->begin();
        ws_.Check = std::move(result);
        ws_.CheckStale = false;
        checkKey_ = key;
        showResults();
    });
}

void PmmPage::genSurface() {
    runLong([&](LongCommand& lc) {
        const int levels = fields_.integer("Edit65");
        const std::string key = inputsKey(false);
        const CheckSection s = ReadSection(fields_, ws_);
        CheckAxialLevels(levels, s.mm.points);
        const SurfaceRequest req{s.request(), levels};
        auto state = std::make_unique<SurfaceState>();
        state->surface = SolveSurface(req, lc.progress(progress_), lc.options());
        state->wire = WireOf(state->surface);
        surface_ = std::move(state);
        surfaceStale_ = false;
        surfaceKey_ = key;
        showResults();
    });
}

void PmmPage::pageShown() {
    inputsChanged();
    if (!surface_ || surfaceStale_) genSurface();
}

void PmmPage::checkReplaced() {
    checkKey_ = ws_.CheckStale ? std::string("\x01 unknown") : inputsKey(true);
    showResults();
}

namespace {

// Texts that decide a column's width: the longest "%0.2F" text comes from
// the least or the largest value (figures are equally wide).
std::vector<std::string> CheckColumnSamples(const CheckResult* check, int column) {
    std::vector<std::string> out;
    if (column == kStatusColumn) return {"OK", "NG"};
    if (!check || check->Rows.empty()) return out;
    if (column >= kCheckColumns) {  // the member's: each row's text is measured
        for (const CheckRow& r : check->Rows) out.push_back(CheckCellText(r, column));
        return out;
    }
    std::optional<double> lo, hi;
    bool missing = false;
    // The reasons a capacity is missing, by NoCapacity's values.
    std::vector<bool> why(static_cast<size_t>(NoCapacity::MemberUnstable) + 1, false);
    for (const CheckRow& r : check->Rows) {
        // Names are not equally wide: each is measured.
        if (column == 0 && !r.Name.empty()) out.push_back(r.Name);
        const std::optional<double> v = column == 0   ? std::optional<double>(r.Case)
                                        : column == 1 ? std::optional<double>(r.P)
                                        : column == 2 ? std::optional<double>(r.Mx)
                                        : column == 3 ? std::optional<double>(r.My)
                                        : column == 4 ? r.Capacity
                                        : column == kRadialColumn ? r.Radial
                                                      : r.Ratio;
        if (!v) {
            missing = true;
            if (column == 4 && !why[static_cast<size_t>(r.Missing)]) {
                why[static_cast<size_t>(r.Missing)] = true;
                out.push_back(NoCapacityText(r.Missing));
            }
            continue;
        }
        lo = lo ? std::min(*lo, *v) : *v;
        hi = hi ? std::max(*hi, *v) : *v;
    }
    if (column == 0 && hi) {
        out.push_back(std::to_string(static_cast<long long>(*hi)));
        return out;
    }
    const bool ratio = column == kRatioColumn || column == kRadialColumn;
    if (missing && ratio) out.push_back("n/a");
    for (const auto& v : {lo, hi})
        if (v) out.push_back(ratio ? FormatFixed(*v, 4) : F2(*v));
    return out;
}

}  // namespace

void PmmPage::fitColumns() {
    const QFontMetricsF cell(table_->font()), head(table_->horizontalHeader()->font());
    auto width = [](const QFontMetricsF& fm, const QString& t, int pad) {
        double widest = 0;
        for (const QString& line : t.split('\n')) widest = std::max(widest, fm.horizontalAdvance(line));
        return static_cast<int>(std::ceil(widest)) + pad;
    };
    static const int floor[kCheckColumns] = {0, 6, 6, 6, 6, 6, 0, 6};  // figures before any check
    const int columns = model_->columnCount();
    for (int c = 0; c < columns; ++c) {
        int w = width(head, model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), kHeaderPad);
        w = std::max(w, width(cell, QString(c < kCheckColumns ? floor[c] : 6, '0'), kCellPad));
        for (const std::string& t : CheckColumnSamples(ws_.Check ? &*ws_.Check : nullptr, c))
            w = std::max(w, width(cell, QString::fromStdString(t), kCellPad));
        table_->setColumnWidth(c, w);
    }
    // Columns wider than the table together scroll sideways within it: the
    // page keeps its width, and no column cuts its text.
}

void PmmPage::showResults() {
    if (!model_->resetting()) model_->begin();
    model_->end();
    fitColumns();
    shownRows_ = ws_.Check ? static_cast<long long>(ws_.Check->Rows.size()) : -1;
    const bool surfaceStale = surface_ && surfaceStale_;
    view_->setContent(surface_ ? surface_->wire : SurfaceWire{}, &ws_.Check,
                      (ws_.Check && ws_.CheckStale) || surfaceStale);
    hover_->clear();
    showSummary();
    if (ws_.Check && ws_.Check->Governing >= 0) {
        const QModelIndex at = sorted_->mapFromSource(model_->index(ws_.Check->Governing, 0));
        table_->selectRow(at.row());
        table_->scrollTo(at);
    }
}

QString PmmPage::summaryText() const {
    if (!ws_.Check) return {};
    std::string text = CheckSummaryLine(*ws_.Check);
    if (ws_.CheckStale) text += kStaleNote;
    const std::string radial = CheckRadialLine(*ws_.Check);
    if (!radial.empty()) text += "\n" + radial;
    if (ws_.Check->Slender) text += std::string("\nSlender member: ") + kMemberCheckRule;
    // The section's warnings, where the model is not safe, a line each.
    for (const SectionWarning& w : ComputeSectionWarnings(ws_.Input, WarningMaterialsOf(ws_.Fibers)))
        text += "\n" + w.Text;
    return QString::fromStdString(text);
}

void PmmPage::showSummary() {
    summary_->setText(summaryText());
    // Tall enough for every line: it grows upwards, the table gives way.
    const int w = summary_->width();
    const int needed = std::max(46, summary_->heightForWidth(w));
    const int top = std::max(kTableTop + kTableMinHeight + 4, kSummaryBottom - needed);
    summary_->setGeometry(summary_->x(), top, w, kSummaryBottom - top);
    table_->resize(table_->width(), top - 4 - kTableTop);
}

std::string PmmPage::surfaceCsv(const std::string& eol) const {
    return surface_ ? SurfaceCsv(surface_->surface, eol) : std::string();
}

void PmmPage::inputsChanged() {
    if (running_) return;  // a running command compares when it ends
    refreshStale();
    if (live()) scheduleLive();
}

void PmmPage::refreshStale() {
    // A check emptied or replaced from elsewhere (a project opened) is
    // shown as it now is.
    if (shownRows_ != (ws_.Check ? static_cast<long long>(ws_.Check->Rows.size()) : -1)) showResults();
    bool changed = false;
    if (ws_.Check) {
        const bool stale = inputsKey(true) != checkKey_;
        changed |= stale != ws_.CheckStale;
        ws_.CheckStale = stale;
    }
    if (surface_) {
        const bool stale = inputsKey(false) != surfaceKey_;
        changed |= stale != surfaceStale_;
        surfaceStale_ = stale;
    }
    if (changed) updateStale();
}

// ---------------------------------------------------------------- live check

bool PmmPage::live() const { return live_->isChecked(); }

void PmmPage::setLive(bool on) { live_->setChecked(on); }

bool PmmPage::livePending() const { return runner_->pending(); }

void PmmPage::scheduleLive() {
    // Nothing to do when the results on show are those of the inputs now.
    const bool current = surface_ && !surfaceStale_ && (ws_.Loads.Count < 1 || (ws_.Check && !ws_.CheckStale));
    if (current && !runner_->pending()) return;
    runner_->schedule([this] {
        LiveInputs in;
        for (const auto& [name, edit] : fields_.edits) in.fields.texts[name] = fields_.text(name);
        for (const auto& [name, combo] : fields_.combos) in.fields.items[name] = fields_.itemIndex(name);
        in.base = ws_.Input;
        in.loads = ws_.Loads;
        in.factorP = ws_.ForceFactorP;
        in.factorMx = ws_.ForceFactorMx;
        in.factorMy = ws_.ForceFactorMy;
        in.checkKey = inputsKey(true);
        in.surfaceKey = inputsKey(false);
        return in;
    });
}

void PmmPage::applyLive(std::shared_ptr<const LiveResults> r) {
    if (running_ || !live()) return;
    QStatusBar* bar = qobject_cast<QMainWindow*>(window_) ? qobject_cast<QMainWindow*>(window_)->statusBar() : nullptr;
    if (!r->error.empty()) {
        // The results on show stay, marked stale.
        std::string message = r->error;
        if (message.empty() || message.back() != '.') message += '.';
        if (bar) bar->showMessage(QString::fromStdString(message));
        emit liveUpdated();
        return;
    }
    if (bar) bar->clearMessage();
    if (r->check) {
        model_->begin();
        ws_.Check = *r->check;
        checkKey_ = r->checkKey;
    }
    auto state = std::make_unique<SurfaceState>();
    state->surface = r->surface;
    state->wire = WireOf(state->surface);
    surface_ = std::move(state);
    surfaceKey_ = r->surfaceKey;
    ws_.CheckStale = ws_.Check && inputsKey(true) != checkKey_;
    surfaceStale_ = inputsKey(false) != surfaceKey_;
    showResults();
    emit liveUpdated();
}

void PmmPage::updateStale() {
    showSummary();
    view_->setStale((ws_.Check && ws_.CheckStale) || (surface_ && surfaceStale_));
}

void PmmPage::exportCheck() {
    runCommand(services_, window_, [&] {
        if (!ws_.Check) throw AppError("There is no check to export: press \"Check Forces\" first");
        const QString path = services_.saveFile(window_, "Export Check", "CSV (*.csv)", "csv", QString());
        if (path.isEmpty()) return;
        ReplaceFile(path, CheckCsv(*ws_.Check, "\r\n"), FileWording(path));
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
    const CheckResult* check = view_->check();
    hover_->setText(row && check ? QString::fromStdString(DotCaption(check->Rows[static_cast<size_t>(*row)]))
                                 : QString());
}

}  // namespace px
