#include "validation/experiments.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include "input/error.h"
#include "input/numbers.h"

namespace px::validation {

namespace {

std::string trim(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= 32) ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= 32) --b;
    return std::string(s.substr(a, b - a));
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

double factor(const std::map<std::string, double>& table, std::string_view unit, const char* what) {
    const auto it = table.find(trim(unit));
    if (it == table.end()) throw AppError(std::string("unknown ") + what + " unit '" + std::string(unit) + "'");
    return it->second;
}

// One row of a file by column name.
class Row {
public:
    Row(const std::map<std::string, size_t>& cols, std::vector<std::string> cells) : cols_(cols), cells_(std::move(cells)) {}
    std::string text(const std::string& name) const {
        const auto it = cols_.find(name);
        return it == cols_.end() || it->second >= cells_.size() ? std::string() : cells_[it->second];
    }
    bool has(const std::string& name) const { return !text(name).empty(); }
    double num(const std::string& name) const {
        const std::string s = text(name);
        if (s.empty()) throw AppError("no " + name);
        return ParseValue(s);
    }
    // A US bar size "#n" is in eighths of an inch whatever its unit cell says.
    double length(const std::string& name) const {
        const std::string unit = text(name + "_units");
        return num(name) * LengthToMm(unit.empty() && text(name).rfind('#', 0) == 0 ? "in" : unit);
    }
    double stress(const std::string& name) const { return num(name) * StressToMpa(text(name + "_units")); }

private:
    const std::map<std::string, size_t>& cols_;
    std::vector<std::string> cells_;
};

// The length in mm; "ratio_D", "ratio_H", "ratio_B" multiply the depth named.
double memberLength(const Row& r, const Specimen& s) {
    const std::string unit = trim(r.text("L_units"));
    const double v = r.num("L");
    if (unit == "ratio_D" || unit == "ratio_H") return v * s.H;
    if (unit == "ratio_B") return v * s.B;
    return v * LengthToMm(unit);
}

// Eccentricity, length and kind of a column or beam-column row.
void readColumn(const Row& r, Specimen& s) {
    s.L = memberLength(r, s);
    s.E = r.has("et") ? std::fabs(r.length("et")) : 0;
    if (r.has("eb") && std::fabs(std::fabs(r.length("eb")) - s.E) > 1e-9)
        s.OutOfScope = "unequal end eccentricities";
    s.K = s.E > 0 ? Kind::BeamColumn : Kind::Stub;
    s.Test = r.num("Pexp") * ForceToKn(r.text("Pexp_units"));
    if (s.OutOfScope.empty() && s.L > kShortLength * s.Depth()) s.OutOfScope = "slender";
}

void readConcrete(const Row& r, Specimen& s) {
    s.FcType = r.text("fc_type");
    s.Fc = CylinderStrength(r.stress("fc"), s.FcType);
}

bool strongAxis(const Row& r) {
    const std::string a = lower(r.text("BendingAxis"));
    if (a == "strong" || a == "x") return true;
    if (a == "weak" || a == "y") return false;
    throw AppError("unknown bending axis '" + r.text("BendingAxis") + "'");
}

void readRow(const std::string& file, const Row& r, Specimen& s) {
    const bool beams = file.find("Beams") != std::string::npos;
    if (file.rfind("CCFT", 0) == 0) {
        s.Fam = Family::CCFT;
        s.B = s.H = r.length("D");
        s.t = r.length("t");
        s.Fy = r.stress("Fy");
    } else if (file.rfind("RCFT", 0) == 0) {
        s.Fam = Family::RCFT;
        s.B = r.length("B");
        s.H = r.length("H");
        s.t = r.length("t");
        s.Fy = r.stress("Fy");
        s.Strong = strongAxis(r);
    } else {
        s.Fam = Family::SRC;
        s.B = r.length("B");
        s.H = r.length("H");
        s.d = r.length("d");
        s.bf = r.length("bf");
        s.tf = r.length("tf");
        s.tw = r.length("tw");
        s.Fy = r.stress("Fy");
        s.Strong = strongAxis(r);
        const std::string bars = r.text("config_longitudinal");
        if (bars == "2x-2y") {
            s.BarDia = r.length("db");
            s.FyBar = r.stress("Fylr");
            // The cover is clear cover to the bars: read as cover to the ties,
            // the bars of many specimens would overlap the steel section.
            s.Cover = r.length("cover") + s.BarDia / 2;
        } else if (bars != "none") {
            s.OutOfScope = "bar layout '" + bars + "' cannot be modelled";
        }
    }
    readConcrete(r, s);
    if (beams) {
        s.K = Kind::Beam;
        s.Test = r.num("Mexp") * MomentToKnm(r.text("Mexp_units"));
    } else {
        readColumn(r, s);
    }
}

}  // namespace

double LengthToMm(std::string_view unit) {
    static const std::map<std::string, double> t = {{"mm", 1}, {"cm", 10}, {"m", 1000}, {"in", 25.4}, {"ft", 304.8}};
    return factor(t, unit, "length");
}

double StressToMpa(std::string_view unit) {
    // kgf and tf by standard gravity; a long ton is 2240 lb.
    static const std::map<std::string, double> t = {
        {"MPa", 1},         {"kPa", 0.001},        {"psi", 0.00689475729}, {"ksi", 6.89475729},
        {"kgscm", 0.0980665}, {"tscm", 98.0665}, {"longton/in^2", 9964.01642 / 645.16}};
    return factor(t, unit, "stress");
}

double ForceToKn(std::string_view unit) {
    static const std::map<std::string, double> t = {{"kN", 1},           {"MN", 1000},          {"kips", 4.44822162},
                                                    {"lbf", 0.00444822162}, {"tonne", 9.80665}, {"longton", 9.96401642}};
    return factor(t, unit, "force");
}

double MomentToKnm(std::string_view unit) {
    static const std::map<std::string, double> t = {
        {"kN-m", 1}, {"kip-in", 4.44822162 * 0.0254}, {"kip-ft", 4.44822162 * 0.3048}};
    return factor(t, unit, "moment");
}

double ParseValue(std::string_view text) {
    std::string s = trim(text);
    // Thousands separators, as in "1,114": groups of three digits only.
    static const std::regex grouped("[-+]?[0-9]{1,3}(,[0-9]{3})+(\\.[0-9]*)?");
    if (std::regex_match(s, grouped)) s.erase(std::remove(s.begin(), s.end(), ','), s.end());
    if (!s.empty() && s[0] == '#') return ParseValue(s.substr(1)) / 8;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || end != s.c_str() + s.size() || !std::isfinite(v))
        throw AppError("'" + s + "' is not a number");
    return v;
}

double CylinderStrength(double fc, std::string_view type) {
    const std::string t = lower(trim(type));
    if (t.rfind("cube", 0) != 0) return fc;
    double cube150 = fc;
    if (t == "cube/100mm") cube150 = 0.95 * fc;
    else if (t == "cube/200mm") cube150 = 1.05 * fc;
    else if (t != "cube" && t != "cube/150mm") throw AppError("unknown concrete strength type '" + std::string(type) + "'");
    return 0.8 * cube150;
}

const char* FamilyName(Family f) {
    switch (f) {
    case Family::CCFT: return "CCFT";
    case Family::RCFT: return "RCFT";
    default: return "SRC";
    }
}

const char* KindName(Kind k) {
    switch (k) {
    case Kind::Stub: return "stub columns";
    case Kind::Beam: return "beams";
    default: return "short beam-columns";
    }
}

std::vector<std::string> SplitCsv(std::string_view line) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') cur += line[++i];
            else if (c == '"') quoted = false;
            else cur += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            out.push_back(trim(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(trim(cur));
    return out;
}

std::vector<Specimen> LoadSpecimens(const std::string& folder) {
    static const char* const files[] = {"CCFT_C+PBC.csv", "CCFT_Beams.csv", "RCFT_C+PBC.csv", "RCFT_Beams.csv",
                                        "SRC_C+PBC.csv"};
    std::vector<Specimen> all;
    for (const char* file : files) {
        const std::string path = (std::filesystem::path(folder) / file).string();
        std::ifstream in(path, std::ios::binary);
        if (!in) throw AppError("Cannot open file \"" + path + "\"");
        std::string line;
        std::map<std::string, size_t> cols;
        int lineNo = 0;
        while (std::getline(in, line)) {
            ++lineNo;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (lineNo == 1) {
                const std::vector<std::string> names = SplitCsv(line);
                for (size_t k = 0; k < names.size(); ++k) cols[names[k]] = k;
                continue;
            }
            if (trim(line).empty()) continue;
            const Row r(cols, SplitCsv(line));
            Specimen s;
            s.File = file;
            s.Line = lineNo;
            s.Author = r.text("Author");
            s.Year = r.text("Year");
            s.Name = r.text("Specimen");
            try {
                readRow(file, r, s);
            } catch (const AppError& e) {
                s.OutOfScope = std::string("unreadable: ") + e.what();
            }
            all.push_back(std::move(s));
        }
    }
    return all;
}

}  // namespace px::validation
