#pragma once
// Where the imported load combinations, amplified by the force factors, fall
// on the P-M and Mx-My charts, and what the drawn curve says of each.
#include <vector>

#include "analysis/curves.h"
#include "loads/load_table.h"
#include "plot/scales.h"

namespace px {

// What a marker shows. On a P-M chart a force is judged against the closed
// curve in the chart's own plane (M, P); on the Mx-My chart only a force
// whose axial force lies in the band around the curve's is judged, against
// that curve, and the others are drawn as OtherLevel.
enum class MarkerVerdict { Ok, Ng, OtherLevel };

struct ForceMarker {
    int Index = 0;  // entry of the load table, 1-based
    int X = 0, Y = 0;
    bool Highlighted = false;  // Mx-My chart: axial force inside the band
    MarkerVerdict Verdict = MarkerVerdict::Ok;
    bool InFrame = true;  // centre inside the frame: drawn; else only counted
};

// Markers on a P-M chart of direction 0 (X, |Mx|) or 90 (Y, |My|), for every
// entry of the table; nothing when an axis of `s` has no range. For a curve
// with both halves the moment keeps its side: -Mx and My, as the curve's
// halves are signed. Inside the closed curve (odd-even rule) is Ok.
std::vector<ForceMarker> PMForceMarkers(double direction, const LoadCombinationTable& table,
                                        double fP, double fMx, double fMy, const PMCurve& curve,
                                        const PMPlotScaleSet& s, int W, int H);

// Markers on the Mx-My chart with signed moments. An entry is highlighted
// when MMAxialForce - r < Pa < MMAxialForce + r, and then judged against
// entries 1..MMPointCount of the curve.
std::vector<ForceMarker> MMForceMarkers(const LoadCombinationTable& table, double fP, double fMx,
                                        double fMy, const MMCurve& curve, int MMPointCount,
                                        const MMPlotScale& s, double MMAxialForce, double r, int W, int H);

// Whether (x, y) lies inside the closed polygon (xs[k], ys[k]) by the
// odd-even rule; a point on an edge may go either way.
bool InsideClosedLine(const std::vector<double>& xs, const std::vector<double>& ys, double x, double y);

// The legend's counts of a set of markers.
struct MarkerCounts {
    int Ok = 0, Ng = 0, Other = 0, OffFrame = 0;
};
MarkerCounts CountMarkers(const std::vector<ForceMarker>& markers);

}  // namespace px
