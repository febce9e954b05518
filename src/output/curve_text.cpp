#include "output/curve_text.h"

#include <algorithm>

#include "common/file_replace.h"
#include "input/numbers.h"

namespace px {

namespace {

std::string cell(double v) { return PadRight(kTextCellWidth, F2(v)); }

}  // namespace

std::vector<std::string> FillPMText(const PMCurve& curve) {
    const std::string rule(60, '=');
    std::vector<std::string> lines = {
        "",
        "PMM_Curve_Data ",
        "",
        rule,
        PadRight(kTextCellWidth, "Axial_P") + PadRight(kTextCellWidth, "Moment_Mx") +
            PadRight(kTextCellWidth, "Axial_P") + PadRight(kTextCellWidth, "Moment_My"),
        rule,
    };
    const size_t available = std::min({curve.PX.size(), curve.MX.size(), curve.PY.size(), curve.MY.size()});
    const long long last = std::min<long long>(curve.Divisions, static_cast<long long>(available) - 1);
    // A section bent both ways: what the columns hold and the pure-axial
    // points with the moments they carry, signed as the columns (the
    // curve's ends), above the table.
    if (curve.bothWays() && last >= 0) {
        const auto end = static_cast<size_t>(last);
        auto point = [](const char* name, double P, double Mx, double My) {
            return std::string(name) + "  Axial_P = " + F2(P) + "  Moment_Mx = " + F2(Mx) + "  Moment_My = " + F2(My);
        };
        lines.insert(lines.begin() + 2, {kUniaxialNote, point("Pure_Compression", curve.PX[end], -curve.Mx0, curve.My0),
                                         point("Pure_Tension", curve.PX[0], -curve.Mx1, curve.My1)});
    }
    for (long long i = 0; i <= last; ++i) {
        const auto k = static_cast<size_t>(i);
        lines.push_back(cell(curve.PX[k]) + cell(curve.MX[k]) + cell(curve.PY[k]) + cell(curve.MY[k]));
    }
    // A section bent both ways: the other half, from PMax back to PMin, its
    // moments signed, so the rows trace the closed curve as the plot does.
    if (curve.bothWays()) {
        const size_t other =
            std::min({available, curve.PXNeg.size(), curve.MXNeg.size(), curve.PYNeg.size(), curve.MYNeg.size()});
        const long long top = std::min<long long>(curve.Divisions, static_cast<long long>(other) - 1);
        for (long long i = top; i >= 0; --i) {
            const auto k = static_cast<size_t>(i);
            lines.push_back(cell(curve.PXNeg[k]) + cell(curve.MXNeg[k]) + cell(curve.PYNeg[k]) +
                            cell(curve.MYNeg[k]));
        }
    }
    lines.push_back(rule);
    return lines;
}

std::vector<std::string> FillMMText(int MMPointCount, double MMAxialForce, const MMCurve& curve) {
    const std::string rule(30, '=');
    std::vector<std::string> lines = {
        "",
        "Mx-My_Curve_Data",
        "",
        "Axial_Force_P = " + F2(MMAxialForce),
        "",
        rule,
        PadRight(kTextCellWidth, "Moment_Mx") + PadRight(kTextCellWidth, "Moment_My"),
        rule,
    };
    const size_t available = std::min(curve.Mx.size(), curve.My.size());
    const long long last = std::min<long long>(MMPointCount, static_cast<long long>(available) - 1);
    for (long long i = 1; i <= last; ++i) {
        const auto k = static_cast<size_t>(i);
        lines.push_back(cell(curve.Mx[k]) + cell(curve.My[k]));
    }
    lines.push_back(rule);
    return lines;
}

void SaveTextLines(const std::string& path, const std::vector<std::string>& lines) {
    FileReplacement file(path, FileWording(path));
    for (const std::string& line : lines) {
        file.write(line);
        file.write("\r\n");
    }
    file.commit();
}

}  // namespace px
