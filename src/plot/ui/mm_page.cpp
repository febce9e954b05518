#include "plot/ui/mm_page.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include "analysis/mm_solver.h"
#include "common/ui/image_box.h"
#include "common/ui/long_command.h"
#include "common/ui/platform.h"
#include "input/error.h"
#include "input/numbers.h"
#include "input/section_input.h"
#include "input/ui/form_fields.h"
#include "loads/ui/force_overlay.h"
#include "output/curve_text.h"
#include "output/ui/picture_export.h"
#include "plot/mm_plot.h"
#include "plot/pm_plot.h"
#include "plot/ui/mm_chart.h"
#include "plot/ui/pm_chart.h"
#include "plot/ui/pm_page.h"
#include "section/mesh.h"
#include "section/ui/section_page.h"
#include "workspace/ui/page_run.h"
#include "workspace/workspace.h"

namespace px {

namespace {
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

MmPage::MmPage(QWidget* page, PageBuilder& build, Workspace& ws, PlatformServices& services,
               PictureSaveDialog& pictureSaver, SectionPage& section, PmPage& pm, ShowText showText,
               QWidget* window)
    : QObject(window), ws_(ws), fields_(build.fields), services_(services), pictureSaver_(pictureSaver),
      section_(section), pm_(pm), showText_(std::move(showText)), window_(window), images_(build.images) {
    build.label(page, {}, "Axial Force", 10, 6, 70);
    build.edit(page, 30, 80, 6, 80);
    connect(build.button(page, 8, "Input Force", 168, 4, 90), &QPushButton::clicked, this, &MmPage::inputForce);
    build.label(page, {}, "Ref. PM Curve", 270, 6, 80);
    direction_ = build.combo(page, 7, QRect(350, 6, 120, 21));
    connect(direction_, &QComboBox::currentIndexChanged, this, &MmPage::directionChanged);

    readReference_ = build.label(page, "Label74", "Force = ", 10, 32, 380);
    readMm_ = build.label(page, "Label73", "Force  = ", 430, 32, 380);
    reference_ = build.image(page, 4, 388, 391, 10, 54);
    slider_ = new QScrollBar(Qt::Vertical, page);
    slider_->setObjectName("ScrollBar1");
    slider_->setRange(0, 100);
    slider_->setValue(0);
    slider_->setGeometry(404, 54, 17, 391);
    connect(slider_, &QScrollBar::valueChanged, this, &MmPage::sliderMoved);
    mm_ = build.image(page, 5, 391, 391, 428, 54);
    connect(reference_, &ImageBox::mouseMoved, this, &MmPage::readReference);
    connect(mm_, &ImageBox::mouseMoved, this, &MmPage::readMm);

    build.fieldGroup(page, "GroupBox9", "Factors", QRect(10, 452, 250, 108),
                     {{"Strain Limit", 34}, {"Num of MM Curve Points", 35}, {"Axial Force Range", 64}});
    build.fieldGroup(page, "GroupBox13", "Iteration Setting", QRect(270, 452, 230, 108),
                     {{"Outside Step K", 61}, {"Inside Step N", 62}, {"Extention Factor", 63}});

    struct Button { int n; const char* text; int x, y; void (MmPage::*slot)(); };
    const Button buttons[] = {{3, "Show PM Curve", 510, 456, &MmPage::showReferenceClicked},
                              {7, "Gen MM Curve", 630, 456, &MmPage::genCurve},
                              {12, "Show Force", 750, 456, &MmPage::showForces},
                              {6, "Export Txt", 510, 488, &MmPage::exportText},
                              {14, "Save Image", 630, 488, &MmPage::saveImage}};
    for (const Button& b : buttons)
        connect(build.button(page, b.n, b.text, b.x, b.y), &QPushButton::clicked, this, b.slot);
    progress_ = build.progressBar(page, "ProgressBar2", QRect(510, 524, 360, 20));
}

void MmPage::genCurve() {
    RunUndoable(services_, window_, ws_, images_, progress_, [&](LongCommand& lc) { genMmCurve(&lc); });
}

void MmPage::genMmCurve(LongCommand* lc) {
    section_.readSection();
    section_.meshAndDraw(false, false);
    CheckFiberMaterials(ws_.Fibers);
    const MmSettings settings = ReadMmSettings(fields_);
    CheckMmSettings(settings);
    const double axialBefore = ws_.MMAxialForce;
    ws_.MMAxialForce = settings.axialForce;
    MMCurve curve = ws_.MM;
    try {
        SolveMMCurve(ws_.Fibers, ws_.Input.B, ws_.Input.H, settings, curve,
                     lc ? lc->progress(progress_) : Progress([this](int v) { progress_->setValue(v); }),
                     lc ? lc->options() : SolveOptions{});
    } catch (const AxialForceOutOfReach&) {
        ws_.MMAxialForce = axialBefore;  // a force no state carries changes nothing
        throw;
    }
    // The count and the curve change together, so the export never reads
    // past the curve.
    ws_.MM = std::move(curve);
    ws_.MMPointCount = settings.points;
    mm_->paint([&](QPainter& p, int W, int H) { DrawMMCurve(p, W, H, ws_.MM, ws_.MMPointCount, ws_.MMScale); });
    mm_->refresh();
    drawForcesOnMm();
}

void MmPage::drawForcesOnMm() {
    const double r = fields_.real("Edit64");
    mm_->paint([&](QPainter& p, int W, int H) {
        DrawForcesOnMM(p, W, H, ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy, ws_.MMScale,
                       ws_.MMAxialForce, r, ws_.MM, ws_.MMPointCount);
    });
    mm_->refresh();
}

void MmPage::withCurrentPm(const std::function<void()>& f, bool report) {
    if (LongCommand::active()) return;
    if (!pm_.stale()) {
        runCommand(services_, window_, f);
        return;
    }
    RunUndoable(services_, window_, ws_, images_, progress_, [&](LongCommand& lc) {
        try {
            pm_.showPmCurve(&lc, progress_);
        } catch (const AppError&) {
            reference_->clear();  // no picture of another section
            if (report) throw;
            return;
        }
        f();
    });
}

void MmPage::showReference(bool report) {
    withCurrentPm([&] { showReferencePm(); }, report);
}

void MmPage::showReferencePm() {
    const bool y = direction_->currentIndex() == 1;
    reference_->copyFrom(*images_.at(y ? 3 : 2));
    ws_.MMAxialForce = fields_.real("Edit30");
    reference_->paint([&](QPainter& p, int W, int H) {
        DrawAxialForceLine(p, W, H, y ? ws_.PMScale.Y : ws_.PMScale.X, ws_.MMAxialForce);
    });
    reference_->refresh();
}

void MmPage::inputForce() {
    withCurrentPm([&] {
        ws_.MMAxialForce = fields_.real("Edit30");
        showReferencePm();
    });
}

void MmPage::sliderMoved() {
    // The force comes from the PMax of the curves on show, made current first.
    withCurrentPm([&] {
        ws_.MMAxialForce = MMAxialForceFromSlider(ws_.PMax, ws_.PMin, slider_->value());
        fields_.edit(30)->setText(qs(Edit30Text(ws_.MMAxialForce)));
        showReferencePm();
    });
}

void MmPage::directionChanged() {
    const bool y = direction_->currentIndex() == 1;
    reference_->copyFrom(*images_.at(y ? 3 : 2));
}

void MmPage::readReference(int x, int y) {
    const PMPlotScaleSet& s = direction_->currentIndex() == 1 ? ws_.PMScale.Y : ws_.PMScale.X;
    readReference_->setText(qs(Label74Text(ReadPM(s, x, y, kPMImageWidth, kPMImageHeight))));
}

void MmPage::readMm(int x, int y) {
    readMm_->setText(qs(Label73Text(ReadMM(ws_.MMScale, x, y, kMMImageWidth, kMMImageHeight))));
}

void MmPage::showForces() {
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        drawForcesOnMm();
        const bool y = direction_->currentIndex() == 1;
        reference_->paint([&](QPainter& p, int W, int H) {
            DrawForcesOnPM(p, W, H, y ? 90 : 0, ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy,
                           y ? ws_.PMScale.Y : ws_.PMScale.X, ws_.PM);
        });
        reference_->refresh();
    });
}

void MmPage::exportText() {
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        showText_(FillMMText(ws_.MMPointCount, ws_.MMAxialForce, ws_.MM));
    });
}

void MmPage::saveImage() {
    runCommand(services_, window_, [&] {
        if (!LongCommand::active()) pictureSaver_.save(services_, window_, mm_->image(), mm_->drawn());
    });
}

}  // namespace px
