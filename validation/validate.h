#pragma once
// Predictions of the test specimens by the program's section analysis, and
// their statistics.
#include <map>
#include <string>
#include <vector>

#include "validation/experiments.h"

namespace px::validation {

struct RunSettings {
    int Mesh = 40;       // mesh counts of the section (both directions)
    int Levels = 60;     // axial force divisions of the P-M curves
    int Threads = 0;     // specimens run on this many threads (0: every core)
};

struct Prediction {
    bool Ok = false;
    double Value = 0;   // predicted strength, kN (kNm for beams)
    double Ratio = 0;   // test / predicted
    double Slenderness = 0;  // wall b/t or D/t over its limit (beams: the flexural one); 0 for SRC
    std::string Warnings;    // the program's warnings for the section
    std::string Error;       // why it could not be predicted
};

// The section of a specimen as the window's fields: type, sizes, mesh and
// the measured strengths, every other field at its starting text.
std::map<std::string, std::string> SpecimenFields(const Specimen& s, const RunSettings& settings, int& sectionItem);

// The strength the program predicts: PMax for stubs, the moment at P = 0
// about the specimen's axis for beams, and for beam-columns the axial force
// where the P-M curve about that axis meets the line M = P x e.
Prediction Predict(const Specimen& s, const RunSettings& settings);

// A beam's wall slenderness over the compactness limit in flexure of filled
// members (AISC 360-16 Table I1.1b): a tube's D/t over 0.09 Es/fy; a box's
// flange (the wall across the bending axis) b/t over 2.26 sqrt(Es/fy) or web
// h/t over 3.00 sqrt(Es/fy), the larger, with b and h the outside widths
// less 3 t. 0 for SRC.
double FlexuralWallSlenderness(const Specimen& s, double Es);

// The point where a P-M curve (points 0 .. n, P rising from PMin to PMax)
// meets M = P x e (e in mm), searched from PMax downwards, linear between
// points; moments are taken as magnitudes. Nothing (false) when no point
// of the compression side reaches the line.
bool CurveMeetsEccentricity(const std::vector<double>& P, const std::vector<double>& M, int n, double e, double& Pe);

// Predicts every in-scope specimen on worker threads; out-of-scope ones get
// an empty prediction.
std::vector<Prediction> PredictAll(const std::vector<Specimen>& all, const RunSettings& settings);

struct Stats {
    int Count = 0;
    double Mean = 0, Cov = 0, Fractile5 = 0, Min = 0;
    int Below09 = 0;
};

// Statistics of test / predicted ratios: sample COV, the 5 % fractile as
// the empirical quantile (linear between order statistics, (n - 1) p).
Stats ComputeStats(std::vector<double> ratios);

}  // namespace px::validation
