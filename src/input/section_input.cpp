#include "input/section_input.h"

#include "input/error.h"
#include "input/numbers.h"
#include "section/fiber.h"
#include "section/mesh_custom.h"

namespace px {

namespace {

struct Reader {
    const FieldSource& f;
    void real(const char* name, double& dst) const { dst = f.real(name); }
    void integer(const char* name, int& dst) const { dst = f.integer(name); }
};

// The thirteen reads of the rectangular column, in their order.
void readRectBlock(const Reader& r, SectionInput& in) {
    r.real("Edit1", in.B);
    r.real("Edit2", in.H);
    r.real("Edit3", in.Cover);
    r.integer("Edit5", in.XBarRows);
    r.integer("Edit6", in.XBarNum);
    r.real("Edit7", in.XBarDia);
    r.integer("Edit4", in.YBarRows);
    r.integer("Edit8", in.YBarNum);
    r.real("Edit9", in.YBarDia);
    r.integer("Edit10", in.CornerBarNum);
    r.real("Edit11", in.CornerBarDia);
    r.integer("Edit12", in.MeshX);
    r.integer("Edit13", in.MeshY);
}

// The eight reads of the circular column.
void readCircularBlock(const Reader& r, SectionInput& in) {
    r.real("Edit1", in.B);
    r.real("Edit1", in.H);
    r.real("Edit3", in.Cover);
    r.integer("Edit5", in.XBarRows);
    r.integer("Edit6", in.XBarNum);
    r.real("Edit7", in.XBarDia);
    r.integer("Edit12", in.MeshX);
    r.integer("Edit13", in.MeshY);
}

void readSteelY(const Reader& r, SectionInput& in) {
    r.real("Edit42", in.SteelYH);
    r.real("Edit43", in.SteelYB);
    r.real("Edit44", in.SteelYTf);
    r.real("Edit45", in.SteelYTw);
}

void readSteelX(const Reader& r, SectionInput& in) {
    r.real("Edit46", in.SteelXH);
    r.real("Edit47", in.SteelXB);
    r.real("Edit48", in.SteelXTf);
    r.real("Edit49", in.SteelXTw);
}

void readSteelMesh(const Reader& r, SectionInput& in) {
    r.integer("Edit50", in.FlangeMesh);
    r.integer("Edit51", in.WebMesh);
}

}  // namespace

void ReadSectionInput(const FieldSource& f, SectionInput& in) {
    const Reader r{f};
    in.SectionType = f.itemIndex("ComboBox1") + 1;
    in.StrainLimitsAt = f.itemIndex("ComboBox8");
    switch (in.SectionType) {
        case 1:
            readRectBlock(r, in);
            break;
        case 2:
            readCircularBlock(r, in);
            break;
        case 3:
            readRectBlock(r, in);
            readSteelY(r, in);
            readSteelX(r, in);
            readSteelMesh(r, in);
            break;
        case 4:
            readRectBlock(r, in);
            readSteelY(r, in);
            readSteelMesh(r, in);
            break;
        case 5:
            r.real("Edit1", in.B);
            r.real("Edit1", in.H);
            r.real("Edit3", in.SteelYTw);
            r.integer("Edit12", in.MeshX);
            r.integer("Edit13", in.MeshY);
            break;
        case 6:
            r.real("Edit1", in.B);
            r.real("Edit2", in.H);
            r.real("Edit3", in.SteelYTw);
            r.real("Edit41", in.SteelXTw);
            r.integer("Edit12", in.MeshX);
            r.integer("Edit13", in.MeshY);
            break;
        case 7:
            readCircularBlock(r, in);
            readSteelY(r, in);
            readSteelX(r, in);
            readSteelMesh(r, in);
            break;
        case 8:
            readRectBlock(r, in);
            r.real("Edit42", in.SteelYH);
            r.real("Edit44", in.SteelYTf);
            readSteelMesh(r, in);
            break;
        case 9: {
            const auto custom = f.customSection();
            if (!custom)
                throw AppError("Custom Section: no section is loaded; choose one with \"Load Section File...\"");
            const std::string mesh = f.text("Edit69");
            // An empty field: the section's default.
            in.MeshSize = mesh.find_first_not_of(" \t") == std::string::npos ? DefaultMeshSize(custom->Section)
                                                                               : f.real("Edit69");
            const GrossSection g = ComputeGrossSection(custom->Section);
            in.B = g.MaxX - g.MinX;
            in.H = g.MaxY - g.MinY;
            in.Custom = custom;
            return;
        }
        default:
            return;
    }
    r.integer("Edit70", in.CoverLayers);
}

namespace {

struct ConcreteGroup {
    const char* combo;
    const char *fc, *e0, *fcu, *ecu;
};
struct SteelGroup {
    const char* combo;
    const char *fy, *es;
};

constexpr ConcreteGroup kCover{"ComboBox2", "Edit14", "Edit15", "Edit17", "Edit16"};
constexpr ConcreteGroup kCore1{"ComboBox3", "Edit18", "Edit19", "Edit21", "Edit20"};
constexpr ConcreteGroup kCore2{"ComboBox4", "Edit22", "Edit23", "Edit25", "Edit24"};
constexpr SteelGroup kRebar{"ComboBox5", "Edit27", "Edit26"};
constexpr SteelGroup kSteel{"ComboBox6", "Edit29", "Edit28"};

void assignConcrete(const FieldSource& f, const ConcreteGroup& g, Fiber& fb) {
    fb.ConcModel = f.itemIndex(g.combo) + 1;
    fb.Fc = f.real(g.fc);
    fb.E0 = f.real(g.e0);
    fb.Fcu = f.real(g.fcu);
    fb.Ecu = f.real(g.ecu);
}

void assignSteel(const FieldSource& f, const SteelGroup& g, Fiber& fb) {
    fb.SteelModel = f.itemIndex(g.combo) + 1;
    fb.Fy = f.real(g.fy);
    fb.Es = f.real(g.es);
}

}  // namespace

void AssignFiberMaterials(const FieldSource& f, FiberTable& t) {
    for (int i = 1; i <= t.NFib; ++i) {
        Fiber& fb = t[i];
        switch (fb.MatId) {
            case MatCoverConcrete: assignConcrete(f, kCover, fb); break;
            case MatCoreConcrete1:
            case MatDeductedConcrete1: assignConcrete(f, kCore1, fb); break;
            case MatCoreConcrete2: assignConcrete(f, kCore2, fb); break;
            case MatRebar: assignSteel(f, kRebar, fb); break;
            case MatSteelSection: assignSteel(f, kSteel, fb); break;
            default: break;
        }
    }
}

void CheckFiberMaterials(const FiberTable& t) {
    for (int i = 1; i <= t.NFib; ++i) {
        const Fiber& fb = t[i];
        const char* group = nullptr;
        switch (fb.MatId) {
            case MatCoverConcrete: group = "Cover Concrete"; break;
            case MatCoreConcrete1:
            case MatDeductedConcrete1: group = "Core Concrete One"; break;
            case MatCoreConcrete2: group = "Core Concrete Two"; break;
            case MatRebar: group = "Rebar Material"; break;
            case MatSteelSection: group = "Steel Section Material"; break;
            default: break;
        }
        if (!group) continue;
        if (fb.MatId == MatRebar || fb.MatId == MatSteelSection) {
            CheckSteelModulus(group, fb.Es);
        } else {
            CheckConcreteLaw(group, fb.ConcModel, fb.Fc, fb.E0, fb.Fcu, fb.Ecu);
        }
    }
}

}  // namespace px
