#include <gtest/gtest.h>

#include "support/sections.h"

#include <array>
#include <string>

#include "input/error.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "section/mesh.h"
#include "section/section_info.h"

namespace {

using namespace px;
using px::fixtures::DefaultInput;
using px::fixtures::Meshed;

std::string ErrorOf(const SectionInput& in, const FiberTable& t) {
    try {
        ComputeSectionInfo(in, t);
    } catch (const AppError& e) {
        return e.what();
    }
    return "";
}

TEST(SectionInfo, DefaultRectColumn) {
    const SectionInput in = DefaultInput(1);
    const SectionInfo s = ComputeSectionInfo(in, Meshed(in));
    EXPECT_DOUBLE_EQ(s.As, 49062.5);
    const SectionInfoTexts x = FormatSectionInfo(s);
    EXPECT_EQ(x.Edit36, "4840000");
    EXPECT_EQ(x.Edit31, "4840000");
    EXPECT_EQ(x.Edit37, "49063");  // an exact half goes away from zero
    EXPECT_EQ(x.Edit38, "0");
    EXPECT_EQ(x.Edit39, "1.014");
    EXPECT_EQ(x.Edit40, "0.000");
}

TEST(SectionInfo, CircularColumnUsesThe314Circle) {
    const SectionInput in = DefaultInput(2);
    const SectionInfo s = ComputeSectionInfo(in, Meshed(in));
    EXPECT_EQ(FormatSectionInfo(s).Edit36, "3799400");
    EXPECT_NEAR(s.Ac, s.Ag, 1e-6);
    EXPECT_DOUBLE_EQ(s.As, 24 * 490.625);
}

TEST(SectionInfo, SteelAndDeductedConcrete) {
    // The SRC cross: steel 203200 on 4840000.
    SectionInput in = DefaultInput(3);
    SectionInfoTexts x = FormatSectionInfo(ComputeSectionInfo(in, Meshed(in)));
    EXPECT_EQ(x.Edit38, "203200");
    EXPECT_EQ(x.Edit40, "4.198");
    EXPECT_EQ(x.Edit31, "4840000");

    // The tube in a rectangle: the deducted disc comes off the concrete,
    // the infill goes on: 4840000 - 2009600 + 1719464.
    in = DefaultInput(8);
    const SectionInfo s = ComputeSectionInfo(in, Meshed(in));
    EXPECT_NEAR(s.Ac, 4840000.0 - 2009600 + 1719464, 1e-6);
    EXPECT_NEAR(s.Aa, 290136, 1e-6);
    x = FormatSectionInfo(s);
    EXPECT_EQ(x.Edit31, "4549864");
    EXPECT_EQ(x.Edit38, "290136");
}

TEST(SectionInfo, EveryTypesSixTextsWithTheDefaults) {
    // Gross, concrete, rebar, rebar ratio, steel, steel ratio.
    const std::array<const char*, 6> expected[8] = {
        {"4840000", "4840000", "49063", "1.014", "0", "0.000"},
        {"3799400", "3799400", "11775", "0.310", "0", "0.000"},
        {"4840000", "4840000", "49063", "1.014", "203200", "4.198"},
        {"4840000", "4840000", "49063", "1.014", "101600", "2.099"},
        {"3799400", "3528104", "0", "0.000", "271296", "7.140"},
        {"4840000", "4494400", "0", "0.000", "345600", "7.140"},
        {"3799400", "3799400", "11775", "0.310", "203200", "5.348"},  // a circle's gross area
        {"4840000", "4549864", "49063", "1.014", "290136", "5.995"},
    };
    for (int type = 1; type <= 8; ++type) {
        const SectionInput in = DefaultInput(type);
        const SectionInfoTexts x = FormatSectionInfo(ComputeSectionInfo(in, Meshed(in)));
        const std::array<std::string, 6> got = {x.Edit36, x.Edit31, x.Edit37, x.Edit39, x.Edit38, x.Edit40};
        for (int k = 0; k < 6; ++k) EXPECT_EQ(got[k], expected[type - 1][k]) << "type " << type << ", text " << k;
    }
}

TEST(SectionInfo, ZeroGrossArea) {
    SectionInput in = DefaultInput(1);
    const FiberTable t = Meshed(in);
    in.B = 0;
    EXPECT_EQ(ErrorOf(in, t), kDivByZero);
    EXPECT_EQ(ErrorOf(in, FiberTable{}), kInvalidOp);  // no bars either: 0 / 0

    // An empty table over a real outline gives zeros.
    in = DefaultInput(1);
    const SectionInfoTexts x = FormatSectionInfo(ComputeSectionInfo(in, FiberTable{}));
    EXPECT_EQ(x.Edit31, "0");
    EXPECT_EQ(x.Edit39, "0.000");
}

TEST(SectionInfo, HugeOutlineOverflows) {
    SectionInput in = DefaultInput(1);
    in.B = 1e200;
    in.H = 1e200;
    EXPECT_EQ(ErrorOf(in, FiberTable{}), kOverflow);
}

}  // namespace
