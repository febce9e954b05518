#pragma once
// Everything the analysis report shows, gathered from the main window and
// computed afresh from its current fields.
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "analysis/curves.h"
#include "workspace/workspace.h"
#include "check/capacity_check.h"
#include "curvature/moment_curvature.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "loads/data_summary.h"
#include "section/fiber.h"

class QWidget;

namespace px {

// A caption and the value shown beside it.
struct ReportRow {
    QString caption, value;
};

struct ReportMaterial {
    QString title;                // the material page's group
    std::vector<ReportRow> rows;  // model and parameters as the page shows them
    bool concrete = true;
    int model = 1;
    double fc = 0, fcu = 0, e0 = 0, ecu = 0;  // concrete
    double fy = 0, es = 0;                    // steel
};

struct ReportData {
    // Title block.
    QString program;   // "Pillarix v1.2 (2014-09-06)"
    QString project;   // project file name, or "Untitled"
    QString dateTime;  // "yyyy-MM-dd HH:mm"
    QString typeName;  // the Section Type menu's item

    // Section.
    std::vector<ReportRow> fields;  // input fields of this type, panel captions
    SectionInput input;
    FiberTable fibers;
    MaterialColors colors;
    std::vector<ReportRow> info;  // the six section-information figures
    std::vector<std::string> warnings;  // where the section model is not safe

    std::vector<ReportMaterial> materials;

    // Interaction.
    PMCurve pm;
    double pMax = 0, pMin = 0;
    std::vector<std::string> pmText;  // as the result window shows it
    MMCurve mm;
    int mmPoints = 0;
    double mmAxialForce = 0;
    std::vector<std::string> mmText;

    // Forces; only when some are imported.
    int forceCount = 0;
    double factorP = 1, factorMx = 1, factorMy = 1;
    // The factors as typed in their fields (Edit57..Edit59), or, when a
    // field no longer holds the factor in use, that factor's shortest text.
    QString factorPText, factorMxText, factorMyText;
    DataSummaryGrid summary;
    std::optional<CheckResult> check;  // only a check of the current section and forces
    bool checkStale = false;           // a check was run, but on other inputs

    // The M-Phi page's curve when it was made from the current fields; a
    // curve of other inputs is only named.
    std::optional<MphiResult> mphi;
    bool mphiStale = false;
};

// The window's parts the report reads: its fields, its workspace, and the
// form itself for the captions of the Section page and the Section Type menu.
struct ReportSource {
    const QWidget* form = nullptr;
    const FieldSource* fields = nullptr;
    const Workspace* ws = nullptr;
};

// Reads the current fields and computes the section, both P-M curves and the
// Mx-My curve with the same steps, and so the same messages, as the window's
// commands; the window's own state is not changed. Throws AppError.
ReportData BuildReportData(const ReportSource& src);

// Combinations of the check ranked for the report: a case without a capacity
// first, then by ratio, largest first; equal ones in file order. At most
// `limit` indices into r.Rows.
std::vector<int> HighestRatios(const CheckResult& r, int limit);

}  // namespace px
