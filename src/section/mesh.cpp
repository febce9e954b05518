#include "section/mesh.h"

#include "section/mesh_custom.h"

#include <limits>
#include <string>

#include "input/error.h"
#include "input/guards.h"
#include "section/limit_points.h"
#include "section/mesh_common.h"

namespace px {

using mesh::FiberWriter;

namespace {

using Wide = __int128;

Wide RectColumnCount(const SectionInput& in) {
    const Wide nx = in.MeshX, ny = in.MeshY, nl = in.CoverLayers;
    return (nx - 2) * (ny - 2) + (2 * nx + 2 * ny) * nl + 2 * Wide(in.XBarRows) * in.XBarNum +
           2 * Wide(in.YBarRows) * in.YBarNum + 4;
}

Wide CircularColumnCount(const SectionInput& in) {
    const Wide nt = in.MeshX, nr = in.MeshY, nl = in.CoverLayers;
    return nt * nr + nt * nl + Wide(in.XBarRows) * in.XBarNum;
}

Wide WideCount(const SectionInput& in) {
    const Wide nf = in.FlangeMesh, nw = in.WebMesh, nl = in.CoverLayers;
    switch (in.SectionType) {
        case 1: return RectColumnCount(in);
        case 2: return CircularColumnCount(in);
        case 3: return RectColumnCount(in) + 4 * nf + 2 * nw;
        case 4: return RectColumnCount(in) + 2 * nf + nw;
        case 5: return Wide(in.MeshX) * in.MeshY + in.MeshX * nl;
        case 6: {
            const Wide nx = in.MeshX, ny = in.MeshY;
            return (nx - 2) * (ny - 2) + (2 * nx + 2 * ny) * nl;
        }
        case 7: return CircularColumnCount(in) + 4 * nf + 2 * nw;
        case 8: {
            // Pile Mesh Num1 = sectors np, Pile Mesh Num2 = rings nq.
            return RectColumnCount(in) + nw * nf + nl * nf + nw * nf;
        }
        default: return 0;
    }
}

// Every count is checked once against its own limit. Bars may be left out
// (a count of 0), but every drawn part must get fibers: the core grid of a
// rectangular section has nx - 2 by ny - 2 cells, a ring, a flange or a web
// at least one strip, and a circle at least 4 sectors, so that it can bend
// about both axes.
constexpr int kMinRectMesh = 3;
constexpr int kMinSectors = 4;

// Bar rows and counts of the rectangular column; the corner row is captioned
// "Coner Rebar" for the steel tube in a rectangular column.
void CheckRectBars(const SectionInput& in, const std::string& cornerRow) {
    RequireAtLeast(in.XBarRows, 0, "X-Dir Rebar Row", "Edit5");
    RequireAtLeast(in.XBarNum, 0, "X-Dir Rebar Num", "Edit6");
    RequireAtLeast(in.YBarRows, 0, "Y-Dir Rebar Row", "Edit4");
    RequireAtLeast(in.YBarNum, 0, "Y-Dir Rebar Num", "Edit8");
    RequireAtLeast(in.CornerBarNum, 0, cornerRow + " Num", "Edit10");
}

void CheckRectMesh(const SectionInput& in) {
    RequireAtLeast(in.MeshX, kMinRectMesh, "X-Dir Mesh Num", "Edit12");
    RequireAtLeast(in.MeshY, kMinRectMesh, "Y-Dir Mesh Num", "Edit13");
}

// Sectors and rings of a round section.
void CheckPolarMesh(const SectionInput& in) {
    RequireAtLeast(in.MeshX, kMinSectors, "Mesh Num 1", "Edit12");
    RequireAtLeast(in.MeshY, 1, "Mesh Num 2", "Edit13");
}

void CheckCircularColumn(const SectionInput& in) {
    RequireAtLeast(in.XBarRows, 0, "Rebar Row", "Edit5");
    RequireAtLeast(in.XBarNum, 0, "Rebar Num", "Edit6");
    CheckPolarMesh(in);
}

void CheckSteelMesh(const SectionInput& in) {
    RequireAtLeast(in.FlangeMesh, 1, "Flange Mesh Num", "Edit50");
    RequireAtLeast(in.WebMesh, 1, "Web Mesh Num", "Edit51");
}

}  // namespace

long long FiberCount(const SectionInput& in) {
    const Wide n = WideCount(in);
    if (n > std::numeric_limits<long long>::max()) return std::numeric_limits<long long>::max();
    if (n < std::numeric_limits<long long>::min()) return std::numeric_limits<long long>::min();
    return static_cast<long long>(n);
}

void CheckMeshInput(const SectionInput& in) {
    if (in.SectionType == 9) {
        if (in.Custom) CheckCustomMesh(in.Custom->Section, in.MeshSize);
        return;
    }
    if (in.SectionType >= 1 && in.SectionType <= 8) {
        RequireAtLeast(in.CoverLayers, 1, "Cover Layers", "Edit70");
        RequireAtMost(in.CoverLayers, kMaxCoverLayers, "Cover Layers", "Edit70");
    }
    switch (in.SectionType) {
        case 1:
            CheckRectBars(in, "Corner Rebar");
            CheckRectMesh(in);
            break;
        case 2:
            CheckCircularColumn(in);
            break;
        case 3:
        case 4:
            CheckRectBars(in, "Corner Rebar");
            CheckRectMesh(in);
            CheckSteelMesh(in);
            break;
        case 5:
            CheckPolarMesh(in);
            break;
        case 6:
            CheckRectMesh(in);
            break;
        case 7:
            CheckCircularColumn(in);
            CheckSteelMesh(in);
            break;
        case 8:
            CheckRectBars(in, "Coner Rebar");
            CheckRectMesh(in);
            // The tube's sectors, and its rings: without a ring the wall
            // would sit on concrete that the deducted disc no longer takes off.
            RequireAtLeast(in.FlangeMesh, kMinSectors, "Pile Mesh Num1", "Edit50");
            RequireAtLeast(in.WebMesh, 1, "Pile Mesh Num2", "Edit51");
            break;
        default:
            return;
    }
    const long long n = FiberCount(in);
    if (n > kMaxFibers)
        throw AppError("The mesh would have " + std::to_string(n) + " fibers; at most " + std::to_string(kMaxFibers) +
                       " are allowed");
}

void BuildFiberTable(const SectionInput& in, FiberTable& t) {
    if (in.SectionType == 9) {
        if (!in.Custom) throw AppError("Custom Section: no section is loaded");
        MeshCustomSection(in.Custom->Section, in.MeshSize, t);
        return;
    }
    CheckMeshInput(in);
    switch (in.SectionType) {
        case 1: MeshRectColumn(in, t); break;
        case 2: MeshCircularColumn(in, t); break;
        case 3: MeshRectSrcType1(in, t); break;
        case 4: MeshRectSrcType2(in, t); break;
        case 5: MeshCircularSteelTube(in, t); break;
        case 6: MeshRectSteelBox(in, t); break;
        case 7: MeshCircularSrc(in, t); break;
        case 8: MeshSteelTubeInRect(in, t); break;
        default: break;
    }
    // A template's strain limits: its rectangle's corners or its outline, as chosen.
    if (in.SectionType >= 1 && in.SectionType <= 8) ApplyStrainLimitsAt(in.StrainLimitsAt, t);
}

namespace {
// The count of a mesher's own formula, whatever type the record names.
long long CountAs(SectionInput in, int type) {
    in.SectionType = type;
    return FiberCount(in);
}
}  // namespace

void MeshRectColumn(const SectionInput& in, FiberTable& t) {
    FiberWriter w(t, CountAs(in, 1));
    mesh::AppendRectColumn(in, w);
    w.finish();
}

void MeshCircularColumn(const SectionInput& in, FiberTable& t) {
    FiberWriter w(t, CountAs(in, 2));
    mesh::AppendCircularColumn(in, w);
    w.finish();
}

void MeshRectSrcType1(const SectionInput& in, FiberTable& t) {
    FiberWriter w(t, CountAs(in, 3));
    mesh::AppendRectColumn(in, w);
    mesh::AppendCrossedHSections(in, w);
    w.finish();
}

void MeshRectSrcType2(const SectionInput& in, FiberTable& t) {
    FiberWriter w(t, CountAs(in, 4));
    mesh::AppendRectColumn(in, w);
    mesh::AppendYFlanges(in, w);
    mesh::AppendYWeb(in, w);
    w.finish();
}

void MeshCircularSteelTube(const SectionInput& in, FiberTable& t) {
    FiberWriter w(t, CountAs(in, 5));
    const double D = in.H, tw = in.SteelYTw;
    const double Di = checkedFinite(D - 2 * tw);
    const int na = in.MeshX, nr = in.MeshY;
    mesh::AppendPolarDisc(Di / 2, na, nr, mesh::RingArea::PiFirst, MatCoreConcrete1, w);
    for (int l = 1; l <= na; ++l)
        mesh::AppendRingLayers(Di / 2, D / 2, l, na, in.CoverLayers, mesh::RingArea::PiFirst, MatSteelSection, w);
    w.finish();
}

void MeshRectSteelBox(const SectionInput& in, FiberTable& t) {
    FiberWriter w(t, CountAs(in, 6));
    const double B = in.B, H = in.H, tx = in.SteelYTw, ty = in.SteelXTw;
    const int nx = in.MeshX, ny = in.MeshY;
    const double bi = checkedFinite(B - 2 * tx), hi = checkedFinite(H - 2 * ty);
    const int mx = nx - 2, my = ny - 2;

    for (int i = 1; i <= mx; ++i)
        for (int j = 1; j <= my; ++j)
            mesh::RectFiber(w.next(), -B / 2 + tx + (i - 1) * bi / mx + (bi / mx) / 2,
                            -H / 2 + ty + (j - 1) * hi / my + (hi / my) / 2, (bi / mx) / 2, (hi / my) / 2,
                            bi * hi / (mx * my), MatCoreConcrete1);

    // Each wall in layers through its thickness, from the outer face in.
    const int nl = in.CoverLayers;
    const double lx = tx / nl, ly = ty / nl;

    // Bottom and top walls over the full width, corner squares included.
    for (int i = 1; i <= nx; ++i) {
        const double x = -B / 2 + (i - 1) * B / nx + (B / nx) / 2;
        for (int k = 1; k <= nl; ++k) {
            const double off = mesh::LayerMid(ly, k);
            mesh::RectFiber(w.next(), x, -H / 2 + off, (B / nx) / 2, ly / 2, ly * B / nx, MatSteelSection);
            mesh::RectFiber(w.next(), x, H / 2 - off, (B / nx) / 2, ly / 2, ly * B / nx, MatSteelSection);
        }
    }

    // Left and right walls over the inner height.
    for (int j = 1; j <= ny; ++j) {
        const double y = -H / 2 + ty + (j - 1) * hi / ny + (hi / ny) / 2;
        for (int k = 1; k <= nl; ++k) {
            const double off = mesh::LayerMid(lx, k);
            mesh::RectFiber(w.next(), -B / 2 + off, y, lx / 2, (hi / ny) / 2, hi * lx / ny, MatSteelSection);
            mesh::RectFiber(w.next(), B / 2 - off, y, lx / 2, (hi / ny) / 2, hi * lx / ny, MatSteelSection);
        }
    }
    w.finish();
}

void MeshCircularSrc(const SectionInput& in, FiberTable& t) {
    FiberWriter w(t, CountAs(in, 7));
    mesh::AppendCircularColumn(in, w);
    mesh::AppendCrossedHSections(in, w);
    w.finish();
}

void MeshSteelTubeInRect(const SectionInput& in, FiberTable& t) {
    FiberWriter w(t, CountAs(in, 8));
    mesh::AppendRectColumn(in, w);
    const double Dp = in.SteelYH, tp = in.SteelYTf;
    const double Di = checkedFinite(Dp - 2 * tp);
    const int np = in.FlangeMesh, nq = in.WebMesh;
    mesh::AppendPolarDisc(Di / 2, np, nq, mesh::RingArea::PiFirst, MatCoreConcrete2, w);
    mesh::AppendPolarDisc(Dp / 2, np, nq, mesh::RingArea::PiFirst, MatDeductedConcrete1, w);
    for (int l = 1; l <= np; ++l)
        mesh::AppendRingLayers(Di / 2, Dp / 2, l, np, in.CoverLayers, mesh::RingArea::PiFirst, MatSteelSection, w);
    w.finish();
}

}  // namespace px
