#include "report/ui/report_data.h"
#include "input/section_input.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <charconv>

#include "analysis/mm_solver.h"
#include "analysis/pm_solver.h"
#include "common/version.h"
#include "input/error.h"
#include "input/numbers.h"
#include "output/curve_text.h"
#include "section/mesh.h"
#include "section/mesh_custom.h"
#include "section/section_info.h"
#include "section/section_warnings.h"
#include "section/ui/section_drawing.h"

namespace px {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// One input field of the Section page: its edit and the labels whose texts
// make its caption (the row's label, then the column's header if any).
struct FieldRow {
    int edit;
    const char* row;
    const char* column = nullptr;
};

const std::vector<FieldRow>& rectRows() {
    static const std::vector<FieldRow> rows = {
        {1, "Label2"},  {2, "Label3"},  {3, "Label4"},
        {5, "Label5", "Label6"},  {6, "Label5", "Label7"},  {7, "Label5", "Label8"},
        {4, "Label10", "Label6"}, {8, "Label10", "Label7"}, {9, "Label10", "Label8"},
        {10, "Label11", "Label7"}, {11, "Label11", "Label8"},
        {12, "Label12"}, {13, "Label13"}};
    return rows;
}

const std::vector<FieldRow>& circularRows() {
    static const std::vector<FieldRow> rows = {
        {1, "Label2"}, {3, "Label4"},
        {5, "Label5", "Label6"}, {6, "Label5", "Label7"}, {7, "Label5", "Label8"},
        {12, "Label12"}, {13, "Label13"}};
    return rows;
}

const std::vector<FieldRow> kSteelY = {{42, "Label50", "Label54"}, {43, "Label51", "Label54"},
                                       {44, "Label52", "Label54"}, {45, "Label53", "Label54"}};
const std::vector<FieldRow> kSteelX = {{46, "Label50", "Label55"}, {47, "Label51", "Label55"},
                                       {48, "Label52", "Label55"}, {49, "Label53", "Label55"}};
const std::vector<FieldRow> kSteelMesh = {{50, "Label57"}, {51, "Label56"}};

// The fields each section type reads, in the order it reads them.
std::vector<FieldRow> fieldRowsOf(int type) {
    std::vector<FieldRow> rows;
    auto add = [&rows](const std::vector<FieldRow>& more) { rows.insert(rows.end(), more.begin(), more.end()); };
    switch (type) {
        case 1: add(rectRows()); break;
        case 2: add(circularRows()); break;
        case 3: add(rectRows()); add(kSteelY); add(kSteelX); add(kSteelMesh); break;
        case 4: add(rectRows()); add(kSteelY); add(kSteelMesh); break;
        case 5: add({{1, "Label2"}, {3, "Label4"}, {12, "Label12"}, {13, "Label13"}}); break;
        case 6:
            add({{1, "Label2"}, {2, "Label3"}, {3, "Label4"}, {41, "Label49"}, {12, "Label12"}, {13, "Label13"}});
            break;
        case 7: add(circularRows()); add(kSteelY); add(kSteelX); add(kSteelMesh); break;
        case 8:
            add(rectRows());
            add({{42, "Label50", "Label54"}, {44, "Label52", "Label54"}});
            add(kSteelMesh);
            break;
        default: break;
    }
    return rows;
}

QString labelText(const QWidget& form, const char* name) {
    const QLabel* l = form.findChild<const QLabel*>(name);
    return l ? l->text().trimmed() : QString();
}

std::vector<ReportRow> sectionFields(const ReportSource& src, int type) {
    std::vector<ReportRow> out;
    for (const FieldRow& r : fieldRowsOf(type)) {
        QString caption = labelText(*src.form, r.row);
        if (r.column) caption += " (" + labelText(*src.form, r.column) + ")";
        out.push_back({caption, qs(src.fields->text("Edit" + std::to_string(r.edit)))});
    }
    return out;
}

QString typeName(const QWidget& form, int type) {
    static const char* const items[] = {"N19", "N20", "N110", "N21", "N25", "N22", "N23", "N24", "N26"};
    if (type < 1 || type > 9) return {};
    const QAction* a = form.findChild<const QAction*>(items[type - 1]);
    return a ? a->text() : QString();
}

// The material page groups, by the material they describe.
struct MaterialGroup {
    int mat;
    const char* title;
    const char* combo;
    const char *fc, *e0, *fcu, *ecu;  // concrete fields
    const char *es, *fy;              // steel fields
};
constexpr MaterialGroup kGroups[] = {
    {MatCoverConcrete, "Cover Concrete", "ComboBox2", "Edit14", "Edit15", "Edit17", "Edit16", nullptr, nullptr},
    {MatCoreConcrete1, "Core Concrete One", "ComboBox3", "Edit18", "Edit19", "Edit21", "Edit20", nullptr, nullptr},
    {MatCoreConcrete2, "Core Concrete Two", "ComboBox4", "Edit22", "Edit23", "Edit25", "Edit24", nullptr, nullptr},
    {MatRebar, "Rebar Material", "ComboBox5", nullptr, nullptr, nullptr, nullptr, "Edit26", "Edit27"},
    {MatSteelSection, "Steel Section Material", "ComboBox6", nullptr, nullptr, nullptr, nullptr, "Edit28", "Edit29"},
};

std::vector<ReportMaterial> materials(const ReportSource& src, const FiberTable& t) {
    std::vector<ReportMaterial> out;
    for (const MaterialGroup& g : kGroups) {
        const Fiber* first = nullptr;
        for (int i = 1; i <= t.NFib && !first; ++i) {
            const int id = t[i].MatId == MatDeductedConcrete1 ? MatCoreConcrete1 : t[i].MatId;
            if (id == g.mat) first = &t[i];
        }
        if (!first) continue;
        ReportMaterial m;
        m.title = g.title;
        m.concrete = g.fc != nullptr;
        const QComboBox* combo = src.form->findChild<const QComboBox*>(g.combo);
        auto text = [&](const char* name) { return qs(src.fields->text(name)); };
        if (m.concrete) {
            m.model = first->ConcModel;
            m.fc = first->Fc, m.e0 = first->E0, m.fcu = first->Fcu, m.ecu = first->Ecu;
            m.rows = {{"Conc Model", combo ? combo->currentText() : QString()},
                      {"Yield Strength fc", text(g.fc)},
                      {"Yield Stage Stain e0", text(g.e0)},
                      {"Ultimate Stage Strength fcu", text(g.fcu)},
                      {"Ultimate Stage Strain ecu", text(g.ecu)}};
        } else {
            m.model = first->SteelModel;
            m.fy = first->Fy, m.es = first->Es;
            m.rows = {{"Steel Model", combo ? combo->currentText() : QString()},
                      {"Modulus of Elasticity Es", text(g.es)},
                      {"Yield Strength fy", text(g.fy)}};
        }
        out.push_back(std::move(m));
    }
    return out;
}

// The factor as its field shows it when the field still reads as that
// factor ("1.125", "0.0001"), else the shortest text that reads back as it.
QString factorText(const FieldSource& f, const char* field, double factor) {
    const std::string typed = f.text(field);
    try {
        if (StrToFloat(typed) == factor) return qs(typed).trimmed();
    } catch (const AppError&) {
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, factor, std::chars_format::fixed);
    if (r.ec != std::errc()) return QString::number(factor, 'g', 17);
    return QString::fromLatin1(buf, static_cast<int>(r.ptr - buf));
}

}  // namespace

ReportData BuildReportData(const ReportSource& src) {
    const FieldSource& f = *src.fields;
    const Workspace& ws = *src.ws;
    ReportData d;

    // The section, as "Input Section" and "Show PM Curve" build it.
    d.input = ws.Input;
    ReadSectionInput(f, d.input);
    CheckSectionInput(d.input);
    BuildFiberTable(d.input, d.fibers);
    // The section picture's scale divides by the extent.
    checkedDiv(0.8 * kSectionImageWidth, d.input.B);
    checkedDiv(0.8 * kSectionImageHeight, d.input.H);
    AssignFiberMaterials(f, d.fibers);
    const SectionInfoTexts t = FormatSectionInfo(ComputeSectionInfo(d.input, d.fibers));
    // The window's captions with their units.
    d.info = {{"Gross Area (mm2)", qs(t.Edit36)}, {"Conc Area (mm2)", qs(t.Edit31)},
              {"Rebar Area (mm2)", qs(t.Edit37)}, {"Ratio(%)", qs(t.Edit39)},
              {"Steel Area (mm2)", qs(t.Edit38)}, {"Ratio(%)", qs(t.Edit40)}};
    for (const SectionWarning& w : ComputeSectionWarnings(d.input, WarningMaterialsOf(d.fibers)))
        d.warnings.push_back(w.Text);

    // Both P-M curves, as "Show PM Curve" solves them.
    CheckFiberMaterials(d.fibers);
    const PmSettings pm = ReadPmSettings(f);
    CheckPmSettings(pm);
    ComputeAxialBounds(d.fibers, d.pMax, d.pMin);
    SolvePM(d.fibers, d.input.B, d.input.H, pm, 0, d.pMin, d.pMax, d.pm);
    SolvePM(d.fibers, d.input.B, d.input.H, pm, 90, d.pMin, d.pMax, d.pm);
    d.pmText = FillPMText(d.pm);

    // The Mx-My curve at the current axial force, as "Gen MM Curve" solves it.
    const MmSettings mm = ReadMmSettings(f);
    CheckMmSettings(mm);
    SolveMMCurve(d.fibers, d.input.B, d.input.H, mm, d.mm);
    d.mmPoints = mm.points;
    d.mmAxialForce = mm.axialForce;
    d.mmText = FillMMText(d.mmPoints, d.mmAxialForce, d.mm);

    d.program = QString::fromUtf8(kProgramBanner);
    d.project = ws.ProjectPath.empty() ? QStringLiteral("Untitled")
                                       : QFileInfo(QString::fromStdString(ws.ProjectPath)).fileName();
    d.dateTime = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm");
    d.typeName = typeName(*src.form, d.input.SectionType);
    d.fields = sectionFields(src, d.input.SectionType);
    if (d.input.SectionType == 9 && d.input.Custom) {
        // A drawn section: where it came from, its mesh and where its moments are taken.
        d.fields = {{"Section File", qs(d.input.Custom->Name)},
                    {"Mesh Size (mm)", qs(MeshSizeText(d.input.MeshSize))},
                    {"Centroid x in the drawing (mm)", qs(F2(d.fibers.OriginX))},
                    {"Centroid y in the drawing (mm)", qs(F2(d.fibers.OriginY))}};
    }
    d.colors = ws.Colors;
    d.materials = materials(src, d.fibers);

    d.forceCount = ws.Loads.Count;
    if (d.forceCount > 0) {
        d.factorP = ws.ForceFactorP, d.factorMx = ws.ForceFactorMx, d.factorMy = ws.ForceFactorMy;
        d.factorPText = factorText(f, "Edit57", d.factorP);
        d.factorMxText = factorText(f, "Edit58", d.factorMx);
        d.factorMyText = factorText(f, "Edit59", d.factorMy);
        d.summary = DataSummary(ws.Loads);
        if (ws.Check && !ws.CheckStale) d.check = ws.Check;
        d.checkStale = ws.Check && ws.CheckStale;
    }
    if (ws.Mphi) {
        if (ws.MphiKey == MphiInputsKey(f)) d.mphi = ws.Mphi;
        else d.mphiStale = true;
    }
    return d;
}

std::vector<int> HighestRatios(const CheckResult& r, int limit) {
    std::vector<int> order(r.Rows.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    auto worse = [&r](int a, int b) {
        const CheckRow& x = r.Rows[static_cast<size_t>(a)];
        const CheckRow& y = r.Rows[static_cast<size_t>(b)];
        if (!x.Ratio || !y.Ratio) return !x.Ratio && y.Ratio;
        return *x.Ratio > *y.Ratio;
    };
    std::stable_sort(order.begin(), order.end(), worse);
    if (limit >= 0 && order.size() > static_cast<size_t>(limit)) order.resize(static_cast<size_t>(limit));
    return order;
}

}  // namespace px
