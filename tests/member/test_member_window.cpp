// The "Member" group: reading its fields (defaults, refusals naming the
// field), the member curves on the P-M page, `pillarix-batch ... member`,
// and the group's fields through a project file.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>

#include "app/ui/tform1.h"
#include "batch/ui/batch_runner.h"
#include "common/ui/image_box.h"
#include "input/error.h"
#include "input/field_defaults.h"
#include "input/numbers.h"
#include "member/member_input.h"
#include "member/ui/member_chart.h"
#include "member/ui/member_group.h"
#include "support/scripted_platform.h"

using namespace px;

namespace {

// The field a refusal names, or "" when the fields are read.
std::string Refused(const MapFields& f, bool forces) {
    try {
        ReadMemberInput(f, forces);
    } catch (const FieldError& e) {
        return e.field();
    }
    return {};
}

bool HasMemberPixel(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == MemberCurveColor()) return true;
    return false;
}

std::vector<std::string> Lines(const std::string& s) {
    std::vector<std::string> v;
    size_t at = 0;
    for (size_t nl; (nl = s.find('\n', at)) != std::string::npos; at = nl + 1) v.push_back(s.substr(at, nl - at));
    return v;
}

}  // namespace

TEST(MemberInput, DefaultsAndRefusals) {
    // "None" reads nothing: even bad member fields pass.
    MapFields none = DefaultFields();
    none["Edit73"] = "-1";
    none["Edit79"] = "3";
    EXPECT_EQ(Refused(none, false), "");
    EXPECT_EQ(ReadMemberInput(none, false).method, Slenderness::None);

    // Empty fields are their defaults; the length has none.
    MapFields f;
    f.items["ComboBox11"] = 2;
    f["Edit72"] = "6000";
    const MemberInput in = ReadMemberInput(f, false);
    EXPECT_EQ(in.method, Slenderness::General);
    EXPECT_EQ(in.settings.length, 6000);
    EXPECT_EQ(in.settings.kx, 1);
    EXPECT_EQ(in.settings.ky, 1);
    EXPECT_EQ(in.settings.bow, 0.001);
    EXPECT_EQ(in.betaDns, 0);
    EXPECT_EQ(in.phiEf, 0);

    const struct {
        const char* field;
        const char* text;
        bool forces;
        const char* refused;
    } cases[] = {
        {"Edit72", "", false, "Edit72"},      {"Edit72", "0", false, "Edit72"},   {"Edit72", "x", false, "Edit72"},
        {"Edit73", "0", false, "Edit73"},     {"Edit74", "-0.5", false, "Edit74"}, {"Edit75", "-0.1", false, "Edit75"},
        {"Edit76", "-1", false, "Edit76"},    {"Edit77", "-0.001", false, "Edit77"}, {"Edit77", "0.1", false, ""},
        {"Edit77", "0.11", false, "Edit77"},  {"Edit77", "0", false, ""},         {"Edit79", "4", false, "Edit79"},
        {"Edit80", "4", false, "Edit80"},     {"Edit80", "4", true, ""},          {"Edit73", "0.01", false, ""},
    };
    for (const auto& c : cases) {
        MapFields g = f;
        g[c.field] = c.text;
        EXPECT_EQ(Refused(g, c.forces), c.refused) << c.field << " = '" << c.text << "'";
    }
    // The code method needs a design code.
    MapFields code = f;
    code.items["ComboBox11"] = 1;
    EXPECT_EQ(Refused(code, false), "ComboBox11");
}

// The group on the P-M page; a window that has "Member Length" already
// keeps its own.
TEST(MemberWindow, GroupFieldsAndMemberLength) {
    ScriptedPlatform platform;
    TForm1 form(&platform, false);
    for (int n = 72; n <= 77; ++n) {
        ASSERT_NE(form.edit(n), nullptr) << n;
        EXPECT_EQ(form.edit(n)->text().toStdString(), DefaultFieldTexts().at("Edit" + std::to_string(n)));
    }
    const auto* combo = form.findChild<QComboBox*>("ComboBox11");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_FALSE(combo->toolTip().isEmpty());

    QWidget page;
    FormFields fields;
    auto* length = new QLineEdit(&page);
    length->setObjectName("Edit72");
    fields.edits["Edit72"] = length;
    MemberGroup group(&page, fields, QRect(0, 0, 860, 76));
    EXPECT_EQ(fields.edits["Edit72"], length);
    EXPECT_EQ(page.findChildren<QLineEdit*>("Edit72").size(), 1);
    EXPECT_EQ(fields.edits.count("Edit77"), 1u);
}

// "Show PM Curve" draws the member curves only with "Slenderness" on; a bad
// length is refused naming it, and the pictures stay.
TEST(MemberWindow, PmPageDrawsTheMemberCurves) {
    ScriptedPlatform platform;
    TForm1 form(&platform);
    auto* combo = form.findChild<QComboBox*>("ComboBox11");
    EXPECT_FALSE(HasMemberPixel(form.imageBox(2)->image()));

    combo->setCurrentIndex(2);
    form.Button2Click();
    ASSERT_EQ(platform.errors.size(), 1);
    EXPECT_TRUE(platform.errors[0].contains("\"Member Length\" must be greater than 0")) << platform.errors[0].toStdString();
    EXPECT_FALSE(HasMemberPixel(form.imageBox(2)->image()));

    form.edit(72)->setText("20000");
    form.Button2Click();
    EXPECT_EQ(platform.errors.size(), 1);
    EXPECT_TRUE(HasMemberPixel(form.imageBox(2)->image()));
    EXPECT_TRUE(HasMemberPixel(form.imageBox(3)->image()));
    const QImage drawn = form.imageBox(2)->image();
    // The text is the curves' at the P-M page's strain limit and factor.
    Workspace& ws = form.workspace();
    MemberInput in = ReadMemberInput(form.fields(), false);
    const std::vector<double> levels = MemberLevels(ws.PMin, ws.PMax, kMemberCurveLevels);
    const MemberCurves c = SolveMemberCurves(ws.Fibers, ws.Input.B, ws.Input.H, in, levels);
    const std::vector<std::string> text = form.findChild<MemberGroup*>()->curveText();
    ASSERT_EQ(text.size(), 2 * (levels.size() + 1));
    for (size_t k = 0; k < levels.size(); ++k) {
        const std::string& line = text[k + 1];
        EXPECT_EQ(line.substr(0, line.rfind('\t')), F2(c.x.points[k].P) + "\t" + F2(c.x.points[k].M)) << k;
        EXPECT_EQ(text[levels.size() + 2 + k].rfind(F2(c.y.points[k].P) + "\t" + F2(c.y.points[k].M) + "\t", 0), 0u);
    }

    // Refused before anything changes.
    form.edit(73)->setText("0");
    form.Button2Click();
    ASSERT_EQ(platform.errors.size(), 2);
    EXPECT_TRUE(platform.errors[1].contains("\"kx\"")) << platform.errors[1].toStdString();
    EXPECT_EQ(form.imageBox(2)->image(), drawn);

    // A member that buckles under its smallest level: refused, naming the
    // length, before the pictures change.
    form.edit(73)->setText("1");
    form.edit(72)->setText("2000000");
    form.Button2Click();
    ASSERT_EQ(platform.errors.size(), 3);
    EXPECT_TRUE(platform.errors[2].contains("\"Member Length\" is too long")) << platform.errors[2].toStdString();
    EXPECT_EQ(form.imageBox(2)->image(), drawn);

    combo->setCurrentIndex(0);
    form.Button2Click();
    EXPECT_FALSE(HasMemberPixel(form.imageBox(2)->image()));
}

// The batch prints a heading per direction, then P and M per level; the
// member's settings survive a project file.
TEST(MemberWindow, BatchMemberAndProject) {
    std::string out, err;
    ASSERT_EQ(RunBatch({"ComboBox11=2", "Edit72=12000", "Edit74=2", "member"}, out, err), kBatchOk) << err;
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 2u * (kMemberCurveLevels + 2));
    EXPECT_EQ(lines[0].rfind("X Direction Member Curve (Degree=0): Member L = 12000 mm, kx = 1.00, general method", 0), 0u)
        << lines[0];
    const std::string& y = lines[kMemberCurveLevels + 2];
    EXPECT_EQ(y.rfind("Y Direction Member Curve (Degree=90): Member L = 12000 mm, ky = 2.00, general method", 0), 0u) << y;
    // The ends carry nothing; the longer Y member carries less at mid-height.
    EXPECT_EQ(lines[1].substr(lines[1].find('\t')), "\t0.00\tend of curve");
    const int mid = kMemberCurveLevels / 2 + 1;
    auto moment = [&](const std::string& l) { return std::stod(l.substr(l.find('\t') + 1)); };
    EXPECT_GT(moment(lines[mid]), 0);
    EXPECT_LT(moment(lines[kMemberCurveLevels + 2 + mid]), moment(lines[mid]));

    QTemporaryDir dir;
    const QString file = dir.filePath("m.pxc");
    std::string saved;
    ASSERT_EQ(RunBatch({"ComboBox11=2", "Edit72=12000", "Edit74=2", "saveproject=" + file}, saved, err), kBatchOk) << err;
    std::string reopened;
    ASSERT_EQ(RunBatch({"open=" + file, "member"}, reopened, err), kBatchOk) << err;
    EXPECT_EQ(reopened, out);

    EXPECT_EQ(RunBatch({"member"}, out, err), kBatchFailed);
    EXPECT_NE(err.find("\"Slenderness\" is \"None\""), std::string::npos) << err;
    EXPECT_EQ(RunBatch({"ComboBox11=3", "member"}, out, err), kBatchUsage);
    // Combo box numbers without a box of the window are no controls.
    EXPECT_EQ(RunBatch({"ComboBox12=0", "member"}, out, err), kBatchUsage);
    EXPECT_NE(err.find("unknown control 'ComboBox12'"), std::string::npos) << err;
}
