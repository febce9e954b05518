#include "validation/validate.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "analysis/parallel_jobs.h"
#include "analysis/pm_solver.h"
#include "analysis/section_steps.h"
#include "input/error.h"
#include "input/fields.h"
#include "input/numbers.h"
#include "input/section_input.h"
#include "section/section_from_fields.h"
#include "section/section_warnings.h"
#include "study/study.h"

namespace px::validation {

namespace {

// Full precision, so the fields carry the converted values exactly.
std::string num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

}  // namespace

std::map<std::string, std::string> SpecimenFields(const Specimen& s, const RunSettings& settings, int& sectionItem) {
    std::map<std::string, std::string> f;
    f["Edit1"] = num(s.B);
    f["Edit2"] = num(s.H);
    f["Edit12"] = f["Edit13"] = std::to_string(settings.Mesh);
    switch (s.Fam) {
    case Family::CCFT:
        sectionItem = 4;  // "Circular Steel Tube Col"
        f["Edit3"] = num(s.t);
        break;
    case Family::RCFT:
        sectionItem = 5;  // "Rect Steel Box Column"
        f["Edit3"] = f["Edit41"] = num(s.t);
        break;
    case Family::SRC:
        sectionItem = 3;  // "Rect SRC Column Type2": one H section, web along y
        f["Edit42"] = num(s.d);
        f["Edit43"] = num(s.bf);
        f["Edit44"] = num(s.tf);
        f["Edit45"] = num(s.tw);
        f["Edit50"] = std::to_string(settings.Mesh);
        f["Edit51"] = std::to_string(std::max(2, settings.Mesh / 2));
        // Four corner bars, or none.
        f["Edit5"] = f["Edit4"] = "0";
        f["Edit6"] = f["Edit8"] = "0";
        f["Edit10"] = s.BarDia > 0 ? "1" : "0";
        f["Edit11"] = num(s.BarDia > 0 ? s.BarDia : 0);
        f["Edit3"] = num(s.BarDia > 0 ? s.Cover : 0);
        f["Edit27"] = num(s.BarDia > 0 ? s.FyBar : s.Fy);
        break;
    }
    // Cover and core concrete at the measured cylinder strength, with the
    // program's default strains; the steel section at its measured yield.
    for (const char* e : {"Edit14", "Edit17", "Edit18", "Edit21", "Edit22", "Edit25"}) f[e] = num(s.Fc);
    f["Edit29"] = num(s.Fy);
    f["Edit33"] = std::to_string(settings.Levels);
    return f;
}

double FlexuralWallSlenderness(const Specimen& s, double Es) {
    if (s.t <= 0 || s.Fy <= 0 || Es <= 0) return 0;
    if (s.Fam == Family::CCFT) return s.H / s.t / (0.09 * Es / s.Fy);
    if (s.Fam != Family::RCFT) return 0;
    // The flange is the wall across the bending: B wide about x, H about y.
    const double flange = s.Strong ? s.B : s.H, web = s.Strong ? s.H : s.B;
    const double root = std::sqrt(Es / s.Fy);
    return std::max((flange - 3 * s.t) / s.t / (2.26 * root), (web - 3 * s.t) / s.t / (3.00 * root));
}

bool CurveMeetsEccentricity(const std::vector<double>& P, const std::vector<double>& M, int n, double e, double& Pe) {
    auto gap = [&](int i) { return std::fabs(M[static_cast<size_t>(i)]) - P[static_cast<size_t>(i)] * e / 1000; };
    for (int i = n - 1; i >= 0; --i) {
        // Below the compression side's last point the line M = P e has no
        // meaning: a crossing needs P above zero at the upper point.
        if (P[static_cast<size_t>(i + 1)] <= 0) return false;
        const double g0 = gap(i), g1 = gap(i + 1);
        if (g0 >= 0 && g1 < 0) {
            const double p0 = P[static_cast<size_t>(i)], p1 = P[static_cast<size_t>(i + 1)];
            Pe = p0 + (p1 - p0) * g0 / (g0 - g1);
            return Pe > 0;
        }
    }
    return false;
}

Prediction Predict(const Specimen& s, const RunSettings& settings) {
    Prediction r;
    try {
        MapFields fields = DefaultFields();
        int item = 0;
        for (const auto& [name, text] : SpecimenFields(s, settings, item)) fields[name] = text;
        fields.items["ComboBox1"] = item;

        SectionInput in;
        FiberTable t;
        MeshSectionFromFields(fields, in, t);
        CheckFiberMaterials(t);
        const WarningMaterials wm = WarningMaterialsOf(t);
        r.Warnings = WarningsText(ComputeSectionWarnings(in, wm));
        double ratio = 0, limit = 0;
        if (s.K == Kind::Beam) r.Slenderness = FlexuralWallSlenderness(s, wm.SteelEs);
        else if (WallSlenderness(in, wm, ratio, limit)) r.Slenderness = ratio / limit;

        double PMax = 0, PMin = 0;
        ComputeAxialBounds(t, PMax, PMin);
        if (s.K == Kind::Stub) {
            r.Value = PMax;
        } else {
            const PmSettings pm = ReadPmSettings(fields);
            CheckPmSettings(pm);
            SolveOptions options;
            options.threads = 1;
            PMCurve curve;
            const double angle = s.Strong ? 0 : 90;
            SolvePM(t, in.B, in.H, pm, angle, PMin, PMax, curve, {}, options);
            const std::vector<double>& P = s.Strong ? curve.PX : curve.PY;
            const std::vector<double>& M = s.Strong ? curve.MX : curve.MY;
            if (s.K == Kind::Beam) {
                const std::optional<double> m = MomentAtZeroAxialForce(P, M, curve.Divisions);
                if (!m) throw AppError("the P-M curve does not reach P = 0");
                r.Value = std::fabs(*m);
            } else if (!CurveMeetsEccentricity(P, M, curve.Divisions, s.E, r.Value)) {
                throw AppError("the P-M curve does not meet M = P e");
            }
        }
        if (!(r.Value > 0)) throw AppError("the predicted strength is not positive");
        r.Ratio = s.Test / r.Value;
        r.Ok = true;
    } catch (const std::exception& e) {
        r.Error = e.what();
    }
    return r;
}

std::vector<Prediction> PredictAll(const std::vector<Specimen>& all, const RunSettings& settings) {
    std::vector<Prediction> out(all.size());
    std::vector<std::exception_ptr> errors(all.size());
    const int count = static_cast<int>(all.size());
    RunJobs(
        count, ThreadCountFor(settings.Threads, count),
        [&](int, int k) {
            const Specimen& s = all[static_cast<size_t>(k)];
            if (s.OutOfScope.empty()) out[static_cast<size_t>(k)] = Predict(s, settings);
        },
        [](int) {}, errors);
    return out;
}

Stats ComputeStats(std::vector<double> ratios) {
    Stats s;
    s.Count = static_cast<int>(ratios.size());
    if (ratios.empty()) return s;
    std::sort(ratios.begin(), ratios.end());
    double sum = 0;
    for (double r : ratios) sum += r;
    s.Mean = sum / s.Count;
    double sq = 0;
    for (double r : ratios) sq += (r - s.Mean) * (r - s.Mean);
    s.Cov = s.Count > 1 ? std::sqrt(sq / (s.Count - 1)) / s.Mean : 0;
    const double h = (s.Count - 1) * 0.05;
    const size_t lo = static_cast<size_t>(std::floor(h));
    const size_t hi = std::min(lo + 1, ratios.size() - 1);
    s.Fractile5 = ratios[lo] + (h - static_cast<double>(lo)) * (ratios[hi] - ratios[lo]);
    s.Min = ratios.front();
    for (double r : ratios) s.Below09 += r < 0.9;
    return s;
}

}  // namespace px::validation
