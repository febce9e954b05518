#include "report/ui/report_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <functional>

#include "common/ui/file_write.h"
#include "common/ui/platform.h"
#include "curvature/ui/mphi_chart.h"
#include "input/error.h"
#include "input/numbers.h"
#include "output/curve_text.h"
#include "material/ui/material_plots.h"
#include "plot/ui/mm_chart.h"
#include "plot/ui/pm_chart.h"
#include "section/ui/section_drawing.h"

namespace px {

namespace {

constexpr int kDpi = 600;
constexpr double kMarginMm = 15;
constexpr double kFooterMm = 10;
constexpr int kHighestRatios = 20;
constexpr size_t kKeptLines = 8;  // lines of a table kept together at least
constexpr size_t kOneColumnFields = 14;  // more section fields are laid in two columns
const QString kCredit = QStringLiteral("Fiber section analysis of columns");

double mm(double v) { return v * kDpi / 25.4; }
QString qs(const std::string& s) { return QString::fromStdString(s); }

// Paints a picture of the window over a W x H pixel area at the origin.
using PaintFn = std::function<void(QPainter&, int W, int H)>;

struct Picture {
    QString title;
    int W, H;
    PaintFn paint;
};

// Lays the report out from the top of the first page down. Run once without
// a painter to count the pages, then again with one to paint them.
class Flow {
public:
    Flow(QPdfWriter& writer, QPainter* painter, int pages)
        : writer_(writer), p_(painter), pages_(pages), width_(writer.width()),
          bottom_(writer.height() - mm(kFooterMm)) {
        body_ = QFont("Arial", 10);
        bold_ = body_;
        bold_.setBold(true);
        heading_ = QFont("Arial", 14, QFont::Bold);
        title_ = QFont("Arial", 22, QFont::Bold);
        mono_ = QFont("Courier New", 9);
        // The pictures' text has the size it has on the screen's pictures:
        // the application font at the images' resolution, scaled with them.
        chartFont_ = QFont();
        if (chartFont_.pointSizeF() > 0) {
            const double imageDpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiY();
            chartFont_.setPointSizeF(chartFont_.pointSizeF() * imageDpi / writer.logicalDpiY());
        }
    }

    int page() const { return page_; }
    double width() const { return width_; }
    const QFont& body() const { return body_; }
    const QFont& bold() const { return bold_; }
    const QFont& mono() const { return mono_; }

    double lineHeight(const QFont& f) const { return QFontMetricsF(f, &writer_).lineSpacing(); }
    double textWidth(const QFont& f, const QString& s) const {
        return QFontMetricsF(f, &writer_).horizontalAdvance(s);
    }

    // Starts a new page unless `h` still fits on this one.
    void ensure(double h) {
        if (y_ > 0 && y_ + h > bottom_) newPage();
    }
    void space(double h) { y_ += h; }

    void title(const QString& s) { line(s, title_, 0, lineHeight(title_) * 1.2); }

    // A heading stays on the page of what follows it: `keep` is the height
    // of that first block.
    void heading(const QString& s, double keep) {
        const double h = lineHeight(heading_);
        ensure(h * 1.9 + keep);
        space(h * 0.6);
        line(s, heading_, 0, h * 1.3);
    }

    void line(const QString& s, const QFont& f, double x = 0, double advance = -1) {
        const double h = lineHeight(f);
        ensure(h);
        put(x, y_, s, f);
        y_ += advance < 0 ? h : advance;
    }

    // Rows of cells; column k starts at x[k]. A bold first row is a header,
    // repeated at the top of each page the table continues on. A short
    // table stays on one page; a long one starts with a few rows.
    void table(const std::vector<double>& x, const std::vector<QStringList>& rows, bool header) {
        const double h = lineHeight(body_) * 1.25;
        ensure(h * static_cast<double>(std::min<size_t>(rows.size(), kKeptLines)));
        auto row = [&](size_t r) {
            const QFont& f = header && r == 0 ? bold_ : body_;
            for (int c = 0; c < rows[r].size() && c < static_cast<int>(x.size()); ++c)
                put(x[static_cast<size_t>(c)], y_, rows[r][c], f);
            y_ += h;
            if (header && r == 0 && p_) {
                p_->setPen(QPen(Qt::black, mm(0.2)));
                p_->drawLine(QPointF(x.front(), y_ - h * 0.1), QPointF(width_, y_ - h * 0.1));
            }
        };
        for (size_t r = 0; r < rows.size(); ++r) {
            const int before = page_;
            ensure(h);
            if (header && r > 0 && page_ != before) row(0);
            row(r);
        }
    }

    // Pictures side by side, each `w` wide, with their titles above; `keep`
    // is the height of what follows them and belongs to them (a caption
    // line), kept on their page.
    void pictures(const std::vector<Picture>& pics, double w, double keep = 0) {
        const double gap = pics.size() > 1 ? (width_ - w * pics.size()) / (pics.size() - 1) : 0;
        double h = 0;
        for (const Picture& pic : pics) h = std::max(h, w * pic.H / pic.W);
        const bool titled = std::any_of(pics.begin(), pics.end(), [](const Picture& p) { return !p.title.isEmpty(); });
        const double th = titled ? lineHeight(body_) * 1.3 : 0;
        ensure(th + h + keep);
        double x = pics.size() > 1 ? 0 : (width_ - w) / 2;
        for (const Picture& pic : pics) {
            if (titled) put(x, y_, pic.title, body_);
            paintPicture(pic, x, y_ + th, w);
            x += w + gap;
        }
        y_ += th + h + lineHeight(body_) * 0.5;
    }

    // A picture of width w at (x, current line) with rows of captions and
    // values to its right.
    void pictureWithRows(const Picture& pic, double w, const std::vector<ReportRow>& rows) {
        const double h = w * pic.H / pic.W;
        const double rowH = lineHeight(body_) * 1.25;
        const double titleH = lineHeight(bold_) * 1.4;
        ensure(std::max(h, titleH + rowH * rows.size()));
        paintPicture(pic, 0, y_, w);
        const double x0 = w + mm(8);
        put(x0, y_, pic.title, bold_);
        double y = y_ + titleH;
        for (const ReportRow& r : rows) {
            put(x0, y, r.caption, body_);
            put(x0 + mm(55), y, r.value, body_);
            y += rowH;
        }
        y_ += std::max(h, y - y_) + lineHeight(body_) * 0.8;
    }

    // Lines of fixed-width text: a title block, a column header repeated at
    // the top of each page the rows continue on, the rows, and closing
    // lines. The title, the header and the first rows stay together.
    void textTable(const std::vector<QString>& title, const std::vector<QString>& head,
                   const std::vector<QString>& rows, const std::vector<QString>& tail) {
        const double h = lineHeight(mono_);
        const size_t first = std::min(rows.size(), kKeptLines);
        ensure(h * static_cast<double>(title.size() + head.size() + first));
        for (const QString& l : title) line(l, mono_);
        for (const QString& l : head) line(l, mono_);
        for (const QString& r : rows) {
            if (y_ + h > bottom_) {
                newPage();
                for (const QString& l : head) line(l, mono_);
            }
            line(r, mono_);
        }
        for (const QString& l : tail) line(l, mono_);
    }

    void finish() { footer(); }

private:
    void put(double x, double y, const QString& s, const QFont& f) {
        if (!p_) return;
        p_->setFont(f);
        p_->setPen(Qt::black);
        p_->drawText(QRectF(x, y, width_ - x, lineHeight(f) * 2), Qt::AlignLeft | Qt::AlignTop, s);
    }

    // The window's drawing function, painting at print resolution through a
    // scaling transform; the picture keeps its own pixel coordinates.
    void paintPicture(const Picture& pic, double x, double y, double w) {
        if (!p_) return;
        p_->save();
        p_->translate(x, y);
        p_->scale(w / pic.W, w / pic.W);
        p_->setClipRect(QRect(0, 0, pic.W, pic.H));
        p_->setFont(chartFont_);
        pic.paint(*p_, pic.W, pic.H);
        p_->restore();
    }

    void footer() {
        if (!p_) return;
        p_->setFont(body_);
        p_->setPen(Qt::black);
        p_->drawText(QRectF(0, bottom_, width_, writer_.height() - bottom_), Qt::AlignHCenter | Qt::AlignBottom,
                     QString("Page %1 of %2").arg(page_).arg(pages_));
    }

    void newPage() {
        footer();
        if (p_ && !writer_.newPage()) throw AppError("Cannot start a new page of the report");
        ++page_;
        y_ = 0;
    }

    QPdfWriter& writer_;
    QPainter* p_;
    int pages_;
    double width_, bottom_;
    double y_ = 0;
    int page_ = 1;
    QFont body_, bold_, heading_, title_, mono_, chartFont_;
};

QString fixed(double v, int decimals) { return qs(FormatFixed(v, decimals)); }

// A table's column captions with the units of their figures.
QStringList withUnits(QStringList captions) {
    for (QString& c : captions) {
        if (c == "P") c += " (kN)";
        else if (c == "Mx" || c == "My" || c == "Capacity") c += " (kNm)";
    }
    return captions;
}

void layTitle(Flow& f, const ReportData& d) {
    f.title("Column Analysis Report");
    f.table({0, mm(35)},
            {{"Program", d.program},
             {"Project", d.project},
             {"Date", d.dateTime},
             {"Section type", d.typeName}},
            false);
}

void laySection(Flow& f, const ReportData& d) {
    f.heading("1  Section", f.lineHeight(f.body()) * 3);
    std::vector<QStringList> rows;
    if (d.fields.size() <= kOneColumnFields) {
        for (const ReportRow& r : d.fields) rows.push_back({r.caption, r.value});
        f.table({0, mm(70)}, rows, false);
    } else {
        // The panels with a steel section: two columns, so that the drawing
        // still shares the first page with its fields.
        const size_t half = (d.fields.size() + 1) / 2;
        for (size_t i = 0; i < half; ++i) {
            QStringList row{d.fields[i].caption, d.fields[i].value};
            if (i + half < d.fields.size()) row << d.fields[i + half].caption << d.fields[i + half].value;
            rows.push_back(row);
        }
        f.table({0, mm(62), mm(92), mm(154)}, rows, false);
    }
    f.space(f.lineHeight(f.body()) * 0.5);
    f.pictures({{QString(), kSectionImageWidth, kSectionImageHeight,
                 [&d](QPainter& p, int W, int H) { DrawSection(p, W, H, d.input, d.fibers, d.colors, kCredit); }}},
               mm(150));
    f.ensure(f.lineHeight(f.bold()) * 1.3 + f.lineHeight(f.body()) * 2.5);
    f.line("Section Information", f.bold(), 0, f.lineHeight(f.bold()) * 1.3);
    std::vector<QStringList> info(3);
    for (size_t i = 0; i < d.info.size(); ++i) info[i % 2 ? 1 : 0] << d.info[i].caption << d.info[i].value;
    f.table({0, mm(36), mm(58), mm(94), mm(116), mm(152)}, {info[0], info[1]}, false);
    // Each warning as lines broken between words to the page's width.
    for (const std::string& w : d.warnings) {
        QString lineText;
        for (const QString& word : qs(w).split(' ')) {
            const QString next = lineText.isEmpty() ? word : lineText + ' ' + word;
            if (!lineText.isEmpty() && f.textWidth(f.body(), next) > f.width()) {
                f.line(lineText, f.body());
                lineText = word;
            } else {
                lineText = next;
            }
        }
        if (!lineText.isEmpty()) f.line(lineText, f.body());
    }
}

void layMaterials(Flow& f, const ReportData& d) {
    f.heading("2  Materials", mm(80) * 247 / 271);
    for (const ReportMaterial& m : d.materials) {
        Picture pic{m.title, 271, 247, nullptr};
        if (m.concrete)
            pic.paint = [&m](QPainter& p, int W, int H) { DrawConcreteCurve(p, W, H, m.model, m.fc, m.fcu, m.e0, m.ecu); };
        else
            pic.paint = [&m](QPainter& p, int W, int H) { DrawSteelCurve(p, W, H, m.model, m.fy, m.es); };
        f.pictureWithRows(pic, mm(80), m.rows);
    }
}

// A curve text as the result window shows it, laid out as a table: the
// lines before its column header, the header with a line of units under it
// (repeated on each page the rows continue on), the rows, the closing rule.
// `header` is the index of the column header line, between two rules.
void layCurveText(Flow& f, const std::vector<std::string>& lines, size_t header, const QString& units) {
    if (lines.size() < header + 3) {
        for (const std::string& l : lines) f.line(qs(l), f.mono());
        return;
    }
    std::vector<QString> title, head, rows, tail;
    for (size_t i = 0; i + 1 < header; ++i) title.push_back(qs(lines[i]));
    head = {qs(lines[header - 1]), qs(lines[header]), units, qs(lines[header + 1])};
    for (size_t i = header + 2; i + 1 < lines.size(); ++i) rows.push_back(qs(lines[i]));
    tail.push_back(qs(lines.back()));
    f.textTable(title, head, rows, tail);
}

// "kN", "kNm" under the columns of a curve text.
QString unitsLine(const std::vector<const char*>& units) {
    QString s;
    for (const char* u : units) s += QString("(%1)").arg(u).leftJustified(kTextCellWidth);
    return s;
}

void layPm(Flow& f, const ReportData& d) {
    const double w = (f.width() - mm(6)) / 2;
    f.heading("3  P-M Interaction", f.lineHeight(f.body()) * 1.3 + w * 391 / 388);
    PMPlotScale scale;  // the pictures' own; the window's stays as it is
    // The capacities' line is the plots' caption: it stays on their page.
    f.pictures({{"X Direction PM Curve (Degree=0)", 388, 391,
                 [&](QPainter& p, int W, int H) { DrawPMCurve(p, W, H, d.pm, 0, scale); }},
                {"Y Direction PM Curve (Degree=90)", 388, 391,
                 [&](QPainter& p, int W, int H) { DrawPMCurve(p, W, H, d.pm, 90, scale); }}},
               w, f.lineHeight(f.body()) * 1.25);
    f.table({0, mm(20), mm(60), mm(80)}, {{"PMax", fixed(d.pMax, 2) + " kN", "PMin", fixed(d.pMin, 2) + " kN"}},
            false);
    layCurveText(f, d.pmText, 4, unitsLine({"kN", "kNm", "kN", "kNm"}));
}

void layMm(Flow& f, const ReportData& d) {
    f.heading("4  Mx-My Interaction", f.lineHeight(f.body()) * 1.3 + mm(110));
    MMPlotScale scale;
    f.pictures({{"Mx-My Curve at Axial Force P = " + fixed(d.mmAxialForce, 2) + " kN", 391, 391,
                 [&](QPainter& p, int W, int H) { DrawMMCurve(p, W, H, d.mm, d.mmPoints, scale); }}},
               mm(110));
    layCurveText(f, d.mmText, 6, unitsLine({"kNm", "kNm"}));
}

void layForces(Flow& f, const ReportData& d) {
    f.heading("5  Forces", f.lineHeight(f.body()) * 5);
    f.table({0, mm(50)},
            {{"Load combinations", QString::number(d.forceCount)},
             {"Factor P", d.factorPText},
             {"Factor Mx", d.factorMxText},
             {"Factor My", d.factorMyText}},
            false);
    f.space(f.lineHeight(f.body()) * 0.5);
    std::vector<QStringList> grid;
    for (const auto& row : d.summary.Cells) {
        QStringList cells;
        for (const std::string& c : row) cells << qs(c);
        grid.push_back(cells);
    }
    grid[0] = withUnits(grid[0]);
    f.table({0, mm(30), mm(60), mm(90)}, grid, true);
    if (d.checkStale) {
        f.space(f.lineHeight(f.body()) * 0.5);
        f.line("Capacity check left out: the inputs changed after it was run; run Check Forces again.", f.body());
    }
    if (!d.check) return;

    const CheckResult& r = *d.check;
    f.space(f.lineHeight(f.body()) * 0.5);
    f.ensure(f.lineHeight(f.bold()) * 1.3 + f.lineHeight(f.body()) * 4);
    f.line("Capacity check", f.bold(), 0, f.lineHeight(f.bold()) * 1.3);
    f.line(qs(CheckSummaryLine(r)), f.body());
    f.line(qs(CheckRadialLine(r)), f.body(), 0, f.lineHeight(f.body()) * 1.6);
    const std::vector<int> top = HighestRatios(r, kHighestRatios);
    // The cells as the check's own table and export write them.
    std::vector<QStringList> rows(1);
    for (int c = 0; c < kCheckColumns; ++c) rows[0] << qs(CheckColumnName(r, c));  // with their units
    for (int i : top) {
        QStringList& row = rows.emplace_back();
        for (int c = 0; c < kCheckColumns; ++c) row << qs(CheckCellText(r.Rows[static_cast<size_t>(i)], c));
    }
    f.table({0, mm(24), mm(46), mm(68), mm(90), mm(120), mm(139), mm(153)}, rows, true);
    if (r.Slender) {
        // The member's magnifiers and moments beside the case, in a table of
        // their own; the slenderness, the same on every row, on a line.
        f.space(f.lineHeight(f.body()) * 0.5);
        f.line("Slender member, general method: each axis magnified on its own, with its own k and bow; the largest",
               f.body());
        f.line("second-order moment along the member replaces the row's moment about that axis.", f.body());
        if (!r.Rows.empty() && r.Rows[0].Member)
            f.line(QString("Slenderness k L / r (r of the section's area): x %1, y %2")
                       .arg(qs(CheckCellText(r.Rows[0], kCheckColumns)), qs(CheckCellText(r.Rows[0], kCheckColumns + 1))),
                   f.body());
        std::vector<QStringList> member(1);
        member[0] << qs(CheckColumnName(r, 0));
        for (int c = kCheckColumns + 2; c < CheckColumnCount(r); ++c) member[0] << qs(CheckColumnName(r, c));
        for (int i : top) {
            QStringList& row = member.emplace_back();
            row << qs(CheckCellText(r.Rows[static_cast<size_t>(i)], 0));
            for (int c = kCheckColumns + 2; c < CheckColumnCount(r); ++c)
                row << qs(CheckCellText(r.Rows[static_cast<size_t>(i)], c));
        }
        f.table({0, mm(24), mm(50), mm(76), mm(112)}, member, true);
    }
    const size_t others = r.Rows.size() - top.size();
    f.line(others == 0 ? QString("All %1 combinations are listed.").arg(r.Rows.size())
                       : QString("The %1 highest ratios of %2 combinations; %3 others not listed.")
                             .arg(top.size())
                             .arg(r.Rows.size())
                             .arg(others),
           f.body());
}

// Lines in the fixed-width font, kept together.
void layTextRows(Flow& f, const std::vector<std::string>& lines) {
    f.ensure(f.lineHeight(f.mono()) * static_cast<double>(lines.size()));
    for (const std::string& l : lines) f.line(qs(l), f.mono());
}

void layMphi(Flow& f, const ReportData& d, int number) {
    const QString title = QString("%1  Moment-Curvature").arg(number);
    if (!d.mphi) {
        f.heading(title, f.lineHeight(f.body()) * 2);
        f.line("The curve on the \"M-Phi Curve\" page is stale: the inputs changed since it was computed, "
               "so it is not shown.",
               f.body());
        return;
    }
    const MphiResult& r = *d.mphi;
    f.heading(title, f.lineHeight(f.body()) * 1.3 + mm(110));
    f.pictures({{"M-Phi Curve at Axial Force P = " + fixed(r.settings.axialForce, 2) + " kN, Neutral Axis Angle " +
                     fixed(r.settings.angle, 2) + " degrees",
                 kMphiImageWidth, kMphiImageHeight,
                 [&r](QPainter& p, int W, int H) { DrawMphiCurve(p, W, H, &r); }}},
               mm(110));
    layTextRows(f, MphiKeyLines(r));
}

void layReport(Flow& f, const ReportData& d) {
    layTitle(f, d);
    laySection(f, d);
    layMaterials(f, d);
    layPm(f, d);
    layMm(f, d);
    if (d.forceCount > 0) layForces(f, d);
    if (d.mphi || d.mphiStale) layMphi(f, d, d.forceCount > 0 ? 6 : 5);
    f.finish();
}

}  // namespace

int WriteReportPdf(const QString& path, const ReportData& data) {
    int pages = 0;
    ReplaceFileFrom(path, FileWording(path), [&](QIODevice& device) {
        QPdfWriter writer(&device);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        writer.setTitle("Column Analysis Report");
        writer.setCreator(data.program);

        Flow count(writer, nullptr, 0);
        layReport(count, data);
        pages = count.page();

        QPainter p;
        if (!p.begin(&writer)) throw AppError("Cannot write file \"" + path.toStdString() + "\". The PDF could not be started");
        Flow paint(writer, &p, pages);
        layReport(paint, data);
        p.end();
    });
    return pages;
}

QString ProposedReportName(const std::string& projectPath) {
    if (projectPath.empty()) return QStringLiteral("column.pdf");
    const QFileInfo info(QString::fromStdString(projectPath));
    return info.dir().filePath(info.completeBaseName() + ".pdf");
}

void SaveAnalysisReport(PlatformServices& platform, QWidget* parent, const ReportSource& src) {
    // Wrong fields are reported before a name is asked for.
    const ReportData data = BuildReportData(src);
    const QString path = platform.saveFile(parent, "Analysis Report", "PDF (*.pdf)", "pdf",
                                           ProposedReportName(src.ws->ProjectPath));
    if (path.isEmpty()) return;
    WriteReportPdf(path, data);
}

}  // namespace px
