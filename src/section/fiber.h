#pragma once
// The fiber record and the fiber table shared by meshers, drawing and solvers.
#include <cstddef>
#include <utility>
#include <vector>

namespace px {

enum MatIdValue : int {
    MatCoverConcrete = 0,
    MatCoreConcrete1 = 1,
    MatCoreConcrete2 = 2,
    MatRebar = 11,
    MatSteelSection = 12,
    MatDeductedConcrete1 = 31,
};

struct Fiber {
    double X = 0, Y = 0;
    double Stress = 0, Strain = 0;
    double Area = 0;
    int MatId = 0;
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
    double BarDia = 0;
    double Fc = 0, E0 = 0, Fcu = 0, Ecu = 0;
    double Es = 0, Fy = 0;
    // Concrete: 1 parabola and plateau, 2 descending; under a design code 3
    // a block (-Fc where the strain is beyond -E0, else 0: ACI's stress block,
    // or with E0 = 0 the plastic distribution), 4 the parabola-rectangle of
    // exponent Fcu up to E0. Steel: 1 elastic-perfectly plastic, 2 plastic
    // (+-Fy by the sign of the strain).
    int ConcModel = 0, SteelModel = 0;
};

// Strain limits a design code sets in place of the solvers' own (the "Strain
// Limit" field at the most compressed limit point, 0.01 at the most
// stretched one). The defaults are the solvers' own.
struct StrainRules {
    // Below 0: the code's limit at the most compressed point, in place of the
    // field's.
    double compression = 0;
    // False: the stretched side is not limited while any limit point is
    // compressed (the extreme compression fiber always reaches its limit).
    bool tensionAlways = true;
    // Above 0: in a section wholly in compression, the strain at pivotDepth
    // of the depth from the most compressed point is at most pivotStrain; the
    // pure-compression point is the section at that uniform strain.
    double pivotStrain = 0, pivotDepth = 0;
    bool isDefault() const { return compression == 0 && tensionAlways && pivotStrain == 0; }
};

// Fibers are elements 1..NFib; element 0 exists and is never used.
struct FiberTable {
    std::vector<Fiber> f{1};
    int NFib = 0;
    // A drawn section's fiber outlines in the solvers' coordinates, indexed
    // like f (entry 0 unused); empty for the templates, whose fibers are the
    // quadrilaterals X1..Y4, and for bars. An outline with holes holds its
    // outer ring, closed, then each hole closed and followed by the outer
    // ring's first point again: filled with the odd-even rule it is the piece.
    std::vector<std::vector<std::pair<double, double>>> Outline;
    // Where the solvers' origin (the gross section's centroid) lies in the
    // drawing's coordinates; 0, 0 for the templates.
    double OriginX = 0, OriginY = 0;

    // Resizes to n + 1 elements, keeping existing ones, zero-filling new ones.
    void resize(int n) {
        NFib = n;
        f.resize(static_cast<size_t>(n) + 1);
    }
    Fiber& operator[](int i) { return f[static_cast<size_t>(i)]; }
    const Fiber& operator[](int i) const { return f[static_cast<size_t>(i)]; }

    // Points where the strain limits apply (the section's extreme fibers), in
    // the solvers' coordinates. Empty: the corners of the B x H rectangle.
    std::vector<std::pair<double, double>> LimitPoints;
    // False when the section is not point-symmetric about the origin: each
    // direction is then solved with its own compressed side.
    bool PointSymmetric = true;
    // The strain limits of the laws the fibers carry (a design code's).
    StrainRules Rules;
};

// Colour of a material, components 0..255.
struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Entries 1..5: cover concrete, core concrete one, core concrete two, rebar,
// steel section. Entry 0 is unused.
struct MaterialColors {
    Rgb c[6];
    static MaterialColors defaults() {
        MaterialColors m;
        m.c[1] = {255, 255, 0};
        m.c[2] = {0, 255, 255};
        m.c[3] = {0, 255, 0};
        m.c[4] = {255, 0, 0};
        m.c[5] = {0, 0, 255};
        return m;
    }
};

}  // namespace px
