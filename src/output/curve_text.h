#pragma once
// The curve tables of the result window, and writing text lines to a file.
#include <string>
#include <vector>

#include "analysis/curves.h"

namespace px {

// Width of one column cell; a longer number is written whole, unpadded.
inline constexpr int kTextCellWidth = 15;

// The P-M table of both directions: six header lines, one row per level
// 0..Divisions (PX, MX, PY, MY, each "%0.2F" padded to 15) and a closing rule.
// Rows stop at the shortest of the four arrays. A section that is not
// point-symmetric (curve.bothWays()) gets three lines more under the title:
// kUniaxialNote and the two pure-axial points with their moments, signed as
// the columns: "Pure_Compression  Axial_P = p  Moment_Mx = -Mx0  Moment_My =
// My0", then "Pure_Tension ..." with Mx1, My1.
std::vector<std::string> FillPMText(const PMCurve& curve);

// The Mx-My table: eight header lines (with "Axial_Force_P = %0.2F"), rows
// for points 1..MMPointCount (entry 0 repeats the last point and is not
// written) and a closing rule. Rows stop where either array ends.
std::vector<std::string> FillMMText(int MMPointCount, double MMAxialForce, const MMCurve& curve);

// Writes every line followed by CR LF, no byte order mark, replacing an
// existing file whole or not at all (common/file_replace.h). A file that
// cannot be created or written gives
// "Cannot create file "<path>". <reason>" / "Cannot write file ...".
void SaveTextLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace px
