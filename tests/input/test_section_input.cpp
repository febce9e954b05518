// Reading the Section page into the input record and the material copy.
#include <gtest/gtest.h>

#include "input/error.h"
#include "input/field_names.h"
#include "input/section_input.h"
#include "section/fiber.h"

using namespace px;

namespace {
MapFields fieldsFor(int type) {
    MapFields f = DefaultFields();
    f.items["ComboBox1"] = type - 1;
    return f;
}
std::string messageOf(auto&& fn) {
    try {
        fn();
    } catch (const AppError& e) {
        return e.what();
    }
    return "(no error)";
}
}  // namespace

TEST(ReadSectionInput, RectColumnReadsItsThirteenFields) {
    SectionInput in;
    ReadSectionInput(fieldsFor(1), in);
    EXPECT_EQ(in.SectionType, 1);
    EXPECT_EQ(in.B, 2200);
    EXPECT_EQ(in.H, 2200);
    EXPECT_EQ(in.Cover, 40);
    EXPECT_EQ(in.XBarRows, 2);
    EXPECT_EQ(in.XBarNum, 12);
    EXPECT_EQ(in.XBarDia, 25);
    EXPECT_EQ(in.YBarRows, 2);
    EXPECT_EQ(in.CornerBarNum, 1);
    EXPECT_EQ(in.MeshX, 12);
    EXPECT_EQ(in.MeshY, 12);
    // Steel fields belong to other types and stay as they were.
    EXPECT_EQ(in.SteelYH, 0);
    EXPECT_EQ(in.FlangeMesh, 0);
}

TEST(ReadSectionInput, CircularTypesTakeTheDiameterForBothSizes) {
    for (int type : {2, 5, 7}) {
        MapFields f = fieldsFor(type);
        f["Edit1"] = "1500";
        f["Edit2"] = "9999";
        SectionInput in;
        ReadSectionInput(f, in);
        EXPECT_EQ(in.B, 1500) << type;
        EXPECT_EQ(in.H, 1500) << type;
    }
}

TEST(ReadSectionInput, TubeAndBoxPutEdit3IntoTheWallThickness) {
    SectionInput in;
    ReadSectionInput(fieldsFor(1), in);
    MapFields f = fieldsFor(5);
    f["Edit3"] = "16";
    f["Edit6"] = "99";
    ReadSectionInput(f, in);
    EXPECT_EQ(in.SteelYTw, 16);
    EXPECT_EQ(in.Cover, 40);  // kept from the rectangular column
    EXPECT_EQ(in.XBarNum, 12);

    MapFields g = fieldsFor(6);
    g["Edit3"] = "30";
    g["Edit41"] = "35";
    ReadSectionInput(g, in);
    EXPECT_EQ(in.SteelYTw, 30);
    EXPECT_EQ(in.SteelXTw, 35);
    EXPECT_EQ(in.SectionType, 6);
}

TEST(ReadSectionInput, SteelBlocksByType) {
    SectionInput in;
    MapFields f = fieldsFor(3);
    f["Edit42"] = "1601";
    f["Edit46"] = "1602";
    ReadSectionInput(f, in);
    EXPECT_EQ(in.SteelYH, 1601);
    EXPECT_EQ(in.SteelXH, 1602);
    EXPECT_EQ(in.WebMesh, 6);

    SectionInput four;
    MapFields g = fieldsFor(4);
    ReadSectionInput(g, four);
    EXPECT_EQ(four.SteelYB, 600);
    EXPECT_EQ(four.SteelXH, 0);  // type 4 has no X-direction steel

    SectionInput eight;
    ReadSectionInput(fieldsFor(8), eight);
    EXPECT_EQ(eight.SteelYH, 1600);
    EXPECT_EQ(eight.SteelYTf, 60);
    EXPECT_EQ(eight.SteelYB, 0);
    EXPECT_EQ(eight.SteelYTw, 0);
    EXPECT_EQ(eight.FlangeMesh, 12);
}

TEST(ReadSectionInput, ABadFieldStopsWithFieldsBeforeItStored) {
    SectionInput in;
    MapFields f = fieldsFor(1);
    f["Edit1"] = "3000";
    f["Edit2"] = "2500";
    f["Edit3"] = "";
    EXPECT_EQ(messageOf([&] { ReadSectionInput(f, in); }), "Cover as (Section page): '' is not a valid floating point value");
    EXPECT_EQ(in.B, 3000);
    EXPECT_EQ(in.H, 2500);
    EXPECT_EQ(in.MeshX, 0);

    MapFields g = fieldsFor(1);
    g["Edit5"] = "12.5";
    EXPECT_EQ(messageOf([&] { ReadSectionInput(g, in); }), "X-Dir Rebar Row (Section page): '12.5' is not a valid integer value");
}

TEST(AssignFiberMaterials, CopiesTheGroupOfEachMaterial) {
    FiberTable t;
    t.resize(6);
    const int ids[] = {0, 0, 1, 31, 2, 11};
    for (int i = 1; i <= 6; ++i) t[i].MatId = ids[i - 1];
    t.resize(7);
    t[7].MatId = 12;
    t[7].Fc = 99;  // a steel fiber's concrete fields stay as they were
    MapFields f = DefaultFields();
    f["Edit18"] = "30";
    AssignFiberMaterials(f, t);
    EXPECT_EQ(t[1].Fc, 27.5);
    EXPECT_EQ(t[1].ConcModel, 1);
    EXPECT_EQ(t[3].Fc, 30);
    EXPECT_EQ(t[4].Fc, 30);  // deducted concrete takes core concrete one's parameters
    EXPECT_EQ(t[5].Fc, 11.9);
    EXPECT_EQ(t[6].Es, 206000);
    EXPECT_EQ(t[6].Fy, 330);
    EXPECT_EQ(t[6].SteelModel, 1);
    EXPECT_EQ(t[7].Es, 215000);
    EXPECT_EQ(t[7].Fy, 260);
    EXPECT_EQ(t[7].Fc, 99);
    EXPECT_EQ(t[1].Es, 0);
}

TEST(AssignFiberMaterials, FailsAtTheFirstFiberThatReadsABadField) {
    FiberTable t;
    t.resize(3);
    t[1].MatId = 0;
    t[2].MatId = 2;
    t[3].MatId = 0;
    MapFields f = DefaultFields();
    f["Edit22"] = "x";
    EXPECT_EQ(messageOf([&] { AssignFiberMaterials(f, t); }),
              "Core Concrete Two Yield Strength fc (Concrete Material page): 'x' is not a valid floating point value");
    EXPECT_EQ(t[1].Fc, 27.5);
    EXPECT_EQ(t[3].Fc, 0);

    FiberTable empty;
    EXPECT_NO_THROW(AssignFiberMaterials(f, empty));
}

TEST(CheckFiberMaterials, RefusesUnusableParametersOfUsedMaterialsOnly) {
    FiberTable t;
    t.resize(2);
    t[1].MatId = 0;
    t[2].MatId = 11;
    MapFields f = DefaultFields();
    f["Edit28"] = "0";  // steel section: not used by this table
    AssignFiberMaterials(f, t);
    EXPECT_NO_THROW(CheckFiberMaterials(t));
    f["Edit26"] = "-5";
    AssignFiberMaterials(f, t);
    EXPECT_EQ(messageOf([&] { CheckFiberMaterials(t); }),
              "Rebar Material: \"Modulus of Elasticity Es\" must be greater than 0");
    f["Edit26"] = "206000";
    f["Edit15"] = "-0.002";
    AssignFiberMaterials(f, t);
    EXPECT_EQ(messageOf([&] { CheckFiberMaterials(t); }),
              "Cover Concrete: \"Yield Stage Stain e0\" must not be negative");
}

// The descending model needs ecu > e0 > 0 and 0 <= fcu <= fc; the simple
// model reads the same values without a complaint.
TEST(CheckConcreteLaw, DescendingModelLimits) {
    const struct {
        double fc, e0, fcu, ecu;
        const char* message;
    } cases[] = {
        {30, 0.002, 6, 0.004, ""},
        {30, 0.002, 30, 0.004, ""},
        {30, 0, 6, 0.004, "\"Yield Stage Stain e0\" must be greater than 0"},
        {30, 0.002, 6, 0.002, "\"Ultimate Stage Strain ecu\" must be greater than \"Yield Stage Stain e0\""},
        {30, 0.002, -1, 0.004, "\"Ultimate Stage Strength fcu\" must not be negative"},
        {30, 0.002, 31, 0.004, "\"Ultimate Stage Strength fcu\" must not be greater than \"Yield Strength fc\""},
    };
    for (const auto& c : cases) {
        const std::string m = messageOf([&] { CheckConcreteLaw("Core Concrete Two", 2, c.fc, c.e0, c.fcu, c.ecu); });
        EXPECT_EQ(m, *c.message ? std::string("Core Concrete Two: ") + c.message : "(no error)");
        EXPECT_EQ(messageOf([&] { CheckConcreteLaw("Core Concrete Two", 1, c.fc, c.e0, c.fcu, c.ecu); }), "(no error)");
    }
}

TEST(CheckSectionInput, RefusesImpossibleSizesByTheirCaptions) {
    struct Case {
        int type;
        void (*edit)(SectionInput&);
        const char* message;  // "" = accepted
    };
    const Case cases[] = {
        {1, [](SectionInput& in) { in.B = -5; }, "\"Sec Width B\" must be greater than 0"},
        {1, [](SectionInput& in) { in.H = 0; }, "\"Sec Height H\" must be greater than 0"},
        {1, [](SectionInput& in) { in.Cover = -1; }, "\"Cover as\" must not be negative"},
        {1, [](SectionInput& in) { in.Cover = 1100; }, "\"Cover as\" must be less than half of \"Sec Width B\""},
        {1, [](SectionInput& in) { in.H = 80; }, "\"Cover as\" must be less than half of \"Sec Height H\""},
        {1, [](SectionInput& in) { in.YBarDia = -25; }, "\"Y-Dir Rebar Diameter\" must not be negative"},
        {1, [](SectionInput& in) { in.CornerBarDia = -1; }, "\"Corner Rebar Diameter\" must not be negative"},
        {2, [](SectionInput& in) { in.B = in.H = -1; }, "\"Diameter D\" must be greater than 0"},
        {2, [](SectionInput& in) { in.Cover = 1100; }, "\"Cover as\" must be less than half of \"Diameter D\""},
        {2, [](SectionInput& in) { in.XBarDia = -1; }, "\"Rebar Diameter\" must not be negative"},
        {3, [](SectionInput& in) { in.B = -5; }, "\"Sec Widht B\" must be greater than 0"},
        {3, [](SectionInput& in) { in.H = 0; }, "\"Sec Heigth H\" must be greater than 0"},
        {3, [](SectionInput& in) { in.SteelXTw = 0; }, "Steel X-Dir: \"Web Thick tw\" must be greater than 0"},
        {3, [](SectionInput& in) { in.SteelYTf = 800; },
         "Steel Y-Dir: \"Flange Thick tf\" must be less than half of \"Sec Height H\""},
        {4, [](SectionInput& in) { in.SteelYB = -600; }, "Steel Y-Dir: \"Sec Width B\" must be greater than 0"},
        {5, [](SectionInput& in) { in.SteelYTw = 0; }, "\"Thickness tw\" must be greater than 0"},
        {5, [](SectionInput& in) { in.SteelYTw = 1100; }, "\"Thickness tw\" must be less than half of \"Diameter D\""},
        {6, [](SectionInput& in) { in.SteelYTw = -40; }, "\"X-Dir Thickness\" must be greater than 0"},
        {6, [](SectionInput& in) { in.SteelXTw = 1100; },
         "\"Y-Dir Thickness\" must be less than half of \"Sec Height H\""},
        // B and H apart, both ways round: each wall against its own side.
        {6, [](SectionInput& in) { in.B = 400, in.H = 1000, in.SteelYTw = 250; },
         "\"X-Dir Thickness\" must be less than half of \"Sec Width B\""},
        {6, [](SectionInput& in) { in.B = 400, in.H = 1000, in.SteelXTw = 550; },
         "\"Y-Dir Thickness\" must be less than half of \"Sec Height H\""},
        {6, [](SectionInput& in) { in.B = 1000, in.H = 400, in.SteelYTw = 550; },
         "\"X-Dir Thickness\" must be less than half of \"Sec Width B\""},
        {6, [](SectionInput& in) { in.B = 1000, in.H = 400, in.SteelXTw = 250; },
         "\"Y-Dir Thickness\" must be less than half of \"Sec Height H\""},
        {6, [](SectionInput& in) { in.B = 400, in.H = 1000, in.SteelYTw = 190, in.SteelXTw = 490; }, ""},
        {6, [](SectionInput& in) { in.B = 1000, in.H = 400, in.SteelYTw = 490, in.SteelXTw = 190; }, ""},
        {7, [](SectionInput& in) { in.SteelXH = 0; }, "Steel X-Dir: \"Sec Height H\" must be greater than 0"},
        {8, [](SectionInput& in) { in.CornerBarDia = -1; }, "\"Coner Rebar Diameter\" must not be negative"},
        {8, [](SectionInput& in) { in.SteelYTf = 0; }, "Pipe: \"Flange Thick tf\" must be greater than 0"},
        {8, [](SectionInput& in) { in.SteelYTf = 800; },
         "Pipe: \"Flange Thick tf\" must be less than half of \"Sec Height H\""},
        // Steel that reaches past the concrete's outer face, and H sections
        // that are no H.
        {3, [](SectionInput& in) { in.SteelYB = 2200; },
         "Steel Y-Dir: \"Sec Width B\" must be less than the section's \"Sec Widht B\""},
        {3, [](SectionInput& in) { in.H = 1500; },
         "Steel Y-Dir: \"Sec Height H\" must be less than the section's \"Sec Heigth H\""},
        {3, [](SectionInput& in) { in.SteelXH = 2500; },
         "Steel X-Dir: \"Sec Height H\" must be less than the section's \"Sec Widht B\""},
        {3, [](SectionInput& in) { in.SteelXB = 2300; },
         "Steel X-Dir: \"Sec Width B\" must be less than the section's \"Sec Heigth H\""},
        {4, [](SectionInput& in) { in.B = 500; },
         "Steel Y-Dir: \"Sec Width B\" must be less than the section's \"Sec Width B\""},
        {4, [](SectionInput& in) { in.SteelYTw = 700; }, "Steel Y-Dir: \"Web Thick tw\" must be less than \"Sec Width B\""},
        {7, [](SectionInput& in) { in.B = in.H = 500; },
         "Steel Y-Dir: the diagonal of \"Sec Height H\" and \"Sec Width B\" must be less than \"Diameter D\""},
        {7, [](SectionInput& in) { in.SteelXB = 1600; },
         "Steel X-Dir: the diagonal of \"Sec Height H\" and \"Sec Width B\" must be less than \"Diameter D\""},
        {7, [](SectionInput& in) { in.SteelXTf = 800; },
         "Steel X-Dir: \"Flange Thick tf\" must be less than half of \"Sec Height H\""},
        {8, [](SectionInput& in) { in.B = in.H = 500; },
         "Pipe: \"Sec Height H\" must be less than the section's \"Sec Width B\""},
        {8, [](SectionInput& in) { in.SteelYH = 3000; },
         "Pipe: \"Sec Height H\" must be less than the section's \"Sec Width B\""},
        {8, [](SectionInput& in) { in.H = 1600; },
         "Pipe: \"Sec Height H\" must be less than the section's \"Sec Height H\""},
        // Exactly at the limit is still past it; each steel section against
        // the side it runs along when B and H differ.
        {7, [](SectionInput& in) { in.B = in.H = 1000, in.SteelYH = in.SteelXH = 600, in.SteelYB = in.SteelXB = 800; },
         "Steel Y-Dir: the diagonal of \"Sec Height H\" and \"Sec Width B\" must be less than \"Diameter D\""},
        {7, [](SectionInput& in) { in.B = in.H = 1000, in.SteelYH = in.SteelXH = 600, in.SteelYB = 700, in.SteelXB = 800; },
         "Steel X-Dir: the diagonal of \"Sec Height H\" and \"Sec Width B\" must be less than \"Diameter D\""},
        {3, [](SectionInput& in) { in.B = 1500, in.H = 2200; },
         "Steel X-Dir: \"Sec Height H\" must be less than the section's \"Sec Widht B\""},
        {3, [](SectionInput& in) { in.H = 1650, in.SteelXB = 1700; },
         "Steel X-Dir: \"Sec Width B\" must be less than the section's \"Sec Heigth H\""},
        {3, [](SectionInput& in) { in.B = 1600, in.H = 2200, in.SteelXH = 1500, in.SteelYB = 1600; },
         "Steel Y-Dir: \"Sec Width B\" must be less than the section's \"Sec Widht B\""},
        {4, [](SectionInput& in) { in.SteelYTw = in.SteelYB; },
         "Steel Y-Dir: \"Web Thick tw\" must be less than \"Sec Width B\""},
        {3, [](SectionInput& in) { in.SteelXTw = in.SteelXB; },
         "Steel X-Dir: \"Web Thick tw\" must be less than \"Sec Width B\""},
        // Unusual but buildable, and the worked figures' variants.
        {3, [](SectionInput& in) { in.SteelYB = in.SteelXB = 2199; }, ""},
        {7, [](SectionInput& in) { in.B = in.H = 1709; }, ""},  // diagonal 1708.8
        {8, [](SectionInput& in) { in.SteelYH = 2180; }, ""},   // into the cover band
        {6, [](SectionInput& in) { in.SteelYTw = 20; }, ""},
        {1, [](SectionInput& in) { in.Cover = 0; }, ""},
        {1, [](SectionInput& in) { in.XBarDia = in.YBarDia = in.CornerBarDia = 0; }, ""},
        {2, [](SectionInput& in) { in.B = in.H = 1e12; }, ""},
        {5, [](SectionInput& in) { in.Cover = -1; }, ""},  // the tube has no cover
        {6, [](SectionInput& in) { in.XBarDia = -1; }, ""},
    };
    for (int type = 1; type <= 8; ++type) {
        SectionInput in;
        ReadSectionInput(fieldsFor(type), in);
        EXPECT_EQ(messageOf([&] { CheckSectionInput(in); }), "(no error)") << "default type " << type;
    }
    for (const Case& c : cases) {
        SectionInput in;
        ReadSectionInput(fieldsFor(c.type), in);
        c.edit(in);
        const std::string expected = *c.message ? c.message : "(no error)";
        EXPECT_EQ(messageOf([&] { CheckSectionInput(in); }), expected) << "type " << c.type;
    }
}

// Every refusal of a field's text names the field as its page shows it, for
// the type on show, and carries the control for front ends that mark it.
TEST(FieldNames, ARefusedTextNamesItsFieldAndPage) {
    struct Case {
        int type;
        const char* edit;
        const char* text;
        bool integer;
        const char* message;
    };
    const Case cases[] = {
        {1, "Edit1", "24O0", false, "Sec Width B (Section page): '24O0' is not a valid floating point value"},
        {2, "Edit1", "x", false, "Diameter D (Section page): 'x' is not a valid floating point value"},
        {3, "Edit2", "", false, "Sec Heigth H (Section page): '' is not a valid floating point value"},
        {6, "Edit3", "a", false, "X-Dir Thickness (Section page): 'a' is not a valid floating point value"},
        {8, "Edit11", "b", false, "Coner Rebar Diameter (Section page): 'b' is not a valid floating point value"},
        {8, "Edit51", "2.5", true, "Pile Mesh Num2 (Section page): '2.5' is not a valid integer value"},
        {1, "Edit70", "1.5", true, "Cover Layers (Section page): '1.5' is not a valid integer value"},
        {9, "Edit69", "1,5,", false, "Mesh Size (Section page): '1,5,' is not a valid floating point value"},
        {1, "Edit24", "e", false,
         "Core Concrete Two Ultimate Stage Strain ecu (Concrete Material page): 'e' is not a valid floating point value"},
        {1, "Edit28", "-", false,
         "Steel Section Material Modulus of Elasticity Es (Steel Material page): '-' is not a valid floating point value"},
        {1, "Edit33", "9x", true, "Axial Force Division Points (PM Curve page): '9x' is not a valid integer value"},
        {1, "Edit64", "?", false, "Axial Force Range (MM Curve page): '?' is not a valid floating point value"},
        {1, "Edit56", "1e1", true, "Table Column of Moment My(kNm) (Import Force Data page): '1e1' is not a valid integer value"},
        {1, "Edit65", "2 0", true, "Axial Levels (PMM_3D_Curve page): '2 0' is not a valid integer value"},
        {1, "Edit67", "9O", false, "Neutral Axis Angle (M-Phi Curve page): '9O' is not a valid floating point value"},
        // A name the window does not have keeps the bare message.
        {1, "Edit999", "x", false, "'x' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        MapFields f = fieldsFor(c.type);
        f[c.edit] = c.text;
        try {
            if (c.integer) f.integer(c.edit);
            else f.real(c.edit);
            ADD_FAILURE() << c.edit << " '" << c.text << "' converted";
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(e.field(), c.edit);
            EXPECT_EQ(e.bare(), e.message().substr(e.message().find('\'')));
        }
    }
    // A good text reads as the conversion reads it.
    MapFields f = fieldsFor(1);
    f["Edit1"] = " 1.5e3 ";
    f["Edit70"] = "+7";
    EXPECT_EQ(f.real("Edit1"), 1500);
    EXPECT_EQ(f.integer("Edit70"), 7);
}

TEST(FieldNames, EveryFieldOfTheWindowHasACaptionAndAPage) {
    for (const auto& [name, text] : DefaultFieldTexts()) {
        for (int type = 1; type <= 9; ++type) EXPECT_FALSE(FieldCaption(name, type).empty()) << name << " type " << type;
        EXPECT_FALSE(FieldPage(name).empty()) << name;
    }
    EXPECT_EQ(FieldLabel("Edit7", 2), "Rebar Diameter (Section page)");
    EXPECT_EQ(FieldLabel("Edit7", 1), "X-Dir Rebar Diameter (Section page)");
    EXPECT_EQ(FieldLabel("Edit7", 9), "X-Dir Rebar Diameter (Section page)");
    EXPECT_EQ(FieldLabel("Edit42", 8), "Pipe Sec Height H (Section page)");
    EXPECT_EQ(FieldLabel("Edit42", 7), "Steel Y-Dir Sec Height H (Section page)");
    EXPECT_EQ(FieldLabel("Button1", 1), "");
}
