#include "curvature/ui/mphi_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "input/ui/form_fields.h"
#include "workspace/workspace.h"
#include "common/ui/image_box.h"
#include "common/ui/long_command.h"
#include "common/ui/platform.h"
#include "curvature/moment_curvature.h"
#include "curvature/ui/mphi_chart.h"
#include "input/fields.h"
#include "input/section_input.h"
#include "output/ui/picture_export.h"
#include "section/section_from_fields.h"

namespace px {

MphiPage::MphiPage(QWidget* page, Workspace& ws, FormFields& fields, PlatformServices& services,
                   PictureSaveDialog& pictureSaver, ShowText showText, QWidget* window)
    : QObject(window), ws_(ws), fields_(fields), services_(services), pictureSaver_(pictureSaver),
      showText_(std::move(showText)), window_(window) {
    readout_ = new QLabel("Curvature = ", page);
    readout_->setObjectName("Label78");
    readout_->setGeometry(10, 4, 388, 21);
    image_ = new ImageBox("Image13", kMphiImageWidth, kMphiImageHeight, page);
    image_->move(10, 26);
    connect(image_, &ImageBox::mouseMoved, this, &MphiPage::showReadout);

    const int x0 = 410;
    auto* group = new QGroupBox("M-Phi Settings", page);
    group->setObjectName("GroupBox16");
    group->setGeometry(x0, 22, 250, 108);
    const std::pair<const char*, int> rows[] = {
        {"Axial Force", 66}, {"Neutral Axis Angle", 67}, {"Curvature Steps", 68}};
    int y = 20;
    for (const auto& [caption, n] : rows) {
        auto* label = new QLabel(caption, group);
        label->setGeometry(10, y, 150, 21);
        const std::string name = "Edit" + std::to_string(n);
        auto* e = new QLineEdit(QString::fromStdString(DefaultFieldTexts().at(name)), group);
        e->setObjectName(QString::fromStdString(name));
        e->setGeometry(170, y, 70, 21);
        fields_.edits[name] = e;
        y += 28;
    }

    auto button = [&](int n, const QString& text, QRect r, void (MphiPage::*slot)()) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(QString("Button%1").arg(n));
        b->setGeometry(r);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    button(24, "Gen M-Phi Curve", QRect(x0 + 260, 26, 120, 25), &MphiPage::genCurve);
    button(25, "Export Text", QRect(x0 + 260, 58, 120, 25), &MphiPage::exportText);
    button(26, "Save Image", QRect(x0 + 260, 90, 120, 25), &MphiPage::saveImage);
    progress_ = new QProgressBar(page);
    progress_->setObjectName("ProgressBar4");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setGeometry(x0, 140, 380, 20);
    cancelButton_ = button(27, "Cancel", QRect(x0 + 390, 137, 70, 25), &MphiPage::cancel);
    cancelButton_->setEnabled(false);

    keys_ = new QLabel(page);
    keys_->setObjectName("Label79");
    keys_->setGeometry(x0, 172, 470, 250);
    keys_->setWordWrap(true);
    keys_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    keys_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layerNote_ = new QLabel(page);
    layerNote_->setObjectName("Label83");
    layerNote_->setGeometry(x0, 428, 470, 60);
    layerNote_->setWordWrap(true);
    layerNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // A change of what the curve reads marks it stale.
    for (const auto& [name, e] : fields_.edits) connect(e, &QLineEdit::textChanged, this, &MphiPage::showResult);
    for (const auto& [name, c] : fields_.combos)
        connect(c, &QComboBox::currentIndexChanged, this, &MphiPage::showResult);
    showResult();
}

void MphiPage::drawChart(const MphiResult* r, bool stale) {
    MphiPlotScale s;
    image_->paint([&](QPainter& p, int W, int H) { s = DrawMphiCurve(p, W, H, r, stale); });
    scale_ = s;
}

void MphiPage::pageShown() {
    if (running_ || LongCommand::active()) return;
    if (!ws_.Mphi || ws_.MphiKey != MphiInputsKey(fields_)) genCurve();
}

void MphiPage::genCurve() {
    if (LongCommand::active()) return;
    running_ = true;
    cancelButton_->setEnabled(true);
    progress_->setValue(0);
    runLongCommand(
        services_, window_,
        [&](LongCommand& lc) {
            try {
                // The settings first: a wrong one stops before any work.
                const MphiSettings s = ReadMphiSettings(fields_);
                CheckMphiSettings(s);
                const std::string key = MphiInputsKey(fields_);
                // The section meshed into a copy: the window's own stays.
                SectionInput in = ws_.Input;
                FiberTable fibers;
                MeshSectionFromFields(fields_, in, fibers);
                CheckFiberMaterials(fibers);
                MphiResult r = SolveMomentCurvature(fibers, in.B, in.H, s, lc.progress(progress_),
                                                    lc.options().cancel);
                ws_.Mphi = std::move(r);
                ws_.MphiKey = key;
            } catch (const Cancelled&) {
                progress_->setValue(0);
                throw;
            }
        },
        cancelButton_);
    cancelButton_->setEnabled(false);
    running_ = false;
    showResult();
}

namespace {

// The note on fibers that crush in one step matters where a concrete loses
// its stress as it crushes (the descending law): a template with one "Cover
// Layers", or a custom section, which is cut by its "Mesh Size".
const char* LayerNote(const FieldSource& f) {
    bool descending = false;
    for (const char* law : {"ComboBox2", "ComboBox3", "ComboBox4"}) descending = descending || f.itemIndex(law) == 1;
    if (!descending) return "";
    if (f.itemIndex("ComboBox1") == 8) return kMphiMeshNote;
    return f.text("Edit70") == "1" ? kMphiOneLayerNote : "";
}

}  // namespace

void MphiPage::showResult() {
    if (running_) return;
    const MphiResult* r = ws_.Mphi ? &*ws_.Mphi : nullptr;
    // A curve of other inputs (a run refused on arrival keeps the old one)
    // is marked on the chart itself, as in the key values.
    const bool stale = r && ws_.MphiKey != MphiInputsKey(fields_);
    drawChart(r, stale);
    image_->refresh();
    layerNote_->setText(LayerNote(fields_));
    image_->setDrawn(r != nullptr);
    if (!r) {
        keys_->clear();
        return;
    }
    QString text;
    for (const std::string& line : MphiKeyLines(*r)) text += QString::fromStdString(line) + "\n";
    if (stale) text += kMphiStaleNote;
    keys_->setText(text.trimmed());
}

void MphiPage::exportText() {
    runCommand(services_, window_, [&] {
        if (!ws_.Mphi) throw AppError("There is no M-Phi curve to export: press \"Gen M-Phi Curve\" first");
        showText_(FillMphiText(*ws_.Mphi));
    });
}

void MphiPage::saveImage() {
    runCommand(services_, window_, [&] { pictureSaver_.save(services_, window_, image_->image(), image_->drawn()); });
}

void MphiPage::cancel() {
    if (LongCommand* lc = LongCommand::current()) lc->cancel();
}

void MphiPage::showReadout(int x, int y) {
    readout_->setText(QString::fromStdString(MphiReadoutText(scale_, x, y, kMphiImageWidth, kMphiImageHeight)));
}

}  // namespace px
