#pragma once
// The analysis input record read from the Section page, and the copying of
// the material pages' parameters into the fibers.
#include <memory>
#include <string>

#include "input/fields.h"

namespace px {

struct FiberTable;

struct SectionInput {
    double B = 0, H = 0;
    double SteelYB = 0, SteelYH = 0, SteelYTf = 0, SteelYTw = 0;
    double SteelXB = 0, SteelXH = 0, SteelXTf = 0, SteelXTw = 0;
    double Cover = 0;
    int XBarRows = 0, XBarNum = 0, YBarRows = 0, YBarNum = 0, CornerBarNum = 0;
    double XBarDia = 0, YBarDia = 0, CornerBarDia = 0;
    int MeshX = 0, MeshY = 0, FlangeMesh = 0, WebMesh = 0;
    // Layers the cover band (and a steel tube's or box's wall) is cut into
    // through its depth; 1 keeps one fiber across it.
    int CoverLayers = 1;
    int SectionType = 0;
    int StrainLimitsAt = 0;  // "Strain limits at" (ComboBox8): 0 bounding rectangle, 1 section outline
    // "Custom Section" (type 9): the loaded section and "Mesh Size" (mm; the
    // section's default when the field is empty). B and H hold the section's
    // bounding box.
    std::shared_ptr<const geom::LoadedSection> Custom;
    double MeshSize = 0;
};

// Reads ComboBox1, ComboBox8 and the fields of the chosen type, in the
// type's order, storing each value as soon as it converts.
void ReadSectionInput(const FieldSource& f, SectionInput& in);

// Refuses sizes no section can be built from, before any work: outlines,
// diameters and plate thicknesses must be greater than 0, covers and bar
// diameters must not be negative, and an inner size (B - 2 x cover, a tube's
// inner diameter, a web's height between the flanges) must stay above 0. The
// message names each field by the caption the Section page shows for the type.
// A custom section's "Mesh Size" must be less than the thickness of each of
// its polygons (CheckMeshAcrossParts).
void CheckSectionInput(const SectionInput& in);

// Copies the material pages' parameters into fibers 1..NFib by material id.
void AssignFiberMaterials(const FieldSource& f, FiberTable& t);

// Refuses material parameters the laws cannot use (a steel modulus of zero
// or less, concrete values outside CheckConcreteLaw) for materials present in the
// table. The message names the material page's group and field.
void CheckFiberMaterials(const FiberTable& t);

// Refuses concrete parameters the law of `model` cannot use: a negative e0
// for model 1; for the descending model (2), anything but ecu > e0 > 0 and
// 0 <= fcu <= fc. `group` is the material page's group ("Cover Concrete" ...).
void CheckConcreteLaw(const std::string& group, int model, double fc, double e0, double fcu, double ecu);

// Refuses a steel modulus of zero or less; `group` is the material page's
// group ("Rebar Material", "Steel Section Material").
void CheckSteelModulus(const std::string& group, double es);

}  // namespace px
