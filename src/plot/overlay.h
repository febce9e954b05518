#pragma once
// Where the imported load combinations, amplified by the force factors, fall
// on the P-M and Mx-My charts.
#include <vector>

#include "loads/load_table.h"
#include "plot/scales.h"

namespace px {

struct ForceMarker {
    int Index = 0;  // entry of the load table, 1-based
    int X = 0, Y = 0;
    bool Highlighted = false;  // Mx-My chart: axial force inside the band
};

// Markers on a P-M chart of direction 0 (X, |Mx|) or 90 (Y, |My|). Entries
// that fall outside the image, and every entry when an axis of `s` has no
// range, are left out. With signedMoments (a curve with both halves) the
// moment keeps its side: -Mx and My, as the curve's halves are signed.
std::vector<ForceMarker> PMForceMarkers(double direction, const LoadCombinationTable& table,
                                        double fP, double fMx, double fMy,
                                        const PMPlotScaleSet& s, int W, int H,
                                        bool signedMoments = false);

// Markers on the Mx-My chart with signed moments. An entry is highlighted
// when MMAxialForce - r < Pa < MMAxialForce + r.
std::vector<ForceMarker> MMForceMarkers(const LoadCombinationTable& table, double fP, double fMx,
                                        double fMy, const MMPlotScale& s, double MMAxialForce,
                                        double r, int W, int H);

// Largest circle radius drawn for a marker, pixels; markers further than
// this outside the image are not drawn.
inline constexpr int kMarkerSlack = 6;

}  // namespace px
