// Sizes a section can be built from: positive outlines and plates, covers
// and bar diameters not negative, inner sizes that stay above zero, H
// sections shaped like one, and steel that lies inside the concrete it is
// embedded in. Each field is named by the caption the Section page shows for
// the type; the error carries the control it is read from.
#include <string>

#include "input/error.h"
#include "input/section_input.h"
#include "section/thin_parts.h"

namespace px {

namespace {

// A field as the message names it: the steel group it belongs to (or
// none), its caption, and its control.
struct Field {
    std::string group, caption;
    const char* control;
};

std::string named(const Field& f) {
    return (f.group.empty() ? std::string() : f.group + ": ") + "\"" + f.caption + "\"";
}
std::string quoted(const Field& f) { return "\"" + f.caption + "\""; }

[[noreturn]] void refuse(const Field& f, const std::string& rule) { throw FieldError(f.control, named(f) + rule); }

void positive(double v, const Field& f) {
    if (!(v > 0)) refuse(f, " must be greater than 0");
}

void notNegative(double v, const Field& f) {
    if (!(v >= 0)) refuse(f, " must not be negative");
}

// size - 2 x part must stay above zero.
void lessThanHalf(double part, const Field& partField, double size, const Field& sizeField) {
    if (!(size - 2 * part > 0)) refuse(partField, " must be less than half of " + quoted(sizeField));
}

// The outline fields of a rectangular section (their captions vary by type).
struct Outline {
    Field width, height;
};

const Field kCover{"", "Cover as", "Edit3"};

void checkRectColumn(const SectionInput& in, const Outline& o, const char* cornerRow) {
    positive(in.B, o.width);
    positive(in.H, o.height);
    notNegative(in.Cover, kCover);
    lessThanHalf(in.Cover, kCover, in.B, o.width);
    lessThanHalf(in.Cover, kCover, in.H, o.height);
    notNegative(in.XBarDia, {"", "X-Dir Rebar Diameter", "Edit7"});
    notNegative(in.YBarDia, {"", "Y-Dir Rebar Diameter", "Edit9"});
    notNegative(in.CornerBarDia, {"", std::string(cornerRow) + " Diameter", "Edit11"});
}

const Field kDiameter{"", "Diameter D", "Edit1"};

void checkCircularColumn(const SectionInput& in) {
    positive(in.H, kDiameter);
    notNegative(in.Cover, kCover);
    lessThanHalf(in.Cover, kCover, in.H, kDiameter);
    notNegative(in.XBarDia, {"", "Rebar Diameter", "Edit7"});
}

// The four fields of an H section's column on the Section page.
struct HFields {
    Field h, b, tf, tw;
};
const HFields kSteelY{{"Steel Y-Dir", "Sec Height H", "Edit42"},
                      {"Steel Y-Dir", "Sec Width B", "Edit43"},
                      {"Steel Y-Dir", "Flange Thick tf", "Edit44"},
                      {"Steel Y-Dir", "Web Thick tw", "Edit45"}};
const HFields kSteelX{{"Steel X-Dir", "Sec Height H", "Edit46"},
                      {"Steel X-Dir", "Sec Width B", "Edit47"},
                      {"Steel X-Dir", "Flange Thick tf", "Edit48"},
                      {"Steel X-Dir", "Web Thick tw", "Edit49"}};

// Positive plates, flanges that leave a web between them, and a web
// thinner than the flanges are wide.
void checkHSection(double h, double b, double tf, double tw, const HFields& f) {
    positive(h, f.h);
    positive(b, f.b);
    positive(tf, f.tf);
    positive(tw, f.tw);
    lessThanHalf(tf, f.tf, h, f.h);
    if (!(tw < b)) refuse(f.tw, " must be less than " + quoted(f.b));
}

// A steel size must stay inside the section's outer face along its axis.
void inside(double part, const Field& partField, double size, const Field& sizeField) {
    if (!(part < size)) refuse(partField, " must be less than the section's " + quoted(sizeField));
}

// The Y section's flanges run along x and its depth along y; the X
// section's the other way round.
void hSectionsInsideRect(const SectionInput& in, const Outline& o, bool withX) {
    inside(in.SteelYB, kSteelY.b, in.B, o.width);
    inside(in.SteelYH, kSteelY.h, in.H, o.height);
    if (!withX) return;
    inside(in.SteelXH, kSteelX.h, in.B, o.width);
    inside(in.SteelXB, kSteelX.b, in.H, o.height);
}

// An H section's outline is an h x b rectangle about the centre: its
// corners lie inside the circle when its diagonal is shorter than D.
void hSectionInsideCircle(double h, double b, double D, const HFields& f) {
    if (!(h * h + b * b < D * D))
        throw FieldError(f.h.control, f.h.group + ": the diagonal of " + quoted(f.h) + " and " + quoted(f.b) +
                                          " must be less than " + quoted(kDiameter));
}

const Outline kRect{{"", "Sec Width B", "Edit1"}, {"", "Sec Height H", "Edit2"}};
const Outline kRectType1{{"", "Sec Widht B", "Edit1"}, {"", "Sec Heigth H", "Edit2"}};

}  // namespace

void CheckSectionInput(const SectionInput& in) {
    switch (in.SectionType) {
        case 1:
            checkRectColumn(in, kRect, "Corner Rebar");
            break;
        case 2:
            checkCircularColumn(in);
            break;
        case 3:
            checkRectColumn(in, kRectType1, "Corner Rebar");
            checkHSection(in.SteelYH, in.SteelYB, in.SteelYTf, in.SteelYTw, kSteelY);
            checkHSection(in.SteelXH, in.SteelXB, in.SteelXTf, in.SteelXTw, kSteelX);
            hSectionsInsideRect(in, kRectType1, true);
            break;
        case 4:
            checkRectColumn(in, kRect, "Corner Rebar");
            checkHSection(in.SteelYH, in.SteelYB, in.SteelYTf, in.SteelYTw, kSteelY);
            hSectionsInsideRect(in, kRect, false);
            break;
        case 5: {
            const Field tw{"", "Thickness tw", "Edit3"};
            positive(in.H, kDiameter);
            positive(in.SteelYTw, tw);
            lessThanHalf(in.SteelYTw, tw, in.H, kDiameter);
            break;
        }
        case 6: {
            const Field tx{"", "X-Dir Thickness", "Edit3"}, ty{"", "Y-Dir Thickness", "Edit41"};
            positive(in.B, kRect.width);
            positive(in.H, kRect.height);
            positive(in.SteelYTw, tx);
            positive(in.SteelXTw, ty);
            lessThanHalf(in.SteelYTw, tx, in.B, kRect.width);
            lessThanHalf(in.SteelXTw, ty, in.H, kRect.height);
            break;
        }
        case 7:
            checkCircularColumn(in);
            checkHSection(in.SteelYH, in.SteelYB, in.SteelYTf, in.SteelYTw, kSteelY);
            checkHSection(in.SteelXH, in.SteelXB, in.SteelXTf, in.SteelXTw, kSteelX);
            hSectionInsideCircle(in.SteelYH, in.SteelYB, in.H, kSteelY);
            hSectionInsideCircle(in.SteelXH, in.SteelXB, in.H, kSteelX);
            break;
        case 8: {
            const Field dp{"Pipe", "Sec Height H", "Edit42"}, tp{"Pipe", "Flange Thick tf", "Edit44"};
            checkRectColumn(in, kRect, "Coner Rebar");
            positive(in.SteelYH, dp);
            positive(in.SteelYTf, tp);
            lessThanHalf(in.SteelYTf, tp, in.SteelYH, dp);
            inside(in.SteelYH, dp, in.B, kRect.width);
            inside(in.SteelYH, dp, in.H, kRect.height);
            break;
        }
        case 9:
            // "Mesh Size", typed or the default, must put two fibers or more across every polygon.
            if (in.Custom) CheckMeshAcrossParts(in.Custom->Section, in.MeshSize);
            break;
        default:
            break;
    }
}

void CheckConcreteLaw(const std::string& group, int model, double fc, double e0, double fcu, double ecu) {
    const std::string g = group + ": ";
    auto caption = [](const char* c) { return std::string("\"") + c + "\""; };
    if (model != 2) {
        if (e0 < 0) throw AppError(g + caption("Yield Stage Stain e0") + " must not be negative");
        return;
    }
    if (!(e0 > 0)) throw AppError(g + caption("Yield Stage Stain e0") + " must be greater than 0");
    if (!(ecu > e0))
        throw AppError(g + caption("Ultimate Stage Strain ecu") + " must be greater than " +
                       caption("Yield Stage Stain e0"));
    if (!(fcu >= 0)) throw AppError(g + caption("Ultimate Stage Strength fcu") + " must not be negative");
    if (!(fcu <= fc))
        throw AppError(g + caption("Ultimate Stage Strength fcu") + " must not be greater than " +
                       caption("Yield Strength fc"));
}

void CheckSteelModulus(const std::string& group, double es) {
    if (!(es > 0)) throw AppError(group + ": \"Modulus of Elasticity Es\" must be greater than 0");
}

}  // namespace px
