#include "validation/experiments.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include <cstring>

#include "common/read_file.h"
#include "input/error.h"
#include "input/numbers.h"
#include "loads/text_decode.h"

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
    if (it == table.end()) throw AppError(std::string("unknown ") + what + " unit '" + ShownValue(unit) + "'");
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
        try {
            return ParseValue(s);
        } catch (const AppError& e) {
            throw AppError(name + ": " + e.message());
        }
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

// Largest magnitude of a value in mm, N/mm2, kN or kNm: anything larger is a
// typing error, and would swamp the statistics.
constexpr double kHugeValue = 1e9;

// A value the row gives, refused when it is not finite, huge, or not above
// (or, with `zero`, not at least) zero.
double checked(double v, const std::string& name, const char* unit, bool zero) {
    const std::string shown = FormatFixed(v, 3) + (*unit ? std::string(" ") + unit : std::string());
    if (!std::isfinite(v) || std::fabs(v) > kHugeValue)
        throw AppError(name + " is " + (std::isfinite(v) ? shown : std::string("not finite")) +
                       ": no value may exceed 1e9 " + (*unit ? unit : ""));
    if (zero ? v < 0 : v <= 0)
        throw AppError(name + " is " + shown + ": it must be " + (zero ? "at least 0" : "greater than 0"));
    return v;
}

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
    s.L = checked(memberLength(r, s), "L", "mm", true);
    s.E = checked(r.has("et") ? std::fabs(r.length("et")) : 0, "et", "mm", true);
    if (r.has("eb") && std::fabs(checked(std::fabs(r.length("eb")), "eb", "mm", true) - s.E) > 1e-9)
        s.OutOfScope = "unequal end eccentricities";
    s.Et = r.has("et") ? r.length("et") : 0;
    s.Eb = r.has("eb") ? r.length("eb") : s.Et;
    s.K = s.E > 0 ? Kind::BeamColumn : Kind::Stub;
    s.Test = checked(r.num("Pexp") * ForceToKn(r.text("Pexp_units")), "Pexp", "kN", false);
    if (s.OutOfScope.empty() && s.L > kShortLength * s.Depth()) s.OutOfScope = "slender";
}

void readConcrete(const Row& r, Specimen& s) {
    s.FcType = r.text("fc_type");
    s.FcMeasured = checked(r.stress("fc"), "fc", "N/mm2", true);
    s.Fc = CylinderStrength(s.FcMeasured, s.FcType);
}

bool strongAxis(const Row& r) {
    const std::string a = lower(r.text("BendingAxis"));
    if (a == "strong" || a == "x") return true;
    if (a == "weak" || a == "y") return false;
    throw AppError("unknown bending axis '" + ShownValue(r.text("BendingAxis")) + "'");
}

// What a file of the database holds, told by its header.
struct Format {
    Family Fam = Family::CCFT;
    bool Beams = false;
};

// The file's format from its column names; false (with the reason) for a
// file that is not one of the database's.
bool formatOf(const std::map<std::string, size_t>& cols, Format& f, std::string& why) {
    auto has = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (!cols.count(n)) {
                why = std::string("not of the database's format (no column \"") + n + "\")";
                return false;
            }
        return true;
    };
    if (!has({"Author", "Year", "Specimen", "Fy", "Fy_units", "fc", "fc_units", "fc_type"})) return false;
    f.Beams = cols.count("Mexp") > 0;
    if (!f.Beams && !has({"Pexp", "Pexp_units", "L", "L_units", "et"})) return false;
    if (f.Beams && !has({"Mexp_units"})) return false;
    if (cols.count("d") && cols.count("bf")) {
        f.Fam = Family::SRC;
        return has({"B", "H", "tf", "tw", "config_longitudinal", "BendingAxis"});
    }
    if (cols.count("D")) {
        f.Fam = Family::CCFT;
        return has({"t"});
    }
    f.Fam = Family::RCFT;
    return has({"B", "H", "t", "BendingAxis"});
}

void readRow(const Format& format, const Row& r, Specimen& s) {
    s.Fam = format.Fam;
    auto length = [&r](const char* name) { return checked(r.length(name), name, "mm", false); };
    if (format.Fam == Family::CCFT) {
        s.B = s.H = length("D");
        s.t = length("t");
    } else if (format.Fam == Family::RCFT) {
        s.B = length("B");
        s.H = length("H");
        s.t = length("t");
        s.Strong = strongAxis(r);
    } else {
        s.B = length("B");
        s.H = length("H");
        s.d = length("d");
        s.bf = length("bf");
        s.tf = length("tf");
        s.tw = length("tw");
        s.Strong = strongAxis(r);
        const std::string bars = r.text("config_longitudinal");
        if (bars == "2x-2y") {
            s.BarDia = length("db");
            s.FyBar = checked(r.stress("Fylr"), "Fylr", "N/mm2", false);
            // The database gives the cover from the bars' centres to the face.
            s.Cover = checked(r.length("cover"), "cover", "mm", true);
        } else if (bars != "none") {
            s.OutOfScope = "bar layout '" + ShownValue(bars) + "' cannot be modelled";
        }
    }
    s.Fy = checked(r.stress("Fy"), "Fy", "N/mm2", false);
    readConcrete(r, s);
    if (format.Beams) {
        s.K = Kind::Beam;
        s.Test = checked(r.num("Mexp") * MomentToKnm(r.text("Mexp_units")), "Mexp", "kNm", false);
    } else {
        readColumn(r, s);
    }
}

// A data file's bytes: a regular file of at most kMaxDataFileBytes, looked at
// before it is read.
std::string readDataFile(const std::string& path) {
    const std::string head = "Cannot open file \"" + ShownValue(path, std::string::npos) + "\". ";
    return ReadRegularFile(path, kMaxDataFileBytes, [&](const FileReadFault& f) {
        switch (f.kind) {
            case FileReadFault::NotAFile: throw AppError(head + "It is not a file");
            case FileReadFault::TooLarge:
                throw AppError(head + "The file is " + std::to_string(f.size) + " bytes; a data file holds at most " +
                               std::to_string(kMaxDataFileBytes >> 20) + " MB");
            // A file that grows while it is read.
            case FileReadFault::Grew:
                throw AppError(head + "It holds more than " + std::to_string(kMaxDataFileBytes >> 20) +
                               " MB; a data file holds at most that");
            default: throw AppError(head + std::strerror(f.err));
        }
    });
}

bool isCsvName(const std::string& name) {
    return name.size() > 4 && lower(name.substr(name.size() - 4)) == ".csv";
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
    // "k" is a kip; a tonne-force metre by standard gravity.
    static const std::map<std::string, double> t = {{"kN-m", 1},
                                                    {"kip-in", 4.44822162 * 0.0254},
                                                    {"k-in", 4.44822162 * 0.0254},
                                                    {"kip-ft", 4.44822162 * 0.3048},
                                                    {"k-ft", 4.44822162 * 0.3048},
                                                    {"tf-m", 9.80665}};
    return factor(t, unit, "moment");
}

namespace {

// Thousands separators, as in "1,114": a sign, one to three digits, then
// groups of a comma and three digits, then perhaps a fraction.
bool isGrouped(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    auto digit = [&s](size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    size_t lead = 0;
    while (digit(i)) ++i, ++lead;
    if (lead < 1 || lead > 3) return false;
    int groups = 0;
    while (i < s.size() && s[i] == ',') {
        if (!digit(i + 1) || !digit(i + 2) || !digit(i + 3)) return false;
        i += 4;
        ++groups;
    }
    if (groups == 0 || digit(i)) return false;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (digit(i)) ++i;
    }
    return i == s.size();
}

}  // namespace

double ParseValue(std::string_view text) {
    std::string s = trim(text);
    if (s.size() > kMaxNumberChars)
        throw AppError("'" + ShownValue(s) + "' is not a number (more than " + std::to_string(kMaxNumberChars) +
                       " characters)");
    if (isGrouped(s)) s.erase(std::remove(s.begin(), s.end(), ','), s.end());
    if (!s.empty() && s[0] == '#') return ParseValue(s.substr(1)) / 8;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (s.empty() || end != s.c_str() + s.size() || !std::isfinite(v))
        throw AppError("'" + ShownValue(s) + "' is not a number");
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

std::vector<Specimen> LoadSpecimens(const std::string& folder, std::vector<DataFile>* files) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (isCsvName(it->path().filename().string())) names.push_back(it->path().filename().string());
    if (ec) throw AppError("Cannot read folder \"" + ShownValue(folder, std::string::npos) + "\". " + ec.message());
    std::sort(names.begin(), names.end());

    std::vector<Specimen> all;
    for (const std::string& file : names) {
        DataFile df;
        df.Name = file;
        const std::string bytes = readDataFile((fs::path(folder) / file).string());
        // Lines end at LF, CR LF or CR.
        std::vector<std::string_view> lines;
        std::string_view rest(bytes);
        if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
        while (!rest.empty()) {
            const size_t e = rest.find_first_of("\r\n");
            lines.push_back(rest.substr(0, e));
            if (e == std::string_view::npos) break;
            rest.remove_prefix(e + (rest[e] == '\r' && e + 1 < rest.size() && rest[e + 1] == '\n' ? 2 : 1));
        }
        std::map<std::string, size_t> cols;
        if (!lines.empty()) {
            const std::vector<std::string> header = SplitCsv(lines[0]);
            for (size_t k = 0; k < header.size(); ++k) {
                if (header[k].empty()) continue;
                if (header[k].size() > kMaxFieldChars || !cols.emplace(header[k], k).second)
                    throw AppError(file + " line 1: the column \"" + ShownValue(header[k]) + "\" " +
                                   (header[k].size() > kMaxFieldChars ? "has too long a name" : "appears twice"));
            }
        }
        Format format;
        if (lines.empty()) df.Note = "empty";
        else df.Read = formatOf(cols, format, df.Note);
        if (!df.Read) {
            if (files) files->push_back(std::move(df));
            continue;
        }
        for (size_t k = 1; k < lines.size(); ++k) {
            if (trim(lines[k]).empty()) continue;
            std::vector<std::string> cells = SplitCsv(lines[k]);
            Specimen s;
            s.File = file;
            s.Line = static_cast<int>(k + 1);
            std::string tooLong;
            for (size_t c = 0; c < cells.size(); ++c)
                if (cells[c].size() > kMaxFieldChars) {
                    tooLong = "field " + std::to_string(c + 1) + " holds more than " +
                              std::to_string(kMaxFieldChars) + " characters";
                    cells[c].clear();
                }
            const Row r(cols, std::move(cells));
            s.Author = ShownValue(r.text("Author"));
            s.Year = ShownValue(r.text("Year"));
            s.Name = ShownValue(r.text("Specimen"));
            try {
                if (!tooLong.empty()) throw AppError(tooLong);
                readRow(format, r, s);
            } catch (const AppError& e) {
                s.Refused = e.message();
                s.OutOfScope = "refused";
            }
            ++df.Rows;
            all.push_back(std::move(s));
        }
        if (files) files->push_back(std::move(df));
    }
    return all;
}

}  // namespace px::validation
