#include "validation/report.h"

#include "common/file_replace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "analysis/section_steps.h"
#include "input/error.h"
#include "input/numbers.h"
#include "loads/text_decode.h"
#include "study/study.h"

namespace px::validation {

namespace {

const Family kFamilies[] = {Family::CCFT, Family::RCFT, Family::SRC};
const Kind kKinds[] = {Kind::Stub, Kind::Beam, Kind::BeamColumn};

std::string fx(double v, int decimals) { return FormatFixed(v, decimals); }

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

const char* familyColor(Family f) {
    switch (f) {
    case Family::CCFT: return "#1f77b4";
    case Family::RCFT: return "#d62728";
    default: return "#2ca02c";
    }
}

void writeFile(const std::string& path, const std::string& text) { ReplaceFileWith(path, text, FileWording(path)); }

// ------------------------------------------------------------------ plots

struct Point {
    double x, y;
    Family f;
    Kind k;
};

struct Line {
    double x0, y0, x1, y1;
    const char* dash;
    std::string label;  // written at the line's right (or upper) end
    // A sloping line's label: at this share of its length, above it on the
    // left or below it on the right.
    double at = 0.8;
    bool below = false;
};

// "Nice" tick step for a range.
double tickStep(double span) {
    const double raw = span / 6;
    const double p = std::pow(10, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * p) return m * p;
    return 10 * p;
}

// A specimen's marker at (x, y): a circle for stub columns, a square for
// beams, a triangle for beam-columns; `r` its half size.
std::string marker(Kind k, double x, double y, double r, const std::string& fill, const char* extra) {
    std::ostringstream s;
    if (k == Kind::Stub) {
        s << "<circle cx=\"" << fx(x, 1) << "\" cy=\"" << fx(y, 1) << "\" r=\"" << fx(r, 1) << "\"";
    } else if (k == Kind::Beam) {
        s << "<rect x=\"" << fx(x - r, 1) << "\" y=\"" << fx(y - r, 1) << "\" width=\"" << fx(2 * r, 1)
          << "\" height=\"" << fx(2 * r, 1) << "\"";
    } else {
        s << "<polygon points=\"" << fx(x, 1) << "," << fx(y - 1.2 * r, 1) << " " << fx(x - 1.1 * r, 1) << ","
          << fx(y + 0.8 * r, 1) << " " << fx(x + 1.1 * r, 1) << "," << fx(y + 0.8 * r, 1) << "\"";
    }
    s << " fill=\"" << fill << "\"" << extra << "/>\n";
    return s.str();
}

std::string svgPlot(const std::string& title, const std::string& xLabel, const std::string& yLabel,
                    const std::vector<Point>& pts, const std::vector<Line>& lines, double x0, double x1, double y0,
                    double y1, bool logX, bool logY) {
    // The right margin holds half of the last tick label ("100000").
    const double W = 640, H = 500, L = 70, R = 45, T = 70, B = 60;
    // On log axes positions are decades; the ranges are given as values.
    auto atX = [&](double v) { return logX ? std::log10(v) : v; };
    auto atY = [&](double v) { return logY ? std::log10(v) : v; };
    const double a0 = atX(x0), a1 = atX(x1), b0 = atY(y0), b1 = atY(y1);
    auto X = [&](double x) { return L + (atX(x) - a0) / (a1 - a0) * (W - L - R); };
    auto Y = [&](double y) { return H - B - (atY(y) - b0) / (b1 - b0) * (H - T - B); };
    auto ticks = [&](double lo, double hi, bool log) {
        std::vector<std::pair<double, std::string>> t;
        if (log) {
            for (double d = std::ceil(std::log10(lo) - 1e-9); d <= std::log10(hi) + 1e-9; d += 1)
                t.push_back({std::pow(10, d), fx(std::pow(10, d), d < 0 ? static_cast<int>(-d) : 0)});
        } else {
            const double step = tickStep(hi - lo);
            for (double v = std::ceil(lo / step) * step; v <= hi + 1e-9; v += step)
                t.push_back({v, fx(v, step < 1 ? 1 : 0)});
        }
        return t;
    };
    std::ostringstream s;
    s << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << W << "\" height=\"" << H
      << "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    s << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    s << "<text x=\"" << L << "\" y=\"20\" font-size=\"15\">" << title << "</text>\n";
    for (const auto& [v, label] : ticks(x0, x1, logX)) {
        s << "<line x1=\"" << fx(X(v), 1) << "\" y1=\"" << T << "\" x2=\"" << fx(X(v), 1) << "\" y2=\"" << H - B
          << "\" stroke=\"#e0e0e0\"/>\n";
        s << "<text x=\"" << fx(X(v), 1) << "\" y=\"" << H - B + 16 << "\" text-anchor=\"middle\">" << label
          << "</text>\n";
    }
    for (const auto& [v, label] : ticks(y0, y1, logY)) {
        s << "<line x1=\"" << L << "\" y1=\"" << fx(Y(v), 1) << "\" x2=\"" << W - R << "\" y2=\"" << fx(Y(v), 1)
          << "\" stroke=\"#e0e0e0\"/>\n";
        s << "<text x=\"" << L - 6 << "\" y=\"" << fx(Y(v) + 4, 1) << "\" text-anchor=\"end\">" << label
          << "</text>\n";
    }
    s << "<rect x=\"" << L << "\" y=\"" << T << "\" width=\"" << W - L - R << "\" height=\"" << H - T - B
      << "\" fill=\"none\" stroke=\"black\"/>\n";
    s << "<text x=\"" << (L + W - R) / 2 << "\" y=\"" << H - 18 << "\" text-anchor=\"middle\">" << xLabel
      << "</text>\n";
    s << "<text transform=\"translate(18," << (T + H - B) / 2 << ") rotate(-90)\" text-anchor=\"middle\">" << yLabel
      << "</text>\n";
    for (const Point& p : pts) {
        const double x = std::clamp(p.x, x0, x1), y = std::clamp(p.y, y0, y1);
        s << marker(p.k, X(x), Y(y), 2.5, familyColor(p.f), " fill-opacity=\"0.6\"");
    }
    for (const Line& l : lines) {
        s << "<line x1=\"" << fx(X(l.x0), 1) << "\" y1=\"" << fx(Y(l.y0), 1) << "\" x2=\"" << fx(X(l.x1), 1)
          << "\" y2=\"" << fx(Y(l.y1), 1) << "\" stroke=\"black\" stroke-dasharray=\"" << l.dash << "\"/>\n";
        if (l.label.empty()) continue;
        const bool vertical = l.x0 == l.x1, flat = l.y0 == l.y1;
        std::string anchor = vertical ? "start" : "end";
        double ex = X(l.x1), ey = Y(l.y1), dx = vertical ? 4 : -4, dy = vertical ? 0 : -4;
        if (!vertical && !flat) {
            // Along the line, in screen positions (the axes may be logarithmic).
            ex = X(l.x0) + l.at * (X(l.x1) - X(l.x0));
            ey = Y(l.y0) + l.at * (Y(l.y1) - Y(l.y0));
            if (l.below) {
                anchor = "start";
                dx = 6;
                dy = 12;
            } else {
                dx = -6;
            }
        }
        ex = std::clamp(ex, L + 4, W - R - 4);
        ey = std::clamp(ey, T + 12, H - B - 4);
        s << "<text x=\"" << fx(ex + dx, 1) << "\" y=\"" << fx(ey + dy, 1) << "\" text-anchor=\"" << anchor
          << "\" font-size=\"11\">" << l.label << "</text>\n";
    }
    // The legend between the title and the frame: families by colour, then
    // kinds by marker, each with its count.
    std::map<Family, int> families;
    std::map<Kind, int> kinds;
    for (const Point& p : pts) {
        ++families[p.f];
        ++kinds[p.k];
    }
    double lx = L;
    for (Family f : kFamilies) {
        if (!families.count(f)) continue;
        s << "<circle cx=\"" << lx + 4 << "\" cy=\"" << 38 << "\" r=\"4\" fill=\"" << familyColor(f) << "\"/>\n";
        s << "<text x=\"" << lx + 12 << "\" y=\"" << 42 << "\">" << FamilyName(f) << " (" << families[f]
          << ")</text>\n";
        lx += 110;
    }
    lx = L;
    for (Kind k : kKinds) {
        if (!kinds.count(k)) continue;
        s << marker(k, lx + 4, 56, 4, "none", " stroke=\"black\"");
        s << "<text x=\"" << lx + 12 << "\" y=\"" << 60 << "\">" << KindName(k) << " (" << kinds[k] << ")</text>\n";
        lx += 180;
    }
    s << "</svg>\n";
    return s.str();
}

// ------------------------------------------------------------------ text

std::string statsRow(const std::string& a, const std::string& b, const Stats& s) {
    return "| " + a + " | " + b + " | " + std::to_string(s.Count) + " | " + fx(s.Mean, 3) + " | " + fx(s.Cov, 3) +
           " | " + fx(s.Fractile5, 3) + " | " + fx(s.Min, 3) + " | " + std::to_string(s.Below09) + " |\n";
}

const char* kStatsHead =
    "| Family | Members | Count | Mean | COV | 5 % fractile | Min | Below 0.9 |\n"
    "|---|---|---:|---:|---:|---:|---:|---:|\n";

std::string specimenSize(const Specimen& s) {
    if (s.Fam == Family::CCFT) return "D " + fx(s.H, 1) + ", t " + fx(s.t, 2);
    if (s.Fam == Family::RCFT) return fx(s.B, 1) + " x " + fx(s.H, 1) + ", t " + fx(s.t, 2);
    return fx(s.B, 0) + " x " + fx(s.H, 0) + ", H " + fx(s.d, 0) + " x " + fx(s.bf, 0);
}

// What the literature reports for design methods, against this run.
std::string LiteratureText(bool members) {
    return "These are comparisons in words: the figures above are this program's, and no figure of another "
           "method is quoted here.\n\n"
           "- Concrete at its full strength. The program takes the concrete at the full cylinder strength. The "
           "design methods take a reduced one (0.85 fc in AISC 360-16's plastic stress distribution for "
           "rectangular sections and encased members, 0.95 fc for circular filled tubes; 0.85 fc in Eurocode 4 "
           "for encased sections, 1.0 fc for filled tubes, circular or rectangular) and apply a resistance factor on top. "
           "Their ratios of test to nominal strength are therefore higher than the ones above, roughly by the "
           "concrete's share of the strength times the reduction, and their design values are safe where the "
           "ratios above fall a little below 1.\n"
           "- Circular tubes. Studies that compare design methods with test databases of this kind report that "
           "the plastic strength of a concrete-filled circular tube is conservative on average for stub "
           "columns, because the tube confines the core and raises its strength; Eurocode 4 counts this "
           "confinement for short, nearly concentric members (its factors eta_a and eta_c) and comes closer to "
           "the tests than methods that do not. This run shows the same: CCFT stub columns and beams lie well "
           "above 1, and the margin shrinks as the concrete gets stronger, since high-strength concrete "
           "expands less and is confined less.\n"
           "- Rectangular tubes. The flat walls of a rectangular tube confine the core little, and the "
           "literature finds the plastic strength of compact rectangular tubes close to the tests on average, "
           "with a scatter of the order seen here. For walls beyond the compactness limit AISC 360-16 lowers "
           "the strength (noncompact and slender filled members, Table I1.1a and Section I2.2b) and Eurocode 4 "
           "sets the same kind of limit on b/t (Table 6.3). This run shows why: stub columns and beams of "
           "tubes and boxes with walls beyond the limit fall below 0.9 of the program's strength far more "
           "often than compact ones (the wall slenderness table).\n"
           "- Beams. The literature reports that the plastic moment of filled tubes underestimates the tests, "
           "from strain hardening of the steel and confinement of the concrete in the compression zone; the "
           "beams above agree, except for rectangular tubes with slender walls.\n"
           "- Encased sections. Too few SRC specimens are short enough for a section analysis to say much; the "
           "literature reports the plastic strength of encased sections as conservative on average, which the "
           "few short ones here agree with.\n"
           + std::string(members ? "- Slender members, most of the files, need a member analysis with second-order effects and "
                                   "imperfections; the program's general method gives it (Slender members, above)."
                                 : "- Slender members, most of the files, need a member analysis with second-order effects and "
                                   "imperfections (the column curves of the design methods); they are out of scope here.");
}

}  // namespace

std::vector<MemberGroupStats> MemberGroupStatistics(const std::vector<Specimen>& all,
                                                    const std::vector<MemberPrediction>& members) {
    std::vector<MemberGroupStats> out;
    const char* groups[] = {"slender columns", "slender beam-columns", "beam-columns, unequal end eccentricities"};
    for (Family f : kFamilies)
        for (const char* g : groups) {
            std::vector<double> r;
            for (size_t i = 0; i < all.size() && i < members.size(); ++i)
                if (members[i].Ok && all[i].Fam == f && std::string(MemberGroupName(all[i])) == g)
                    r.push_back(members[i].Ratio);
            if (!r.empty()) out.push_back({f, g, ComputeStats(r)});
        }
    return out;
}

namespace {

// The member analysis's part of the report: its statistics, what ends the
// members, the statistics by slenderness, the plot, and the literature.
std::string memberSection(const std::vector<Specimen>& all, const std::vector<MemberPrediction>& m,
                          std::map<std::string, std::string>& out) {
    std::ostringstream md;
    int inScope = 0, ok = 0, instability = 0;
    for (size_t i = 0; i < all.size() && i < m.size(); ++i) {
        if (!MemberInScope(all[i])) continue;
        ++inScope;
        if (!m[i].Ok) continue;
        ++ok;
        instability += m[i].Limit == MemberLimit::Instability;
    }
    md << "\n## Slender members\n\n"
          "The specimens the section analysis leaves out, longer than " << kShortLength
       << " x their smaller outside dimension or with unequal end eccentricities, predicted as members by the "
          "program's general method: a second-order analysis of the pin-ended member of the specimen's length, "
          "on the moment-curvature response of its section (the laws, strengths and strain limit above; mesh "
       << kMemberMesh << " x " << kMemberMesh << ", 60 curvature steps), cut into 40 segments, with an initial "
          "bow of L/" << fx(1 / kMemberBow, 0)
       << " in the shape of a half sine and the end moments P x et and P x eb. The strength is the largest "
          "axial force under which a stable deflected shape exists with those end moments, found by bisection "
          "to 0.1 % of the squash load. End eccentricities of the same sign bend the member in single curvature, "
          "of opposite signs in double curvature (M1/M2 < 0); the length is the specimen's, as an effective "
          "length (k = 1). The slender columns are also given by two code methods with all factors 1 and the "
          "measured strengths: EN 1994-1-1 6.7.3.3 (chi Npl,Rk, with (EI)eff = Ea Ia + Es Is + 0.6 Ecm Ic, curve "
          "a for filled tubes, b and c for encased sections about their major and minor axis) and AISC 360-16 "
          "I2 (Pn from Pno and Pe, EIeff with C1 or C3, the filled walls' classes); a method that refuses a "
          "section (a wall beyond AISC's maximum, bars above 6 %) leaves it out of its row. Beam-columns take "
          "no code method here.\n\n"
       << kStatsHead;
    for (const MemberGroupStats& g : MemberGroupStatistics(all, m)) md << statsRow(FamilyName(g.Fam), g.Group, g.S);
    // The code methods on the slender columns (factors 1), and the general
    // method on the same columns.
    for (Family f : kFamilies) {
        std::vector<double> en, aisc;
        for (size_t i = 0; i < all.size() && i < m.size(); ++i) {
            if (!m[i].Ok || all[i].Fam != f || all[i].K != Kind::Stub) continue;
            if (m[i].En1994 > 0) en.push_back(all[i].Test / m[i].En1994);
            if (m[i].Aisc > 0) aisc.push_back(all[i].Test / m[i].Aisc);
        }
        if (!en.empty()) md << statsRow(FamilyName(f), "slender columns, EN 1994-1-1 chi Npl,Rk", ComputeStats(en));
        if (!aisc.empty()) md << statsRow(FamilyName(f), "slender columns, AISC 360-16 Pn", ComputeStats(aisc));
    }
    md << "\n| Members | Count |\n|---|---:|\n| in scope | " << inScope << " |\n| predicted | " << ok
       << " |\n| could not be analysed | " << inScope - ok << " |\n| ended by instability | " << instability << " |\n";
    md << "\n\"Ended by instability\": the member's stiffness is used up before its most stressed section reaches "
          "its peak moment; the others end at a section's peak.\n";
    if (ok < inScope) {
        md << "\nMembers the analysis could not predict:\n\n";
        for (size_t i = 0; i < all.size() && i < m.size(); ++i)
            if (MemberInScope(all[i]) && !m[i].Ok)
                md << "- " << all[i].File << " line " << all[i].Line << " (" << all[i].Author << " " << all[i].Year
                   << ", " << all[i].Name << "): " << m[i].Error << "\n";
    }

    // By slenderness: L over the depth in the plane of bending.
    md << "\n## Slender members by length\n\n" << kStatsHead;
    const double bins[] = {0, 10, 20, 1e9};
    const char* names[] = {"L/h up to 10", "L/h 10 to 20", "L/h above 20"};
    std::vector<Point> pts;
    double maxS = 0;
    for (Family f : kFamilies)
        for (int b = 0; b < 3; ++b) {
            std::vector<double> r;
            for (size_t i = 0; i < all.size() && i < m.size(); ++i)
                if (m[i].Ok && all[i].Fam == f && m[i].Slenderness > bins[b] && m[i].Slenderness <= bins[b + 1])
                    r.push_back(m[i].Ratio);
            if (!r.empty()) md << statsRow(FamilyName(f), names[b], ComputeStats(r));
        }
    for (size_t i = 0; i < all.size() && i < m.size(); ++i)
        if (m[i].Ok) {
            pts.push_back({m[i].Slenderness, m[i].Ratio, all[i].Fam, all[i].K});
            maxS = std::max(maxS, m[i].Slenderness);
        }
    if (!pts.empty()) {
        const double top = std::ceil(maxS / 10) * 10;
        out["ratio_member_slenderness.svg"] =
            svgPlot("Slender members: test / predicted against length", "Length / depth in the plane of bending",
                    "Test / predicted", pts, {{0, 1, top, 1, "none", "1.0"}, {0, 0.9, top, 0.9, "4,3", "0.9"}}, 0, top,
                    0.4, 2.2, false, false);
        md << "\n![Slender members: ratio against length](ratio_member_slenderness.svg)\n";
    }
    md << "\nIn words, against the literature: studies that validate second-order analyses of composite columns "
          "with fiber sections against test databases of this kind aim at the mean, taking mean material "
          "properties, no confinement and an imperfection of the order of L/1000, and report means close to 1 "
          "with a scatter larger than for stub columns, from the uncertain end conditions and imperfections of "
          "long specimens. The design methods' column curves (Eurocode 4's buckling curves through chi, AISC "
          "360-16's 0.658 rule) are meant to lie below most tests and come out above the second-order analysis "
          "on average, as the rows of the code methods show for every family. As for the short members, "
          "circular tubes lie furthest above 1 (the tube's confinement of the core, which the program leaves "
          "out, matters most for the stockier ones), and rectangular tubes closest to it. Members with unequal "
          "end eccentricities in double curvature are, as the literature reports, the least well predicted by "
          "any method: their strength depends on where along the member the section fails.\n";
    return md.str();
}

}  // namespace

std::vector<GroupStats> GroupStatistics(const std::vector<Specimen>& all, const std::vector<Prediction>& pred) {
    std::vector<GroupStats> out;
    for (Family f : kFamilies)
        for (Kind k : kKinds) {
            std::vector<double> r;
            for (size_t i = 0; i < all.size(); ++i)
                if (pred[i].Ok && all[i].Fam == f && all[i].K == k) r.push_back(pred[i].Ratio);
            if (!r.empty()) out.push_back({f, k, ComputeStats(r)});
        }
    return out;
}

RowCounts CountRows(const std::vector<Specimen>& all, const std::vector<Prediction>& pred) {
    RowCounts c;
    c.Read = static_cast<int>(all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        if (!all[i].Refused.empty()) ++c.Refused;
        else if (!all[i].OutOfScope.empty()) ++c.OutOfScope;
        else if (pred[i].Ok) ++c.Predicted;
        else ++c.Failed;
    }
    return c;
}

std::map<std::string, std::string> BuildReport(const std::vector<Specimen>& all, const std::vector<Prediction>& pred,
                                               const RunSettings& settings, const std::vector<DataFile>& files,
                                               const std::vector<MemberPrediction>* members) {
    std::map<std::string, std::string> out;
    std::ostringstream md;
    const std::vector<GroupStats> groups = GroupStatistics(all, pred);
    const RowCounts counts = CountRows(all, pred);

    // Scope.
    std::map<std::string, int> outCount;
    std::map<std::string, int> layouts;
    for (const Specimen& s : all) {
        if (!s.Refused.empty() || s.OutOfScope.empty()) continue;
        const std::string key = s.OutOfScope.rfind("bar layout", 0) == 0 ? "SRC bar layout not modelled" : s.OutOfScope;
        ++outCount[key];
        if (key == "SRC bar layout not modelled") ++layouts[s.OutOfScope];
    }

    md << "# Pillarix against 2,000+ composite column tests\n\n"
          "Generated by `pillarix-validate` from the test data in `data/` (the Composite Column Database of "
          "Mark Denavit's research group, University of Tennessee, Knoxville). Do not edit by hand: run\n\n"
          "    ./build/pillarix-validate --data validation/data --out validation\n\n"
          "Every ratio is the measured strength over the strength the program computes for the section with "
          "the measured sizes and material strengths: above 1 the program is on the safe side. "
          "`--csv FILE` writes every specimen as the program read it, with its prediction.\n\n";
    md << "## Summary\n\n" << kStatsHead;
    for (const GroupStats& g : groups) md << statsRow(FamilyName(g.Fam), KindName(g.K), g.S);
    md << "\n## Rows\n\n| Rows | Count |\n|---|---:|\n"
       << "| read | " << counts.Read << " |\n| refused | " << counts.Refused << " |\n| out of scope | "
       << counts.OutOfScope << " |\n| predicted | " << counts.Predicted << " |\n| could not be analysed | "
       << counts.Failed << " |\n";
    md << "\nFiles of the folder:\n\n| File | Rows read |\n|---|---:|\n";
    for (const DataFile& f : files)
        md << "| " << f.Name << " | " << (f.Read ? std::to_string(f.Rows) : "not read: " + f.Note) << " |\n";
    md << "\nOut of scope:\n\n| Reason | Count |\n|---|---:|\n";
    for (const auto& [why, n] : outCount) md << "| " << why << " | " << n << " |\n";
    if (!layouts.empty()) {
        md << "\nSRC layouts the program's encased section (one H section and bars at the four corners) cannot "
              "model:\n\n";
        for (const auto& [why, n] : layouts) md << "- " << why << ": " << n << " specimens\n";
    } else {
        md << "\nEvery SRC bar layout of the files (\"none\" and \"2x-2y\", four corner bars) is modelled.\n";
    }
    if (counts.Refused) {
        md << "\nRefused rows (a value that cannot be read or is impossible):\n\n";
        for (const Specimen& s : all)
            if (!s.Refused.empty())
                md << "- " << s.File << " line " << s.Line << " (" << s.Author << " " << s.Year << ", " << s.Name
                   << "): " << ShownValue(s.Refused, 200) << "\n";
    }
    if (counts.Failed) {
        md << "\nSpecimens in scope the program could not analyse:\n\n";
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].OutOfScope.empty() && !pred[i].Ok)
                md << "- " << all[i].File << " line " << all[i].Line << " (" << all[i].Author << " " << all[i].Year
                   << ", " << all[i].Name << "): " << pred[i].Error << "\n";
    }

    // The cube rule's weight: stub columns again with every cube at 0.71 x
    // its strength, whatever its size.
    std::map<Family, std::vector<double>> cubeRule;
    std::map<Family, int> cubes;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!pred[i].Ok || all[i].K != Kind::Stub) continue;
        const bool cube = lower(all[i].FcType).rfind("cube", 0) == 0;
        if (!cube) {
            cubeRule[all[i].Fam].push_back(pred[i].Ratio);
            continue;
        }
        Specimen c = all[i];
        c.Fc = 0.71 * c.FcMeasured;
        const Prediction p = Predict(c, settings);
        if (!p.Ok) continue;
        cubeRule[all[i].Fam].push_back(p.Ratio);
        ++cubes[all[i].Fam];
    }

    // Rules.
    md << "\n## Rules\n\n"
          "- Sections: CCFT as \"Circular Steel Tube Col\" (the tube's diameter and wall); RCFT as \"Rect Steel Box "
          "Column\" (width B along x, height H along y, both walls of the tube's thickness); SRC as \"Rect SRC "
          "Column Type2\" (the concrete B x H, one H section with its web along y, and bars at the four corners "
          "for the layout \"2x-2y\", none for \"none\"). The SRC cover is read as the database documents it, "
          "from the centre of the longitudinal bars to the face. The SRC template counts the concrete over the "
          "whole B x H, under the steel section too, so its squash load lies 3 to 4 % above a closed form on "
          "the net concrete area.\n"
          "- Materials: the program's default laws (concrete: the simplified law, e0 = 0.002, ecu = 0.0035, "
          "strain limit -0.0035; steel: elastic-perfectly plastic, Es = 215000 N/mm2 for the section, 206000 "
          "N/mm2 for bars; the tensile strain limit " << fx(kTensileStrainLimit, 2)
       << " of the section analysis, which governs the moment of thin-walled beams) with fc = fcu = the "
          "cylinder strength for every concrete and fy = the measured yield stress of the section and of the "
          "bars. Confinement, local buckling and strain hardening are not modelled.\n"
          "- Mesh: " << settings.Mesh << " x " << settings.Mesh
       << " (sectors x rings for tubes; flange strips " << settings.Mesh << ", web strips "
       << std::max(2, settings.Mesh / 2) << " for the H section); P-M curves with " << settings.Levels
       << " axial force divisions. The circular sections converge slowest: with 12 x 12 the CCFT beams' mean "
          "is about 0.04 higher, with 80 x 80 (`--mesh 80`) no family's mean moves by more than 0.005.\n"
          "- Units: lengths in mm, cm, m, in and ft, and as a ratio of the depth (\"ratio_D\", \"ratio_H\", "
          "\"ratio_B\"); stresses in MPa, kPa, psi, ksi, kgf/cm2 (\"kgscm\", 0.0980665 MPa), tf/cm2 (\"tscm\", "
          "98.0665 MPa) and long ton/in2 (15.444 MPa); forces in kN, MN, kips, lbf, tonne (9.80665 kN) and long "
          "ton (9.96402 kN); moments in kN-m, kip-in (\"k-in\"), kip-ft (\"k-ft\") and tf-m (9.80665 kNm). US "
          "bar sizes \"#n\" are n/8 in. Every CSV file of the folder whose header is the database's is read, "
          "its family and kind told by its columns.\n"
          "- Refused rows: a value that is not a number, one that is not finite or beyond 1e9 (mm, N/mm2, kN, "
          "kNm), a measured strength, yield stress or size of 0 or less, a concrete strength or length below 0.\n"
          "- Concrete strength: cylinders (and 100 mm prisms) as measured; cubes at 0.8 x the 150 mm cube "
          "strength, a 100 mm cube counting 0.95 and a 200 mm cube 1.05 of its value as a 150 mm cube (cylinder "
          "= 0.76, 0.80 and 0.84 x the cube strength); a cube of no stated size counts as 150 mm; a strength of "
          "no stated type as a cylinder's. The database's own scripts take 0.71 x the cube strength for every "
          "size; under that rule the stub columns' means of test / predicted are";
    std::string sep = " ";
    for (const GroupStats& g : groups)
        if (g.K == Kind::Stub && cubes[g.Fam] > 0) {
            md << sep << FamilyName(g.Fam) << " " << fx(ComputeStats(cubeRule[g.Fam]).Mean, 3) << " instead of "
               << fx(g.S.Mean, 3) << " (" << cubes[g.Fam] << " of " << g.S.Count << " with cube strengths)";
            sep = ", ";
        }
    md << (sep == " " ? " unchanged (no stub column has a cube strength)" : "") << ".\n"
          "- Strength compared: stub columns (no eccentricity): PMax, the squash load. Beams: the moment at P = 0 "
          "of the P-M curve about the stated axis (strong or x: about x; weak or y: about y), linear between "
          "the curve's points around P = 0. Short beam-columns with equal end eccentricities e: the axial force "
          "where the P-M curve about the stated axis meets M = P x e, linear between the curve's points.\n"
          "- In scope: members no longer than " << kShortLength
       << " x the smaller outside dimension. Longer (slender) members need a second-order analysis of the "
          "member, which a section analysis does not do; members with unequal end eccentricities likewise."
       << (members ? " The member analysis predicts them (Slender members, below)." : "") << "\n"
          "- Statistics: COV is the sample standard deviation over the mean; the 5 % fractile is the empirical "
          "quantile (linear between the order statistics at (n - 1) x 0.05).\n"
          "- The specimens run on worker threads, one specimen per job and each solve on one thread, as the "
          "study runs its rows.\n";

    // Wall slenderness.
    md << "\n## Wall slenderness\n\n"
          "Slenderness of columns and beam-columns is the tube's D/t over 0.15 Es/fy, or the box's larger b/t "
          "(b = outside width less 3 t) over 2.26 sqrt(Es/fy): the compactness limits in compression of AISC "
          "360-16 Table I1.1a for filled members, with the program's Es; above 1 the program warns. Beams take "
          "the limits in flexure of Table I1.1b: the tube's D/t over 0.09 Es/fy, the box's flange b/t over "
          "2.26 sqrt(Es/fy) or web h/t over 3.00 sqrt(Es/fy), the larger.\n\n"
       << kStatsHead;
    for (Family f : {Family::CCFT, Family::RCFT})
        for (Kind k : kKinds)
            for (int beyond = 0; beyond < 2; ++beyond) {
                std::vector<double> r;
                for (size_t i = 0; i < all.size(); ++i)
                    if (pred[i].Ok && all[i].Fam == f && all[i].K == k && (pred[i].Slenderness > 1) == (beyond == 1))
                        r.push_back(pred[i].Ratio);
                if (!r.empty())
                    md << statsRow(FamilyName(f),
                                   std::string(KindName(k)) + (beyond ? ", walls beyond the limit" : ", compact walls"),
                                   ComputeStats(r));
            }

    // Concrete strength.
    md << "\n## Concrete strength\n\n" << kStatsHead;
    const double bins[] = {0, 40, 69, 1e9};
    const char* binNames[] = {"fc up to 40 N/mm2", "fc 40 to 69 N/mm2", "fc above 69 N/mm2"};
    for (Family f : kFamilies)
        for (int b = 0; b < 3; ++b) {
            std::vector<double> r;
            for (size_t i = 0; i < all.size(); ++i)
                if (pred[i].Ok && all[i].Fam == f && all[i].Fc > bins[b] && all[i].Fc <= bins[b + 1] &&
                    pred[i].Slenderness <= 1)
                    r.push_back(pred[i].Ratio);
            if (!r.empty())
                md << statsRow(FamilyName(f), std::string(binNames[b]) + (f == Family::SRC ? "" : ", compact walls"),
                               ComputeStats(r));
        }

    // Steel strength.
    md << "\n## Steel strength\n\n" << kStatsHead;
    const double steelBins[] = {0, 355, 525, 1e9};
    const char* steelNames[] = {"fy up to 355 N/mm2", "fy 355 to 525 N/mm2", "fy above 525 N/mm2"};
    for (Family f : kFamilies)
        for (int b = 0; b < 3; ++b) {
            std::vector<double> r;
            for (size_t i = 0; i < all.size(); ++i)
                if (pred[i].Ok && all[i].Fam == f && all[i].Fy > steelBins[b] && all[i].Fy <= steelBins[b + 1] &&
                    pred[i].Slenderness <= 1)
                    r.push_back(pred[i].Ratio);
            if (!r.empty())
                md << statsRow(FamilyName(f), std::string(steelNames[b]) + (f == Family::SRC ? "" : ", compact walls"),
                               ComputeStats(r));
        }

    // Plots.
    std::vector<Point> axial, beams, slender, strength;
    double maxP = 0, maxM = 0, maxS = 0, maxFc = 0, minP = 1e300, minM = 1e300;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!pred[i].Ok) continue;
        const Specimen& s = all[i];
        const Prediction& p = pred[i];
        if (s.K == Kind::Beam) {
            beams.push_back({p.Value, s.Test, s.Fam, s.K});
            maxM = std::max({maxM, p.Value, s.Test});
            minM = std::min({minM, p.Value, s.Test});
        } else {
            axial.push_back({p.Value, s.Test, s.Fam, s.K});
            maxP = std::max({maxP, p.Value, s.Test});
            minP = std::min({minP, p.Value, s.Test});
        }
        if (s.Fam != Family::SRC) {
            slender.push_back({p.Slenderness, p.Ratio, s.Fam, s.K});
            maxS = std::max(maxS, p.Slenderness);
        }
        // As the concrete strength table: compact walls only.
        if (p.Slenderness <= 1) {
            strength.push_back({s.Fc, p.Ratio, s.Fam, s.K});
            maxFc = std::max(maxFc, s.Fc);
        }
    }
    // Log axes from the decade below the smallest value to the one above the largest.
    auto lo = [](double v) { return std::pow(10, std::floor(std::log10(v))); };
    auto hi = [](double v) { return std::pow(10, std::ceil(std::log10(v))); };
    // Test / predicted against the prediction: the band of +-10 % around 1.
    auto ratios = [](const std::vector<Point>& pts) {
        std::vector<Point> r;
        for (const Point& p : pts) r.push_back({p.x, p.y / p.x, p.f, p.k});
        return r;
    };
    auto band = [](double x0, double x1) {
        return std::vector<Line>{{x0, 1, x1, 1, "none", "1.0"},
                                 {x0, 1.1, x1, 1.1, "4,3", "+10 %"},
                                 {x0, 0.9, x1, 0.9, "4,3", "-10 %"}};
    };
    if (!axial.empty()) {
        out["scatter_axial.svg"] =
            svgPlot("Columns and beam-columns: test against predicted", "Predicted (kN)", "Test (kN)", axial,
                    {{lo(minP), lo(minP), hi(maxP), hi(maxP), "none", "test = predicted"},
                     {lo(minP) / 0.9, lo(minP), hi(maxP), 0.9 * hi(maxP), "4,3", "test = 0.9 x predicted", 0.7, true}},
                    lo(minP), hi(maxP), lo(minP), hi(maxP), true, true);
        out["ratio_axial.svg"] = svgPlot("Columns and beam-columns: test / predicted against predicted",
                                         "Predicted (kN)", "Test / predicted", ratios(axial),
                                         band(lo(minP), hi(maxP)), lo(minP), hi(maxP), 0.4, 2.2, true, false);
    }
    if (!beams.empty()) {
        out["scatter_beams.svg"] =
            svgPlot("Beams: test against predicted", "Predicted (kNm)", "Test (kNm)", beams,
                    {{lo(minM), lo(minM), hi(maxM), hi(maxM), "none", "test = predicted"},
                     {lo(minM) / 0.9, lo(minM), hi(maxM), 0.9 * hi(maxM), "4,3", "test = 0.9 x predicted", 0.7, true}},
                    lo(minM), hi(maxM), lo(minM), hi(maxM), true, true);
        out["ratio_beams.svg"] = svgPlot("Beams: test / predicted against predicted", "Predicted (kNm)",
                                         "Test / predicted", ratios(beams), band(lo(minM), hi(maxM)), lo(minM),
                                         hi(maxM), 0.4, 2.2, true, false);
    }
    if (!slender.empty() && maxS > 0)
        out["ratio_slenderness.svg"] =
            svgPlot("Test / predicted against wall slenderness", "Wall slenderness / compactness limit",
                    "Test / predicted", slender,
                    {{0, 1, maxS, 1, "none", "1.0"}, {0, 0.9, maxS, 0.9, "4,3", "0.9"}, {1, 0.4, 1, 2.2, "2,2", "limit"}},
                    0, maxS, 0.4, 2.2, false, false);
    if (!strength.empty() && maxFc > 0)
        out["ratio_fc.svg"] = svgPlot(
            "Test / predicted against concrete strength (compact walls)", "Cylinder strength fc (N/mm2)",
            "Test / predicted", strength,
            {{0, 1, maxFc, 1, "none", "1.0"}, {0, 0.9, maxFc, 0.9, "4,3", "0.9"}, {69, 0.4, 69, 2.2, "2,2", "69 N/mm2"}},
            0, maxFc, 0.4, 2.2, false, false);
    md << "\n## Plots\n\n"
          "Colours: the family; markers: circle stub columns, square beams, triangle beam-columns (counts in "
          "the legend). Solid line: test = predicted; dashed: test = 0.9 x predicted, or +-10 % around 1; "
          "dotted: the warning's limit.\n\n";
    const std::pair<const char*, const char*> plots[] = {
        {"scatter_axial.svg", "Columns and beam-columns"},
        {"ratio_axial.svg", "Columns and beam-columns: ratio against prediction"},
        {"scatter_beams.svg", "Beams"},
        {"ratio_beams.svg", "Beams: ratio against prediction"},
        {"ratio_slenderness.svg", "Ratio against wall slenderness"},
        {"ratio_fc.svg", "Ratio against concrete strength, compact walls"}};
    for (const auto& [file, caption] : plots)
        if (out.count(file)) md << "![" << caption << "](" << file << ")\n\n";

    // Ten worst.
    std::vector<size_t> order;
    for (size_t i = 0; i < all.size(); ++i)
        if (pred[i].Ok) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return pred[a].Ratio < pred[b].Ratio; });
    md << "## The ten lowest ratios\n\n"
          "| Test / predicted | Specimen | Family | Members | Size (mm) | fy (N/mm2) | fc (N/mm2) | L (mm) | e (mm) "
          "| Test | Predicted | Warnings |\n|---:|---|---|---|---|---:|---:|---:|---:|---:|---:|---|\n";
    for (size_t n = 0; n < std::min<size_t>(10, order.size()); ++n) {
        const Specimen& s = all[order[n]];
        const Prediction& p = pred[order[n]];
        const std::string unit = s.K == Kind::Beam ? " kNm" : " kN";
        md << "| " << fx(p.Ratio, 3) << " | " << s.Author << " " << s.Year << ", " << s.Name << " (" << s.File
           << " line " << s.Line << ") | " << FamilyName(s.Fam) << " | " << KindName(s.K) << " | " << specimenSize(s)
           << " | " << fx(s.Fy, 0) << " | " << fx(s.Fc, 1) << " (" << (s.FcType.empty() ? "?" : s.FcType) << ") | "
           << fx(s.L, 0) << " | " << fx(s.E, 1) << " | " << fx(s.Test, 1) << unit << " | " << fx(p.Value, 1) << unit
           << " | " << (p.Warnings.empty() ? "none" : p.Warnings) << " |\n";
    }
    if (members) md << memberSection(all, *members, out);
    md << "\n## Comparison with design methods\n\n" << LiteratureText(members != nullptr) << "\n";
    out["report.md"] = md.str();
    return out;
}

void WriteReport(const std::string& folder, const std::vector<Specimen>& all, const std::vector<Prediction>& pred,
                 const RunSettings& settings, const std::vector<DataFile>& files,
                 const std::vector<MemberPrediction>* members) {
    std::filesystem::create_directories(folder);
    for (const auto& [name, text] : BuildReport(all, pred, settings, files, members))
        writeFile((std::filesystem::path(folder) / name).string(), text);
}

std::string SpecimenCsv(const std::vector<Specimen>& all, const std::vector<Prediction>& pred) {
    std::string out =
        "File,Line,Author,Year,Specimen,Family,Members,Bending Axis,B (mm),H (mm),t (mm),d (mm),bf (mm),tf (mm),"
        "tw (mm),Bar Diameter (mm),Cover to Bar Centres (mm),fy (N/mm2),fy Bars (N/mm2),fc as Measured (N/mm2),"
        "fc Type,fc Cylinder (N/mm2),L (mm),e (mm),Test (kN or kNm),Predicted (kN or kNm),Test / Predicted,"
        "Wall Slenderness / Limit,Status\r\n";
    auto num = [](double v) { return FormatFixed(v, 4); };
    for (size_t i = 0; i < all.size(); ++i) {
        const Specimen& s = all[i];
        const Prediction& p = pred[i];
        const bool read = s.Refused.empty();
        std::vector<std::string> c = {s.File, std::to_string(s.Line), s.Author, s.Year, s.Name};
        if (read) {
            const bool src = s.Fam == Family::SRC, bars = s.BarDia > 0;
            const std::vector<std::string> values = {
                FamilyName(s.Fam), KindName(s.K), s.Fam == Family::CCFT ? "" : (s.Strong ? "strong" : "weak"),
                num(s.B), num(s.H), src ? "" : num(s.t), src ? num(s.d) : "", src ? num(s.bf) : "",
                src ? num(s.tf) : "", src ? num(s.tw) : "", bars ? num(s.BarDia) : "", bars ? num(s.Cover) : "",
                num(s.Fy), bars ? num(s.FyBar) : "", num(s.FcMeasured), s.FcType, num(s.Fc),
                s.K == Kind::Beam ? "" : num(s.L), s.K == Kind::Beam ? "" : num(s.E), num(s.Test)};
            c.insert(c.end(), values.begin(), values.end());
        } else {
            c.resize(c.size() + 20);
        }
        c.push_back(p.Ok ? num(p.Value) : "");
        c.push_back(p.Ok ? num(p.Ratio) : "");
        c.push_back(p.Ok && s.Fam != Family::SRC ? num(p.Slenderness) : "");
        c.push_back(!read                   ? "refused: " + s.Refused
                    : !s.OutOfScope.empty() ? "out of scope: " + s.OutOfScope
                    : p.Ok                  ? "predicted"
                                            : "not analysed: " + p.Error);
        for (size_t k = 0; k < c.size(); ++k) {
            if (k) out += ',';
            out += CsvCell(c[k]);
        }
        out += "\r\n";
    }
    return out;
}

std::vector<SummaryRow> ReadSummary(const std::string& text) {
    std::vector<SummaryRow> rows;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("## ", 0) == 0) {
            section = line.substr(3);
            continue;
        }
        if (line.rfind("| ", 0) != 0) continue;
        std::vector<std::string> cells;
        std::string cell;
        std::istringstream cs(line.substr(1));
        while (std::getline(cs, cell, '|')) {
            size_t a = cell.find_first_not_of(' '), b = cell.find_last_not_of(' ');
            cells.push_back(a == std::string::npos ? "" : cell.substr(a, b - a + 1));
        }
        // Statistics rows: Family | Members | Count | Mean | COV | 5 % | Min | Below 0.9;
        // count rows: a name | Count. Headers and other tables are skipped.
        const bool stats = cells.size() == 8 && section != "The ten lowest ratios";
        const bool count = cells.size() == 2;
        if (!stats && !count) continue;
        const std::string& countCell = cells[stats ? 2 : 1];
        if (countCell.empty() || countCell.find_first_not_of("0123456789") != std::string::npos) continue;
        SummaryRow r;
        r.Key = section + " / " + cells[0] + (stats ? " " + cells[1] : "");
        r.Stats = stats;
        try {
            r.Count = std::stoi(countCell);
            if (stats) {
                r.Mean = std::stod(cells[3]);
                r.Cov = std::stod(cells[4]);
                r.Fractile5 = std::stod(cells[5]);
                r.Min = std::stod(cells[6]);
                r.Below09 = std::stoi(cells[7]);
            }
        } catch (const std::exception&) {
            throw AppError("The report's line \"" + ShownValue(line, 200) + "\" cannot be read");
        }
        rows.push_back(r);
    }
    return rows;
}

std::vector<std::string> CompareWithReport(const std::vector<SummaryRow>& committed,
                                           const std::vector<SummaryRow>& run, double tolerance) {
    std::vector<std::string> diffs;
    std::map<std::string, const SummaryRow*> before;
    for (const SummaryRow& r : committed) before[r.Key] = &r;
    std::set<std::string> matched;
    for (const SummaryRow& g : run) {
        const auto it = before.find(g.Key);
        if (it == before.end()) {
            diffs.push_back(g.Key + ": not in the committed report");
            continue;
        }
        matched.insert(g.Key);
        const SummaryRow& c = *it->second;
        if (g.Count != c.Count)
            diffs.push_back(g.Key + ": count " + std::to_string(g.Count) + ", the report has " + std::to_string(c.Count));
        if (!g.Stats) continue;
        // Written so that a value that is not a number fails.
        auto near = [tolerance](double a, double b) { return std::fabs(a - b) <= tolerance; };
        const std::tuple<const char*, double, double> values[] = {{"mean", g.Mean, c.Mean},
                                                                  {"COV", g.Cov, c.Cov},
                                                                  {"5 % fractile", g.Fractile5, c.Fractile5},
                                                                  {"min", g.Min, c.Min}};
        for (const auto& [what, now, then] : values)
            if (!near(now, then))
                diffs.push_back(g.Key + ": " + what + " " + fx(now, 3) + ", the report has " + fx(then, 3));
        if (g.Below09 != c.Below09)
            diffs.push_back(g.Key + ": below 0.9 " + std::to_string(g.Below09) + ", the report has " +
                            std::to_string(c.Below09));
    }
    for (const SummaryRow& r : committed)
        if (!matched.count(r.Key)) diffs.push_back(r.Key + ": not in this run");
    return diffs;
}

}  // namespace px::validation
