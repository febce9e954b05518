#include "plot/ui/pm_page.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <set>

#include "analysis/pm_solver.h"
#include "common/ui/image_box.h"
#include "common/ui/long_command.h"
#include "common/ui/platform.h"
#include "input/section_input.h"
#include "input/ui/form_fields.h"
#include "codes/code_fields.h"
#include "codes/ui/design_code_group.h"
#include "codes/ui/design_pm_chart.h"
#include "loads/ui/force_overlay.h"
#include "member/ui/member_group.h"
#include "output/curve_text.h"
#include "output/ui/picture_export.h"
#include "plot/pm_plot.h"
#include "plot/ui/pm_chart.h"
#include "section/mesh.h"
#include "section/ui/section_page.h"
#include "workspace/ui/page_run.h"
#include "workspace/workspace.h"

namespace px {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

std::string PmInputsKey(const FieldSource& f) {
    // Fields that do not reach the P-M curves; any other, a new one too,
    // makes the curves stale when it changes.
    static const std::set<int> others = {30, 31, 34, 35, 36, 37, 38, 39, 40, 54, 55, 56, 57, 58,
                                         59, 61, 62, 63, 64, 65, 66, 67, 68};
    std::string key;
    for (int n = 1; n <= 99; ++n)
        if (!others.count(n)) key += f.text("Edit" + std::to_string(n)) + '\n';
    for (int n = 1; n <= 19; ++n)
        if (n != 7) key += std::to_string(f.itemIndex("ComboBox" + std::to_string(n))) + '\n';
    return key + CustomSectionKey(f);
}

PmPage::PmPage(QWidget* page, PageBuilder& build, Workspace& ws, PlatformServices& services,
               PictureSaveDialog& pictureSaver, SectionPage& section, ShowText showText, QWidget* window)
    : QObject(window), ws_(ws), fields_(build.fields), services_(services), pictureSaver_(pictureSaver),
      section_(section), showText_(std::move(showText)), window_(window), images_(build.images) {
    build.label(page, {}, "X Direction PM Curve (Degree=0)", 10, 4, 200);
    readX_ = build.label(page, "Label68", "Force = ", 210, 4, 190);
    build.label(page, {}, "Y Direction PM Curve (Degree=90)", 410, 4, 200);
    readY_ = build.label(page, "Label69", "Force = ", 610, 4, 190);
    x_ = build.image(page, 2, 388, 391, 10, 26);
    y_ = build.image(page, 3, 388, 391, 410, 26);
    connect(x_, &ImageBox::mouseMoved, this, &PmPage::readX);
    connect(y_, &ImageBox::mouseMoved, this, &PmPage::readY);

    build.fieldGroup(page, "GroupBox7", "Factors", QRect(10, 424, 250, 80),
                     {{"Strain Limit", 32}, {"Axial Force Division Points", 33}});
    build.fieldGroup(page, "GroupBox8", "Iteration Setting", QRect(270, 424, 230, 108),
                     {{"Outside Steps K", 52}, {"Inside Steps N", 53}, {"Extention Factor", 60}});
    build.label(page, {}, "Strain limits at", 10, 512, 90);
    strainLimits_ = build.combo(page, 8, QRect(100, 510, 160, 21));

    struct Button { int n; const char* text; int x, y, w; void (PmPage::*slot)(); };
    const Button buttons[] = {{2, "Show PM Curve", 510, 430, 110, &PmPage::showCurves},
                              {9, "Show Force", 630, 430, 110, &PmPage::showForces},
                              {5, "Export Text", 750, 430, 110, &PmPage::exportText},
                              {16, "Save PM X-Dir Image", 510, 462, 140, &PmPage::saveXImage},
                              {17, "Save PM Y-Dir Image", 660, 462, 140, &PmPage::saveYImage}};
    for (const Button& b : buttons)
        connect(build.button(page, b.n, b.text, b.x, b.y, b.w), &QPushButton::clicked, this, b.slot);
    progress_ = build.progressBar(page, "ProgressBar1", QRect(510, 500, 360, 20));
    // The design code's group first: it holds "Member Length", which the
    // member group then leaves out.
    BuildDesignCodeGroup(page, build.fields, 510, 526);
    member_ = new MemberGroup(page, build.fields, QRect(10, 536, 495, 62), this);
}

bool PmPage::stale() const { return key_.empty() || key_ != PmInputsKey(fields_); }

void PmPage::showCurves() {
    RunUndoable(services_, window_, ws_, images_, progress_, [&](LongCommand& lc) { showPmCurve(&lc); });
}

void PmPage::showPmCurve(LongCommand* lc, QProgressBar* bar) {
    if (!bar) bar = progress_;
    const std::string key = PmInputsKey(fields_);
    key_.clear();
    const MemberInput member = member_->read(ws_);
    section_.readSection();
    section_.meshAndDraw(false);
    CheckFiberMaterials(ws_.Fibers);
    const PmSettings settings = ReadPmSettings(fields_);
    CheckPmSettings(settings);
    const codes::CodeSection code = codes::SectionCodeOf(fields_, ws_.Input, ws_.Fibers);
    FiberTable coded;
    FiberTable& solved = codes::SolverTable(ws_.Fibers, code, coded);
    ComputeAxialBounds(ws_.Fibers, ws_.PMax, ws_.PMin);  // the other pages' capacities: the fields' laws
    double PMax = ws_.PMax, PMin = ws_.PMin;
    if (&solved != &ws_.Fibers) ComputeAxialBounds(solved, PMax, PMin);
    const Progress progress = lc ? lc->progress(bar) : Progress([bar](int v) { bar->setValue(v); });
    const SolveOptions options = lc ? lc->options() : SolveOptions{};
    member_->solve(ws_, member, settings, progress, options.cancel);
    auto draw = [&](double angle) -> ImageBox::Painting {
        if (code.rules == codes::CodeRules::None)
            return [&, angle](QPainter& p, int W, int H) { DrawPMCurve(p, W, H, ws_.PM, angle, ws_.PMScale); };
        return [&, angle](QPainter& p, int W, int H) {
            DrawDesignPMCurve(p, W, H, ws_.PM, ws_.Design, ws_.Code, angle, ws_.PMScale);
        };
    };
    ws_.Code = code;
    SolvePM(solved, ws_.Input.B, ws_.Input.H, settings, 0, PMin, PMax, ws_.PM, progress, options);
    ws_.Design = codes::MakeDesignCurve(ws_.PM, code);
    x_->paint(draw(0));
    x_->refresh();
    SolvePM(solved, ws_.Input.B, ws_.Input.H, settings, 90, PMin, PMax, ws_.PM, progress, options);
    ws_.Design = codes::MakeDesignCurve(ws_.PM, code);
    y_->paint(draw(90));
    y_->refresh();
    member_->draw(ws_, *x_, *y_);
    key_ = key;
}

void PmPage::readX(int x, int y) {
    readX_->setText(qs(Label68Text(ReadPM(ws_.PMScale.X, x, y, kPMImageWidth, kPMImageHeight))));
}

void PmPage::readY(int x, int y) {
    readY_->setText(qs(Label69Text(ReadPM(ws_.PMScale.Y, x, y, kPMImageWidth, kPMImageHeight))));
}

void PmPage::showForces() {
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        x_->paint([&](QPainter& p, int W, int H) {
            DrawForcesOnPM(p, W, H, 0, ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy,
                           ws_.PMScale.X, ws_.PM);
        });
        x_->refresh();
        y_->paint([&](QPainter& p, int W, int H) {
            DrawForcesOnPM(p, W, H, 90, ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy,
                           ws_.PMScale.Y, ws_.PM);
        });
        y_->refresh();
    });
}

void PmPage::exportText() {
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        std::vector<std::string> lines = FillPMText(ws_.PM);
        codes::AppendDesignText(lines, ws_.PM, ws_.Design, ws_.Code);
        showText_(lines);
    });
}

void PmPage::saveXImage() {
    runCommand(services_, window_, [&] {
        if (!LongCommand::active()) pictureSaver_.save(services_, window_, x_->image(), x_->drawn());
    });
}

void PmPage::saveYImage() {
    runCommand(services_, window_, [&] {
        if (!LongCommand::active()) pictureSaver_.save(services_, window_, y_->image(), y_->drawn());
    });
}

}  // namespace px
