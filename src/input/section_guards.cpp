// Sizes a section can be built from: positive outlines and plates, covers
// and bar diameters not negative, and inner sizes that stay above zero. Each
// field is named by the caption the Section page shows for the type.
#include <string>

#include "input/error.h"
#include "input/section_input.h"

namespace px {

namespace {

std::string quoted(const std::string& caption) { return "\"" + caption + "\""; }

void positive(double v, const std::string& caption) {
    if (!(v > 0)) throw AppError(quoted(caption) + " must be greater than 0");
}

void notNegative(double v, const std::string& caption) {
    if (!(v >= 0)) throw AppError(quoted(caption) + " must not be negative");
}

// size - 2 x part must stay above zero.
void lessThanHalf(double part, const std::string& partCaption, double size, const std::string& sizeCaption) {
    if (!(size - 2 * part > 0))
        throw AppError(quoted(partCaption) + " must be less than half of " + quoted(sizeCaption));
}

struct RectCaptions {
    const char *width, *height, *corner;
};

void checkRectColumn(const SectionInput& in, const RectCaptions& c) {
    positive(in.B, c.width);
    positive(in.H, c.height);
    notNegative(in.Cover, "Cover as");
    lessThanHalf(in.Cover, "Cover as", in.B, c.width);
    lessThanHalf(in.Cover, "Cover as", in.H, c.height);
    notNegative(in.XBarDia, "X-Dir Rebar Diameter");
    notNegative(in.YBarDia, "Y-Dir Rebar Diameter");
    notNegative(in.CornerBarDia, std::string(c.corner) + " Diameter");
}

void checkCircularColumn(const SectionInput& in) {
    positive(in.H, "Diameter D");
    notNegative(in.Cover, "Cover as");
    lessThanHalf(in.Cover, "Cover as", in.H, "Diameter D");
    notNegative(in.XBarDia, "Rebar Diameter");
}

// An H section of the steel group `group` ("Steel Y-Dir", "Steel X-Dir").
void checkHSection(double h, double b, double tf, double tw, const std::string& group) {
    const std::string g = group + ": ";
    auto named = [&](double v, const char* caption) {
        if (!(v > 0)) throw AppError(g + quoted(caption) + " must be greater than 0");
    };
    named(h, "Sec Height H");
    named(b, "Sec Width B");
    named(tf, "Flange Thick tf");
    named(tw, "Web Thick tw");
    if (!(h - 2 * tf > 0))
        throw AppError(g + quoted("Flange Thick tf") + " must be less than half of " + quoted("Sec Height H"));
}

}  // namespace

void CheckSectionInput(const SectionInput& in) {
    switch (in.SectionType) {
        case 1:
            checkRectColumn(in, {"Sec Width B", "Sec Height H", "Corner Rebar"});
            break;
        case 2:
            checkCircularColumn(in);
            break;
        case 3:
            checkRectColumn(in, {"Sec Widht B", "Sec Heigth H", "Corner Rebar"});
            checkHSection(in.SteelYH, in.SteelYB, in.SteelYTf, in.SteelYTw, "Steel Y-Dir");
            checkHSection(in.SteelXH, in.SteelXB, in.SteelXTf, in.SteelXTw, "Steel X-Dir");
            break;
        case 4:
            checkRectColumn(in, {"Sec Width B", "Sec Height H", "Corner Rebar"});
            checkHSection(in.SteelYH, in.SteelYB, in.SteelYTf, in.SteelYTw, "Steel Y-Dir");
            break;
        case 5:
            positive(in.H, "Diameter D");
            positive(in.SteelYTw, "Thickness tw");
            lessThanHalf(in.SteelYTw, "Thickness tw", in.H, "Diameter D");
            break;
        case 6:
            positive(in.B, "Sec Width B");
            positive(in.H, "Sec Height H");
            positive(in.SteelYTw, "X-Dir Thickness");
            positive(in.SteelXTw, "Y-Dir Thickness");
            lessThanHalf(in.SteelYTw, "X-Dir Thickness", in.B, "Sec Width B");
            lessThanHalf(in.SteelXTw, "Y-Dir Thickness", in.H, "Sec Height H");
            break;
        case 7:
            checkCircularColumn(in);
            checkHSection(in.SteelYH, in.SteelYB, in.SteelYTf, in.SteelYTw, "Steel Y-Dir");
            checkHSection(in.SteelXH, in.SteelXB, in.SteelXTf, in.SteelXTw, "Steel X-Dir");
            break;
        case 8: {
            checkRectColumn(in, {"Sec Width B", "Sec Height H", "Coner Rebar"});
            const std::string g = "Pipe: ";
            if (!(in.SteelYH > 0)) throw AppError(g + quoted("Sec Height H") + " must be greater than 0");
            if (!(in.SteelYTf > 0)) throw AppError(g + quoted("Flange Thick tf") + " must be greater than 0");
            if (!(in.SteelYH - 2 * in.SteelYTf > 0))
                throw AppError(g + quoted("Flange Thick tf") + " must be less than half of " +
                               quoted("Sec Height H"));
            break;
        }
        default:
            break;
    }
}

void CheckConcreteLaw(const std::string& group, int model, double fc, double e0, double fcu, double ecu) {
    const std::string g = group + ": ";
    if (model != 2) {
        if (e0 < 0) throw AppError(g + quoted("Yield Stage Stain e0") + " must not be negative");
        return;
    }
    if (!(e0 > 0)) throw AppError(g + quoted("Yield Stage Stain e0") + " must be greater than 0");
    if (!(ecu > e0))
        throw AppError(g + quoted("Ultimate Stage Strain ecu") + " must be greater than " +
                       quoted("Yield Stage Stain e0"));
    if (!(fcu >= 0)) throw AppError(g + quoted("Ultimate Stage Strength fcu") + " must not be negative");
    if (!(fcu <= fc))
        throw AppError(g + quoted("Ultimate Stage Strength fcu") + " must not be greater than " +
                       quoted("Yield Strength fc"));
}

void CheckSteelModulus(const std::string& group, double es) {
    if (!(es > 0)) throw AppError(group + ": " + quoted("Modulus of Elasticity Es") + " must be greater than 0");
}

}  // namespace px
