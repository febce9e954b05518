#include "app/ui/tform1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>

#include "analysis/pm_solver.h"
#include "analysis/mm_solver.h"
#include "common/ui/grid_model.h"
#include "app/ui/jpeg_logo.h"
#include "common/ui/links.h"
#include "codes/code_fields.h"
#include "codes/ui/design_code_group.h"
#include "codes/ui/design_pm_chart.h"
#include "check/ui/pmm_page.h"
#include "check/ui/surface_view.h"
#include "curvature/ui/mphi_page.h"
#include "input/error.h"
#include "input/field_help.h"
#include "input/field_defaults.h"
#include "input/section_input.h"
#include "input/numbers.h"
#include "loads/csv_import.h"
#include "loads/data_summary.h"
#include "loads/ui/force_overlay.h"
#include "material/ui/material_plots.h"
#include "output/curve_text.h"
#include "output/ui/picture_export.h"
#include "output/ui/tform2.h"
#include "output/ui/tform3.h"
#include "plot/mm_plot.h"
#include "plot/pm_plot.h"
#include "plot/ui/mm_chart.h"
#include "plot/ui/pm_chart.h"
#include "project/ui/project_controller.h"
#include "report/ui/report_writer.h"
#include "section/mesh.h"
#include "section/mesh_custom.h"
#include "section/section_export.h"
#include "common/ui/file_write.h"
#include "geometry/source.h"
#include "section/section_info.h"
#include "section/section_warnings.h"
#include "section/ui/section_drawing.h"

namespace px {

namespace {
const QString kCredit = "Fiber section analysis of columns";
QString qs(const std::string& s) { return QString::fromStdString(s); }

// A page's fixed layout in a scroll area: on a window smaller than the page
// the page scrolls; otherwise it looks as before.
QScrollArea* Scrolled(QWidget* page, int n) {
    auto* area = new QScrollArea;
    area->setObjectName(QString("ScrollBox%1").arg(n));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(page);
    page->setAutoFillBackground(false);
    area->viewport()->setAutoFillBackground(false);
    return area;
}

// The size that holds every control of a page, hidden ones included.
QSize PageExtent(const QWidget* page) {
    QSize s(0, 0);
    for (const QWidget* c : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        s = s.expandedTo(QSize(c->geometry().right() + 1, c->geometry().bottom() + 1));
    return s;
}

// Room for a window frame and title bar before the window system reports them.
constexpr QMargins kFrameAllowance(4, 30, 4, 4);
const QSize kWindowSize(909, 691);
}  // namespace

std::string FormFields::text(const std::string& name) const {
    auto it = edits.find(name);
    if (it == edits.end()) return {};
    return it->second->text().toStdString();
}

int FormFields::itemIndex(const std::string& name) const {
    auto it = combos.find(name);
    if (it == combos.end()) return 0;
    return it->second->currentIndex();
}

// Forwards every dialog to the window's services; while `toStatusBar` is
// set, an error message goes to the window's status bar instead of a box.
class TForm1::ErrorRouting : public PlatformServices {
public:
    ErrorRouting(PlatformServices& to, QMainWindow& window) : to_(to), window_(window) {}
    bool toStatusBar = false;

    QString openFile(QWidget* parent, const QString& title) override { return to_.openFile(parent, title); }
    QString saveFile(QWidget* parent, const QString& title, const QString& filter, const QString& defaultSuffix,
                     const QString& proposedName) override {
        return to_.saveFile(parent, title, filter, defaultSuffix, proposedName);
    }
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override {
        return to_.chooseColor(parent, initial);
    }
    void showError(QWidget* parent, const QString& message) override {
        if (toStatusBar) window_.statusBar()->showMessage(message);
        else to_.showError(parent, message);
    }
    bool openUrl(const QString& url) override { return to_.openUrl(url); }
    QString openFileOfType(QWidget* parent, const QString& title, const QString& filter) override {
        return to_.openFileOfType(parent, title, filter);
    }
    SaveChoice askSaveChanges(QWidget* parent, const QString& name) override {
        return to_.askSaveChanges(parent, name);
    }

private:
    PlatformServices& to_;
    QMainWindow& window_;
};

TForm1::TForm1(PlatformServices* services, bool runCreate) : QMainWindow(nullptr) {
    if (!services) {
        ownedServices_ = std::make_unique<QtPlatformServices>();
        services = ownedServices_.get();
    }
    routing_ = std::make_unique<ErrorRouting>(*services, *this);
    services_ = routing_.get();
    setObjectName("TForm1");
    setWindowTitle("PILLARIX v1.2(Section Analysis Program)Version(2014-09-06)");
    setFont(QFont("Arial", 8));
    resize(kWindowSize);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    setCentralWidget(PageControl1);
    const char* captions[] = {"Section", "Concrete Material", "Steel Material", "PM Curve",
                              "MM Curve", "Import Force Data", "PMM_3D_Curve", "M-Phi Curve"};
    QWidget* pg[8];
    for (int i = 0; i < 8; ++i) {
        pg[i] = new QWidget;
        pg[i]->setObjectName(QString("TabSheet%1").arg(i + 1));
        PageControl1->addTab(Scrolled(pg[i], i + 1), captions[i]);
    }
    buildSectionPage(pg[0]);
    buildConcretePage(pg[1]);
    buildSteelPage(pg[2]);
    buildPmPage(pg[3]);
    buildMmPage(pg[4]);
    buildImportPage(pg[5]);
    buildMenus();
    buildStatusBar();
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);

    pictureSaver_ = std::make_unique<PictureSaveDialog>();
    pmmPage_ = new PmmPage(pg[6], ws_, fields_, *services_, *pictureSaver_, this);
    images_[12] = pmmPage_->picture();
    mphiPage_ = new MphiPage(pg[7], ws_, fields_, *services_, *pictureSaver_,
                             [this](const std::vector<std::string>& lines) { form2_->showLines(lines); }, this);
    images_[13] = mphiPage_->picture();
    for (QWidget* page : pg) page->setMinimumSize(PageExtent(page));
    showHelp();
    if (runCreate) FormCreate();
    form2_ = std::make_unique<TForm2>(*services_);
    form3_ = std::make_unique<TForm3>(*services_);
    project_ = new ProjectController(*this);
}

TForm1::~TForm1() = default;

QLineEdit* TForm1::edit(int n) const {
    auto it = fields_.edits.find("Edit" + std::to_string(n));
    return it == fields_.edits.end() ? nullptr : it->second;
}

ImageBox* TForm1::imageBox(int n) const {
    auto it = images_.find(n);
    return it == images_.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------- building

QLineEdit* TForm1::makeEdit(QWidget* parent, int n, int x, int y, int w) {
    auto* e = new QLineEdit(parent);
    const std::string name = "Edit" + std::to_string(n);
    e->setObjectName(QString::fromStdString(name));
    auto it = DefaultFieldTexts().find(name);
    if (it != DefaultFieldTexts().end()) e->setText(qs(it->second));
    e->setGeometry(x, y, w, 21);
    fields_.edits[name] = e;
    return e;
}

QLabel* TForm1::makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y,
                          int w) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) l->setObjectName(name);
    l->setGeometry(x, y, w, 21);
    return l;
}

QPushButton* TForm1::makeButton(QWidget* parent, int n, const QString& text, int x, int y, void (TForm1::*handler)(),
                               int w) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString("Button%1").arg(n));
    b->setGeometry(x, y, w, 25);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
}

QGroupBox* TForm1::makeFieldGroup(QWidget* parent, const char* name, const QString& title, QRect r,
                                  std::initializer_list<std::pair<const char*, int>> rows) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setGeometry(r);
    const int editX = r.width() - 80;
    int y = 20;
    for (const auto& [caption, n] : rows) {
        makeLabel(box, {}, caption, 10, y, editX - 20);
        makeEdit(box, n, editX, y, 70);
        y += 28;
    }
    return box;
}

QProgressBar* TForm1::makeProgressBar(QWidget* parent, const char* name, QRect r) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setGeometry(r);
    return bar;
}

ImageBox* TForm1::makeImage(QWidget* parent, int n, int w, int h, int x, int y) {
    auto* img = new ImageBox(QString("Image%1").arg(n), w, h, parent);
    img->move(x, y);
    images_[n] = img;
    return img;
}

QComboBox* TForm1::makeModelCombo(QWidget* parent, int n, int x, int y) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString("ComboBox%1").arg(n));
    for (const std::string& item : ComboBoxItems("ComboBox" + std::to_string(n))) c->addItem(qs(item));
    c->setGeometry(x, y, 130, 21);
    fields_.combos["ComboBox" + std::to_string(n)] = c;
    return c;
}

Swatch* TForm1::makeSwatch(QWidget* parent, int n, int x, int y) {
    auto* s = new Swatch(QString("Shape%1").arg(n), parent);
    s->move(x, y);
    swatches_[n] = s;
    static void (TForm1::*const handlers[])() = {nullptr, &TForm1::Shape1MouseDown, &TForm1::Shape2MouseDown,
                                             &TForm1::Shape3MouseDown, &TForm1::Shape4MouseDown,
                                             &TForm1::Shape5MouseDown};
    connect(s, &Swatch::pressed, this, handlers[n]);
    return s;
}

void TForm1::buildSectionPage(QWidget* page) {
    makeLabel(page, "Label1", "Sec Type", 10, 10, 60);
    ComboBox1 = new QComboBox(page);
    ComboBox1->setObjectName("ComboBox1");
    for (const std::string& item : ComboBoxItems("ComboBox1")) ComboBox1->addItem(qs(item));
    ComboBox1->setGeometry(70, 10, 200, 21);
    fields_.combos["ComboBox1"] = ComboBox1;
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox1Change);

    auto* props = new QGroupBox("Section Properties", page);
    props->setObjectName("GroupBox1");
    props->setGeometry(10, 38, 270, 194);
    struct Row { const char* label; const char* text; int edit; };
    const Row rows[] = {{"Label2", "Sec Width B", 1},      {"Label3", "Sec Height H", 2},
                        {"Label4", "Cover as", 3},         {"Label49", "Y-Dir Thickness ty", 41},
                        {"Label12", "X-Dir Mesh Num", 12}, {"Label13", "Y-Dir Mesh Num", 13},
                        {"Label82", "Cover Layers", 70}};
    int y = 20;
    for (const Row& r : rows) {
        makeLabel(props, r.label, r.text, 10, y, 150);
        makeEdit(props, r.edit, 170, y, 80);
        y += 24;
    }
    setVisible("Label49", false);
    setVisible("Edit41", false);
    // "Custom Section" in the places of the template's rows.
    makeButton(props, 0, "Load Section File...", 10, 20, &TForm1::LoadSectionClick, 150)
        ->setObjectName("LoadSectionButton");
    sectionFileName_ = makeLabel(props, "SectionFileLabel", QString(), 10, 46, 250);
    makeLabel(props, "Label84", "Mesh Size (mm)", 10, 70, 150);
    makeEdit(props, 69, 170, 70, 80);
    for (const char* name : {"LoadSectionButton", "SectionFileLabel", "Label84", "Edit69"}) setVisible(name, false);

    // A caption and its fields side by side, `step` apart from `x`; a 0 leaves
    // a field's place empty.
    struct FieldRow { const char* label; const char* text; int y; std::initializer_list<int> edits; };
    auto addRows = [this](QGroupBox* box, std::initializer_list<FieldRow> rows, int x, int step, int w) {
        for (const FieldRow& r : rows) {
            makeLabel(box, r.label, r.text, 10, r.y, 95);
            int at = x;
            for (const int n : r.edits) {
                if (n) makeEdit(box, n, at, r.y, w);
                at += step;
            }
        }
    };

    auto* bars = new QGroupBox("Reinforcement Properties", page);
    bars->setObjectName("GroupBox11");
    bars->setGeometry(10, 236, 270, 118);
    makeLabel(bars, "Label6", "Row", 110, 16, 40);
    makeLabel(bars, "Label7", "Num", 160, 16, 40);
    makeLabel(bars, "Label8", "Diameter", 210, 16, 55);
    addRows(bars,
            {{"Label5", "Rebar in Xdir", 38, {5, 6, 7}},
             {"Label10", "Rebar in Ydir", 62, {4, 8, 9}},
             {"Label11", "Corner Rebar", 86, {0, 10, 11}}},
            110, 50, 45);

    auto* steel = new QGroupBox("Steel H Section or Pipe ", page);
    steel->setObjectName("GroupBox10");
    steel->setGeometry(10, 358, 270, 196);
    makeLabel(steel, "Label54", "Steel Y-Dir", 110, 16, 70);
    makeLabel(steel, "Label55", "Steel X-Dir", 190, 16, 70);
    addRows(steel,
            {{"Label50", "Sec Height H", 38, {42, 46}},
             {"Label51", "Sec Width B", 62, {43, 47}},
             {"Label52", "Flange Thick tf", 86, {44, 48}},
             {"Label53", "Web Thick tw", 110, {45, 49}},
             {"Label57", "Flange Mesh Num", 140, {50}},
             {"Label56", "Web Mesh Num", 164, {51}}},
            110, 80, 70);
    steel->setVisible(false);

    makeImage(page, 1, 607, 447, 290, 8);

    auto* info = new QGroupBox("Section Information", page);
    info->setObjectName("GroupBox12");
    info->setGeometry(290, 460, 400, 80);
    struct InfoRow { const char* label; const char* text; int edit; int x; int y; };
    const InfoRow infos[] = {{"Label58", "Gross Area", 36, 5, 18},  {"Label59", "Conc Area", 31, 5, 44},
                             {"Label60", "Rebar Area", 37, 140, 18}, {"Label61", "Ratio(%)", 39, 140, 44},
                             {"Label62", "Steel Area", 38, 270, 18}, {"Label63", "Ratio(%)", 40, 270, 44}};
    for (const InfoRow& r : infos) {
        makeLabel(info, r.label, r.text, r.x, r.y, 58);
        QLineEdit* e = makeEdit(info, r.edit, r.x + 60, r.y, 66);
        e->setReadOnly(true);
        e->setStyleSheet("background-color: rgb(166, 202, 240);");
    }

    // Where the section model is not safe: empty unless "Input Section" finds a warning.
    sectionWarnings_ = makeLabel(page, "SectionWarnings", QString(), 290, 542, 400);
    sectionWarnings_->setGeometry(290, 542, 400, 56);
    sectionWarnings_->setWordWrap(true);
    sectionWarnings_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    sectionWarnings_->setStyleSheet("color: rgb(192, 0, 0);");

    makeButton(page, 1, "Input Section", 700, 468, &TForm1::Button1Click);
    // Below the logo; the page has room for two lines, so the whole text
    // (with the pure-axial points of a section that is not point-symmetric)
    // is also the label's tooltip.
    centroid_ = makeLabel(page, "CentroidLabel", QString(), 700, 566, 190);
    centroid_->setGeometry(700, 566, 197, 32);
    centroid_->setWordWrap(true);
    centroid_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ImageBox* logo = makeImage(page, 11, 199, 63, 698, 500);
    logo->setCursor(Qt::PointingHandCursor);
    const QImage full = LoadLogo();
    logo->setPicture(full.scaled(199, 63), full);
    connect(logo, &ImageBox::clicked, this, &TForm1::Image11Click);
}

// One material of the material pages: its group box with the colour swatch,
// the model and the fields, and the picture of its curve. The fields stand
// in the order the curve reads them (concrete fc, e0, fcu, ecu; steel Es, fy).
struct MaterialField {
    const char* caption;
    int edit;
};
struct MaterialGroup {
    const char* title;
    int shape;
    int combo;
    int image;
    std::span<const MaterialField> fields;
};

namespace {
constexpr MaterialField kConcreteFields[3][4] = {
    {{"Yield Strength fc", 14}, {"Yield Stage Stain e0", 15}, {"Ultimate Stage Strength fcu", 17},
     {"Ultimate Stage Strain ecu", 16}},
    {{"Yield Strength fc", 18}, {"Yield Stage Stain e0", 19}, {"Ultimate Stage Strength fcu", 21},
     {"Ultimate Stage Strain ecu", 20}},
    {{"Yield Strength fc", 22}, {"Yield Stage Stain e0", 23}, {"Ultimate Stage Strength fcu", 25},
     {"Ultimate Stage Strain ecu", 24}}};
constexpr MaterialGroup kConcreteGroups[] = {{"Cover Concrete", 1, 2, 8, kConcreteFields[0]},
                                             {"Core Concrete One", 2, 3, 9, kConcreteFields[1]},
                                             {"Core Concrete Two", 3, 4, 10, kConcreteFields[2]}};
constexpr MaterialField kSteelFields[2][2] = {
    {{"Modulus of Elasticity Es", 26}, {"Yield Strength fy", 27}},
    {{"Modulus of Elasticity Es", 28}, {"Yield Strength fy", 29}}};
constexpr MaterialGroup kSteelGroups[] = {{"Rebar Material", 4, 5, 6, kSteelFields[0]},
                                          {"Steel Section Material", 5, 6, 7, kSteelFields[1]}};

std::string editName(int n) { return "Edit" + std::to_string(n); }
std::string comboName(int n) { return "ComboBox" + std::to_string(n); }
}  // namespace

int TForm1::buildMaterialGroups(QWidget* page, int firstGroup, const char* model,
                                std::span<const MaterialGroup> groups) {
    int x = 8;
    int g = firstGroup;
    int bottom = 0;
    for (const MaterialGroup& gr : groups) {
        const int height = 60 + 30 * int(gr.fields.size());
        auto* box = new QGroupBox(gr.title, page);
        box->setObjectName(QString("GroupBox%1").arg(g++));
        box->setGeometry(x, 8, 280, height);
        makeSwatch(box, gr.shape, 10, 20);
        makeLabel(box, {}, model, 60, 20, 70);
        makeModelCombo(box, gr.combo, 135, 20);
        int y = 52;
        for (const auto& [text, n] : gr.fields) {
            makeLabel(box, {}, text, 10, y, 160);
            makeEdit(box, n, 180, y, 85);
            y += 30;
        }
        makeImage(page, gr.image, 271, 247, x + 4, height + 16);
        bottom = height + 16 + 247;
        x += 296;
    }
    return bottom;
}

void TForm1::buildConcretePage(QWidget* page) {
    const int bottom = buildMaterialGroups(page, 2, "Conc Model", kConcreteGroups);
    makeButton(page, 10, "Refresh", 8, bottom + 13, &TForm1::Button10Click, 90);
}

void TForm1::buildSteelPage(QWidget* page) {
    const int bottom = buildMaterialGroups(page, 5, "Steel Model", kSteelGroups);
    makeButton(page, 11, "Refresh", 8, bottom + 13, &TForm1::Button11Click, 90);
}

void TForm1::buildPmPage(QWidget* page) {
    makeLabel(page, {}, "X Direction PM Curve (Degree=0)", 10, 4, 200);
    Label68 = makeLabel(page, "Label68", "Force = ", 210, 4, 190);
    makeLabel(page, {}, "Y Direction PM Curve (Degree=90)", 410, 4, 200);
    Label69 = makeLabel(page, "Label69", "Force = ", 610, 4, 190);
    ImageBox* i2 = makeImage(page, 2, 388, 391, 10, 26);
    ImageBox* i3 = makeImage(page, 3, 388, 391, 410, 26);
    connect(i2, &ImageBox::mouseMoved, this, &TForm1::Image2MouseMove);
    connect(i3, &ImageBox::mouseMoved, this, &TForm1::Image3MouseMove);

    makeFieldGroup(page, "GroupBox7", "Factors", QRect(10, 424, 250, 80),
                   {{"Strain Limit", 32}, {"Axial Force Division Points", 33}});
    makeFieldGroup(page, "GroupBox8", "Iteration Setting", QRect(270, 424, 230, 108),
                   {{"Outside Steps K", 52}, {"Inside Steps N", 53}, {"Extention Factor", 60}});
    makeLabel(page, {}, "Strain limits at", 10, 512, 90);
    ComboBox8 = new QComboBox(page);
    ComboBox8->setObjectName("ComboBox8");
    for (const std::string& item : ComboBoxItems("ComboBox8")) ComboBox8->addItem(qs(item));
    ComboBox8->setGeometry(100, 510, 160, 21);
    fields_.combos["ComboBox8"] = ComboBox8;

    makeButton(page, 2, "Show PM Curve", 510, 430, &TForm1::Button2Click);
    makeButton(page, 9, "Show Force", 630, 430, &TForm1::Button9Click);
    makeButton(page, 5, "Export Text", 750, 430, &TForm1::Button5Click);
    makeButton(page, 16, "Save PM X-Dir Image", 510, 462, &TForm1::Button16Click, 140);
    makeButton(page, 17, "Save PM Y-Dir Image", 660, 462, &TForm1::Button17Click, 140);
    ProgressBar1 = makeProgressBar(page, "ProgressBar1", QRect(510, 500, 360, 20));
    BuildDesignCodeGroup(page, fields_, 510, 526);
}

void TForm1::buildMmPage(QWidget* page) {
    makeLabel(page, {}, "Axial Force", 10, 6, 70);
    makeEdit(page, 30, 80, 6, 80);
    makeButton(page, 8, "Input Force", 168, 4, &TForm1::Button8Click, 90);
    makeLabel(page, {}, "Ref. PM Curve", 270, 6, 80);
    ComboBox7 = new QComboBox(page);
    ComboBox7->setObjectName("ComboBox7");
    ComboBox7->addItems({"X-Dir PM Curve", "Y-Dir PM Curve"});
    ComboBox7->setGeometry(350, 6, 120, 21);
    fields_.combos["ComboBox7"] = ComboBox7;
    connect(ComboBox7, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox7Change);

    Label74 = makeLabel(page, "Label74", "Force = ", 10, 32, 380);
    Label73 = makeLabel(page, "Label73", "Force  = ", 430, 32, 380);
    ImageBox* i4 = makeImage(page, 4, 388, 391, 10, 54);
    ScrollBar1 = new QScrollBar(Qt::Vertical, page);
    ScrollBar1->setObjectName("ScrollBar1");
    ScrollBar1->setRange(0, 100);
    ScrollBar1->setValue(0);
    ScrollBar1->setGeometry(404, 54, 17, 391);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TForm1::ScrollBar1Change);
    ImageBox* i5 = makeImage(page, 5, 391, 391, 428, 54);
    connect(i4, &ImageBox::mouseMoved, this, &TForm1::Image4MouseMove);
    connect(i5, &ImageBox::mouseMoved, this, &TForm1::Image5MouseMove);

    makeFieldGroup(page, "GroupBox9", "Factors", QRect(10, 452, 250, 108),
                   {{"Strain Limit", 34}, {"Num of MM Curve Points", 35}, {"Axial Force Range", 64}});
    makeFieldGroup(page, "GroupBox13", "Iteration Setting", QRect(270, 452, 230, 108),
                   {{"Outside Step K", 61}, {"Inside Step N", 62}, {"Extention Factor", 63}});

    makeButton(page, 3, "Show PM Curve", 510, 456, &TForm1::Button3Click);
    makeButton(page, 7, "Gen MM Curve", 630, 456, &TForm1::Button7Click);
    makeButton(page, 12, "Show Force", 750, 456, &TForm1::Button12Click);
    makeButton(page, 6, "Export Txt", 510, 488, &TForm1::Button6Click);
    makeButton(page, 14, "Save Image", 630, 488, &TForm1::Button14Click);
    ProgressBar2 = makeProgressBar(page, "ProgressBar2", QRect(510, 524, 360, 20));
}

void TForm1::buildImportPage(QWidget* page) {
    auto* amp = new QGroupBox("Force Amplification", page);
    amp->setObjectName("GroupBox14");
    amp->setGeometry(8, 8, 300, 150);
    makeLabel(amp, {}, "Table Column", 120, 18, 80);
    makeLabel(amp, {}, "Amplifie Factor", 205, 18, 90);
    const std::tuple<const char*, int, int> rows[] = {{"Axial Force(kN)", 54, 57},
                                                      {"Moment Mx(kNm)", 55, 58},
                                                      {"Moment My(kNm)", 56, 59}};
    int y = 40;
    for (const auto& [text, col, factor] : rows) {
        makeLabel(amp, {}, text, 10, y, 105);
        makeEdit(amp, col, 120, y, 70);
        makeEdit(amp, factor, 205, y, 70);
        y += 26;
    }
    makeButton(amp, 13, "Input", 205, 118, &TForm1::Button13Click, 70);

    StringGrid2 = new StringGrid("StringGrid2", 4, 5, page);
    StringGrid2->setGeometry(320, 8, 4 * 64 + 4, 5 * 20 + 4);
    makeButton(page, 4, "Import Force Data(CSV File)", 600, 8, &TForm1::Button4Click, 200);
    makeButton(page, 15, "Data Summary", 600, 40, &TForm1::Button15Click, 200);
    Label66 = makeLabel(page, "Label66", "Number of Import Force Load Comb", 8, 156, 400);
    StringGrid1 = new StringGrid("StringGrid1", 10, 2, page);
    StringGrid1->setGeometry(8, 180, 880, 380);
}

void TForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    auto add = [this](QMenu* m, const QString& name, const QString& text, void (TForm1::*slot)()) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        if (slot) connect(a, &QAction::triggered, this, slot);
        return a;
    };
    QMenu* file = bar->addMenu("File");
    file->setObjectName("File1");
    add(file, "N2", "Open File", &TForm1::N2Click)->setShortcut(QKeySequence::Open);
    add(file, "N3", "Save File", &TForm1::N3Click)->setShortcut(QKeySequence::Save);
    add(file, "SaveAs1", "Save File As...", &TForm1::SaveAs1Click);
    file->addSeparator();
    add(file, "N6", "Quit", &TForm1::N6Click);

    QMenu* sec = bar->addMenu("Section Type");
    sec->setObjectName("N18");
    add(sec, "N19", "Rect Column", &TForm1::N19Click);
    add(sec, "N20", "Circular Column", &TForm1::N20Click);
    add(sec, "N110", "Rect SRC Column Type1", &TForm1::N110Click);
    add(sec, "N21", "Rect SRC Column Type2", &TForm1::N21Click);
    add(sec, "N25", "Circular Steel Tube Column", &TForm1::N25Click);
    add(sec, "N22", "Rect Steel Box Column", &TForm1::N22Click);
    add(sec, "N23", "Circular SRC Column", &TForm1::N23Click);
    add(sec, "N24", "Steel Tube in Rect Column", &TForm1::N24Click);
    add(sec, "N26", "Custom Section", &TForm1::N26Click);
    sec->addSeparator();
    add(sec, "LoadSection1", "Load Section File...", &TForm1::LoadSectionClick);
    add(sec, "ExportSection1", "Export Section File...", &TForm1::ExportSectionClick);

    QMenu* mat = bar->addMenu("Material");
    mat->setObjectName("N12");
    add(mat, "N13", "Concrete", &TForm1::N13Click);
    add(mat, "N14", "Steel", &TForm1::N14Click);

    QMenu* ana = bar->addMenu("Section Analysis");
    ana->setObjectName("N15");
    add(ana, "PM1", "PM Curve Analysis", &TForm1::PM1Click);
    add(ana, "MM1", "MM Curve Analysis", &TForm1::MM1Click);
    add(ana, "PMM3DSurface1", "PMM 3D Surface", &TForm1::PMM3DSurface1Click);
    add(ana, "MPhi1", "M-Phi Curve Analysis", &TForm1::MPhi1Click);
    ana->addSeparator();
    add(ana, "N16", "Import Force", &TForm1::N16Click);
    ana->addSeparator();
    add(ana, "AnalysisReport1", "Analysis Report", &TForm1::AnalysisReport1Click);

    QMenu* help = bar->addMenu("Help");
    help->setObjectName("N8");
    add(help, "N7", "About Program", &TForm1::N7Click);
    help->addSeparator();
    add(help, "N9", "Tutorial", &TForm1::N9Click);
}

void TForm1::buildStatusBar() {
    QStatusBar* sb = statusBar();
    sb->setObjectName("StatusBar1");
    const std::pair<QString, int> panels[] = {
        {"Pillarix", 50}, {"Fiber section solver", 120}, {"Columns, P-M and Mx-My", 50}};
    int i = 0;
    for (const auto& [text, w] : panels) {
        auto* l = new QLabel(text);
        l->setObjectName(QString("StatusPanel%1").arg(++i));
        l->setMinimumWidth(w);
        sb->addWidget(l);
    }
}

void TForm1::fitToScreen(const QRect& available) {
    QMargins frame = kFrameAllowance;
    if (isVisible()) {
        const QRect f = frameGeometry(), g = geometry();
        frame = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
    }
    resize(kWindowSize.boundedTo(available.size().shrunkBy(frame)));
    if (!available.contains(frameGeometry())) move(available.topLeft());
}

void TForm1::showHelp() {
    const int type = ComboBox1->currentIndex() + 1;
    for (const std::string& name : FieldHelpNames())
        if (QWidget* w = findChild<QWidget*>(qs(name))) w->setToolTip(qs(FieldHelp(name, type)));
}

void TForm1::setVisible(const char* name, bool visible) {
    if (QWidget* w = findChild<QWidget*>(name)) w->setVisible(visible);
}

void TForm1::setCaption(const char* name, const QString& text) {
    if (QLabel* l = findChild<QLabel*>(name)) l->setText(text);
}

// ---------------------------------------------------------------- start-up

void TForm1::FormCreate() {
    applySectionType(ComboBox1->currentIndex());
    run([&] { inputSection(); });
    ws_.Colors = MaterialColors::defaults();
    for (int k = 1; k <= 5; ++k) {
        const Rgb c = ws_.Colors.c[k];
        swatches_[k]->setColor(QColor(c.r, c.g, c.b));
    }
    run([&] { showPmCurve(); });
}

void TForm1::runLong(QProgressBar* bar, const std::function<void(LongCommand&)>& f) {
    runLongCommand(*services_, this, [&](LongCommand& lc) {
        Workspace saved = ws_;
        std::map<int, ImageBox::Snapshot> pictures;
        for (const auto& [n, img] : images_) pictures[n] = img->snapshot();
        bar->setValue(0);
        try {
            f(lc);
        } catch (const Cancelled&) {
            ws_ = std::move(saved);
            for (const auto& [n, picture] : pictures) images_[n]->restore(picture);
            bar->setValue(0);
            throw;
        }
    });
}

// ---------------------------------------------------------------- section page

void TForm1::applySectionType(int index) {
    const int type = index + 1;
    struct Captions { const char *l2, *l3, *l4, *l5, *l10, *l11, *l12, *l13; };
    static const Captions caps[8] = {
        {"Sec Width B", "Sec Height H", "Cover as", "X-Dir Rebar", "Y-Dir Rebar", "Corner Rebar", "X-Dir Mesh Num", "Y-Dir Mesh Num"},
        {"Diameter D", " ", "Cover as", "Rebar", " ", " ", "Mesh Num 1", "Mesh Num 2"},
        {"Sec Widht B", "Sec Heigth H", "Cover as", "X-Dir Rebar", "Y-Dir Rebar", "Corner Rebar", "X-Dir Mesh Num", "Y-Dir Mesh Num"},
        {"Sec Width B", "Sec Height H", "Cover as", "X-Dir Rebar", "Y-Dir Rebar", "Corner Rebar", "X-Dir Mesh Num", "Y-Dir Mesh Num"},
        {"Diameter D", " ", "Thickness tw", " ", " ", " ", "Mesh Num 1", "Mesh Num 2"},
        {"Sec Width B", "Sec Height H", "X-Dir Thickness", nullptr, nullptr, nullptr, "X-Dir Mesh Num", "Y-Dir Mesh Num"},
        {"Diameter D", " ", "Cover as", "Rebar", " ", " ", "Mesh Num 1", "Mesh Num 2"},
        {"Sec Width B", "Sec Height H", "Cover as", "X-Dir Rebar", "Y-Dir Rebar", "Coner Rebar", "X-Dir Mesh Num", "Y-Dir Mesh Num"},
    };
    if (type < 1 || type > 9) return;
    const Captions& c = caps[type == 9 ? 0 : type - 1];
    const std::pair<const char*, const char*> labels[] = {
        {"Label2", c.l2}, {"Label3", c.l3}, {"Label4", c.l4}, {"Label5", c.l5},
        {"Label10", c.l10}, {"Label11", c.l11}, {"Label12", c.l12}, {"Label13", c.l13}};
    if (type <= 8)
        for (const auto& [name, text] : labels)
            if (text) setCaption(name, text);
    if (type == 6) setCaption("Label49", "Y-Dir Thickness");
    if (type == 3 || type == 4 || type == 7) {
        setCaption("Label54", "Steel Y-Dir");
        setCaption("Label57", "Flange Mesh Num");
        setCaption("Label56", "Web Mesh Num");
    } else if (type == 8) {
        setCaption("Label54", "Pipe");
        setCaption("Label57", "Pile Mesh Num1");
        setCaption("Label56", "Pile Mesh Num2");
    }

    // Visibility by type: 'S' shown, 'h' hidden, '.' unchanged.
    struct Vis { std::initializer_list<const char*> names; const char* flags; };
    static const Vis vis[] = {
        {{"Edit1", "Edit3", "Edit12", "Edit13"}, "SSSSSSSSh"},
        {{"Edit2"}, "ShSShShSh"},
        {{"Label2", "Label3", "Label4", "Label12", "Label13", "Label82", "Edit70"}, "SSSSSSSSh"},
        {{"Label49", "Edit41"}, "hhhhhShhh"},
        {{"GroupBox11"}, "SSSShhSSh"},
        {{"Label5"}, "SSSSh.SS."},
        {{"Edit5", "Edit6", "Edit7"}, "SSSS..SS."},
        {{"Edit4", "Edit8", "Edit9", "Edit10", "Edit11"}, "ShSS..hS."},
        {{"GroupBox10"}, "hhSShhSSh"},
        {{"Label55", "Edit46", "Edit47", "Edit48", "Edit49"}, "..Sh..Sh."},
        {{"Label51", "Label53", "Edit43", "Edit45"}, "..SS..Sh."},
        {{"Edit42", "Edit44"}, ".......S."},
        {{"LoadSectionButton", "SectionFileLabel", "Label84", "Edit69"}, "hhhhhhhhS"},
    };
    for (const Vis& v : vis) {
        const char f = v.flags[type - 1];
        if (f == '.') continue;
        for (const char* name : v.names) setVisible(name, f == 'S');
    }
    // A drawn section always takes its strain limits on its outline's hull.
    if (ComboBox8) ComboBox8->setEnabled(type != 9);
    showHelp();
}

void TForm1::ComboBox1Change() {
    applySectionType(ComboBox1->currentIndex());
    if (pmmPage_) pmmPage_->inputsChanged();
    // "Custom Section" without a section waits for "Load Section File...".
    if (ComboBox1->currentIndex() == 8 && !fields_.custom) {
        sectionFileName_->setText("No section file loaded");
        return;
    }
    Button1Click();
}

void TForm1::Button1Click() {
    run([&] { inputSection(); });
}

// Reads the Section page into a copy, checks it and only then stores it, so
// a refused size leaves the record, fibers, picture and figures as they were.
// A text that does not convert keeps the values read before it.
void TForm1::readSection() {
    SectionInput in = ws_.Input;
    try {
        ReadSectionInput(fields_, in);
    } catch (...) {
        ws_.Input = in;
        throw;
    }
    CheckSectionInput(in);
    CheckMeshInput(in);
    ws_.Input = in;
}

void TForm1::inputSection() {
    readSection();
    BuildFiberTable(ws_.Input, ws_.Fibers);
    AssignFiberMaterials(fields_, ws_.Fibers);
    drawSection();
    showSectionInfo();
}

void TForm1::drawSection() {
    ImageBox* img = images_[1];
    try {
        img->paint(
            [&](QPainter& p, int W, int H) { DrawSection(p, W, H, ws_.Input, ws_.Fibers, ws_.Colors, kCredit); });
    } catch (...) {
        img->refresh();
        throw;
    }
    img->refresh();
}

void TForm1::showSectionInfo() {
    const SectionInfoTexts t = FormatSectionInfo(ComputeSectionInfo(ws_.Input, ws_.Fibers));
    edit(36)->setText(qs(t.Edit36));
    edit(31)->setText(qs(t.Edit31));
    edit(37)->setText(qs(t.Edit37));
    edit(38)->setText(qs(t.Edit38));
    edit(39)->setText(qs(t.Edit39));
    edit(40)->setText(qs(t.Edit40));
    centroid_->setText(qs(t.Centroid));
    centroid_->setToolTip(centroid_->text());
    sectionFileName_->setText(fields_.custom ? qs("File: " + fields_.custom->Name) : QString("No section file loaded"));
    sectionWarnings_->setText(qs(SectionWarningsText(ws_.Input, ws_.Fibers)));
}

// ---------------------------------------------------------------- P-M page

void TForm1::Button2Click() {
    runLong(ProgressBar1, [&](LongCommand& lc) { showPmCurve(&lc); });
}

void TForm1::showPmCurve(LongCommand* lc) {
    readSection();
    BuildFiberTable(ws_.Input, ws_.Fibers);
    drawSection();
    AssignFiberMaterials(fields_, ws_.Fibers);
    CheckFiberMaterials(ws_.Fibers);
    const PmSettings settings = ReadPmSettings(fields_);
    CheckPmSettings(settings);
    const codes::CodeSection code = codes::SectionCodeOf(fields_, ws_.Input, ws_.Fibers);
    FiberTable coded;
    FiberTable& solved = codes::SolverTable(ws_.Fibers, code, coded);
    ComputeAxialBounds(ws_.Fibers, ws_.PMax, ws_.PMin);  // the other pages' capacities: the fields' laws
    double PMax = ws_.PMax, PMin = ws_.PMin;
    if (&solved != &ws_.Fibers) ComputeAxialBounds(solved, PMax, PMin);
    const Progress progress =
        lc ? lc->progress(ProgressBar1) : Progress([this](int v) { ProgressBar1->setValue(v); });
    const SolveOptions options = lc ? lc->options() : SolveOptions{};
    auto draw = [&](double angle) -> ImageBox::Painting {
        if (code.rules == codes::CodeRules::None) {
            return [&, angle](QPainter& p, int W, int H) { DrawPMCurve(p, W, H, ws_.PM, angle, ws_.PMScale); };
        }
        return [&, angle](QPainter& p, int W, int H) {
            DrawDesignPMCurve(p, W, H, ws_.PM, ws_.Design, ws_.Code, angle, ws_.PMScale);
        };
    };
    ws_.Code = code;
    SolvePM(solved, ws_.Input.B, ws_.Input.H, settings, 0, PMin, PMax, ws_.PM, progress,
            options);
    ws_.Design = codes::MakeDesignCurve(ws_.PM, code);
    images_[2]->paint(draw(0));
    images_[2]->refresh();
    SolvePM(solved, ws_.Input.B, ws_.Input.H, settings, 90, PMin, PMax, ws_.PM, progress,
            options);
    ws_.Design = codes::MakeDesignCurve(ws_.PM, code);
    images_[3]->paint(draw(90));
    images_[3]->refresh();
}

void TForm1::Image2MouseMove(int x, int y) {
    Label68->setText(qs(Label68Text(ReadPM(ws_.PMScale.X, x, y, kPMImageWidth, kPMImageHeight))));
}

void TForm1::Image3MouseMove(int x, int y) {
    Label69->setText(qs(Label69Text(ReadPM(ws_.PMScale.Y, x, y, kPMImageWidth, kPMImageHeight))));
}

void TForm1::Button9Click() {
    run([&] {
        images_[2]->paint([&](QPainter& p, int W, int H) {
            DrawForcesOnPM(p, W, H, 0, ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy,
                           ws_.PMScale.X, ws_.PM.bothWays());
        });
        images_[2]->refresh();
        images_[3]->paint([&](QPainter& p, int W, int H) {
            DrawForcesOnPM(p, W, H, 90, ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy,
                           ws_.PMScale.Y, ws_.PM.bothWays());
        });
        images_[3]->refresh();
    });
}

void TForm1::Button5Click() {
    run([&] {
        std::vector<std::string> lines = FillPMText(ws_.PM);
        codes::AppendDesignText(lines, ws_.PM, ws_.Design, ws_.Code);
        form2_->showLines(lines);
    });
}

void TForm1::Button16Click() {
    run([&] { savePicture(images_[2]); });
}

void TForm1::Button17Click() {
    run([&] { savePicture(images_[3]); });
}

void TForm1::Button14Click() {
    run([&] { savePicture(images_[5]); });
}

void TForm1::savePicture(ImageBox* box) {
    pictureSaver_->save(*services_, this, box->image(), box->drawn());
}

// ---------------------------------------------------------------- Mx-My page

void TForm1::Button7Click() {
    runLong(ProgressBar2, [&](LongCommand& lc) { genMmCurve(&lc); });
}

void TForm1::genMmCurve(LongCommand* lc) {
    readSection();
    BuildFiberTable(ws_.Input, ws_.Fibers);
    AssignFiberMaterials(fields_, ws_.Fibers);
    CheckFiberMaterials(ws_.Fibers);
    const MmSettings settings = ReadMmSettings(fields_);
    CheckMmSettings(settings);
    const double axialBefore = ws_.MMAxialForce;
    ws_.MMAxialForce = settings.axialForce;
    MMCurve curve = ws_.MM;
    try {
        SolveMMCurve(ws_.Fibers, ws_.Input.B, ws_.Input.H, settings, curve,
                     lc ? lc->progress(ProgressBar2) : Progress([this](int v) { ProgressBar2->setValue(v); }),
                     lc ? lc->options() : SolveOptions{});
    } catch (const AxialForceOutOfReach&) {
        ws_.MMAxialForce = axialBefore;  // a force no state carries changes nothing
        throw;
    }
    // The count and the curve change together, so the export never reads
    // past the curve.
    ws_.MM = std::move(curve);
    ws_.MMPointCount = settings.points;
    images_[5]->paint(
        [&](QPainter& p, int W, int H) { DrawMMCurve(p, W, H, ws_.MM, ws_.MMPointCount, ws_.MMScale); });
    images_[5]->refresh();
    drawForcesOnMm();
}

void TForm1::drawForcesOnMm() {
    const double r = StrToFloat(fields_.text("Edit64"));
    images_[5]->paint([&](QPainter& p, int W, int H) {
        DrawForcesOnMM(p, W, H, ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy, ws_.MMScale,
                       ws_.MMAxialForce, r);
    });
    images_[5]->refresh();
}

void TForm1::Button3Click() {
    run([&] { showReferencePm(); });
}

void TForm1::showReferencePm() {
    const bool y = ComboBox7->currentIndex() == 1;
    images_[4]->copyFrom(*images_[y ? 3 : 2]);
    ws_.MMAxialForce = StrToFloat(fields_.text("Edit30"));
    images_[4]->paint([&](QPainter& p, int W, int H) {
        DrawAxialForceLine(p, W, H, y ? ws_.PMScale.Y : ws_.PMScale.X, ws_.MMAxialForce);
    });
    images_[4]->refresh();
}

void TForm1::Button8Click() {
    run([&] {
        ws_.MMAxialForce = StrToFloat(fields_.text("Edit30"));
        showReferencePm();
    });
}

void TForm1::ScrollBar1Change() {
    run([&] {
        ws_.MMAxialForce = MMAxialForceFromSlider(ws_.PMax, ws_.PMin, ScrollBar1->value());
        edit(30)->setText(qs(Edit30Text(ws_.MMAxialForce)));
        showReferencePm();
    });
}

void TForm1::ComboBox7Change() {
    const bool y = ComboBox7->currentIndex() == 1;
    images_[4]->copyFrom(*images_[y ? 3 : 2]);
}

void TForm1::Image4MouseMove(int x, int y) {
    const PMPlotScaleSet& s = ComboBox7->currentIndex() == 1 ? ws_.PMScale.Y : ws_.PMScale.X;
    Label74->setText(qs(Label74Text(ReadPM(s, x, y, kPMImageWidth, kPMImageHeight))));
}

void TForm1::Image5MouseMove(int x, int y) {
    Label73->setText(qs(Label73Text(ReadMM(ws_.MMScale, x, y, kMMImageWidth, kMMImageHeight))));
}

void TForm1::Button12Click() {
    run([&] {
        drawForcesOnMm();
        const bool y = ComboBox7->currentIndex() == 1;
        images_[4]->paint([&](QPainter& p, int W, int H) {
            DrawForcesOnPM(p, W, H, y ? 90 : 0, ws_.Loads, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy,
                           y ? ws_.PMScale.Y : ws_.PMScale.X, ws_.PM.bothWays());
        });
        images_[4]->refresh();
    });
}

void TForm1::Button6Click() {
    run([&] {
        form2_->showLines(FillMMText(ws_.MMPointCount, ws_.MMAxialForce, ws_.MM));
    });
}

// ---------------------------------------------------------------- material pages

void TForm1::Button10Click() {
    run([&] {
        // Values the descending law cannot use are refused before any chart
        // changes; a text that does not convert stops at its own chart below.
        for (const MaterialGroup& g : kConcreteGroups) {
            const int model = fields_.itemIndex(comboName(g.combo)) + 1;
            if (model != 2) continue;
            double v[4];
            try {
                for (int k = 0; k < 4; ++k) v[k] = StrToFloat(fields_.text(editName(g.fields[k].edit)));
            } catch (const AppError&) {
                continue;
            }
            CheckConcreteLaw(g.title, model, v[0], v[1], v[2], v[3]);
        }
        for (const MaterialGroup& g : kConcreteGroups) {
            const int model = fields_.itemIndex(comboName(g.combo)) + 1;
            const double fc = StrToFloat(fields_.text(editName(g.fields[0].edit)));
            const double e0 = StrToFloat(fields_.text(editName(g.fields[1].edit)));
            const double fcu = StrToFloat(fields_.text(editName(g.fields[2].edit)));
            const double ecu = StrToFloat(fields_.text(editName(g.fields[3].edit)));
            images_[g.image]->paint(
                [&](QPainter& p, int W, int H) { DrawConcreteCurve(p, W, H, model, fc, fcu, e0, ecu); });
            images_[g.image]->refresh();
        }
    });
}

void TForm1::Button11Click() {
    run([&] {
        // A modulus the law cannot use is refused before either chart changes;
        // a text that does not convert stops at its own chart below.
        for (const MaterialGroup& g : kSteelGroups) {
            const std::string text = fields_.text(editName(g.fields[0].edit));
            double es = 0;
            try {
                es = StrToFloat(text);
            } catch (const AppError&) {
                continue;
            }
            CheckSteelModulus(g.title, es);
        }
        for (const MaterialGroup& g : kSteelGroups) {
            const int model = fields_.itemIndex(comboName(g.combo)) + 1;
            const double es = StrToFloat(fields_.text(editName(g.fields[0].edit)));
            const double fy = StrToFloat(fields_.text(editName(g.fields[1].edit)));
            images_[g.image]->paint([&](QPainter& p, int W, int H) { DrawSteelCurve(p, W, H, model, fy, es); });
            images_[g.image]->refresh();
        }
    });
}

// ---------------------------------------------------------------- import page

void TForm1::Button4Click() {
    run([&] {
        const QString path = services_->openFile(this, "Import Force Data(CSV File)");
        if (path.isEmpty()) return;
        importForces(path);
    });
}

void TForm1::importForces(const QString& path) {
    ReadImportSettings(fields_, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy, ws_.ForceColumnP,
                       ws_.ForceColumnMx, ws_.ForceColumnMy);
    ForceImport result = ImportForcesFromFile(QFile::encodeName(path).toStdString(), ws_.ForceColumnP,
                                              ws_.ForceColumnMx, ws_.ForceColumnMy);
    // Everything converted: only now does the window change.
    StringGrid1->grid()->setUtf8Rows(result.GridRows, 2);
    ws_.Loads = std::move(result.Table);
    Label66->setText(qs(result.CountLine));
    dataSummary();
    project_->forcesImported(path);
    if (pmmPage_) pmmPage_->inputsChanged();
}

void TForm1::Button13Click() {
    project_->markModified();
    run([&] {
        ReadForceFactors(fields_, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy);
        pmmPage_->inputsChanged();
    });
}

void TForm1::Button15Click() {
    run([&] { dataSummary(); });
}

void TForm1::dataSummary() {
    StringGrid2->grid()->setUtf8Rows(DataSummary(ws_.Loads).Cells, 5);
}

// ---------------------------------------------------------------- pages and menus

void TForm1::PageControl1Change() {
    // With the live check on, a bad field met by the page's own command is
    // reported as the live check reports it: in the status bar, no box.
    struct Quiet {
        ErrorRouting& r;
        bool was;
        ~Quiet() { r.toStatusBar = was; }
    } quiet{*routing_, routing_->toStatusBar};
    if (pmmPage_ && pmmPage_->live()) routing_->toStatusBar = true;
    switch (PageControl1->currentIndex()) {
        case 0: Button1Click(); break;
        case 1: Button10Click(); break;
        case 2: Button11Click(); break;
        case 3: Button2Click(); break;
        case 4:
            Button3Click();
            Button7Click();
            break;
        case 6: pmmPage_->pageShown(); break;
        case 7: mphiPage_->pageShown(); break;
        default: break;
    }
}

void TForm1::selectPage(int index) {
    {
        const QSignalBlocker block(PageControl1);
        PageControl1->setCurrentIndex(index);
    }
    PageControl1Change();
}

void TForm1::selectSectionType(int index) {
    {
        const QSignalBlocker block(PageControl1);
        PageControl1->setCurrentIndex(0);
    }
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(index);
    }
    ComboBox1Change();
}

void TForm1::N19Click() { selectSectionType(0); }
void TForm1::N20Click() { selectSectionType(1); }
void TForm1::N110Click() { selectSectionType(2); }
void TForm1::N21Click() { selectSectionType(3); }
void TForm1::N25Click() { selectSectionType(4); }
void TForm1::N22Click() { selectSectionType(5); }
void TForm1::N23Click() { selectSectionType(6); }
void TForm1::N24Click() { selectSectionType(7); }
void TForm1::N26Click() { selectSectionType(8); }
void TForm1::N13Click() { selectPage(1); }
void TForm1::N14Click() { selectPage(2); }
void TForm1::PM1Click() { selectPage(3); }
void TForm1::MM1Click() { selectPage(4); }
void TForm1::PMM3DSurface1Click() { selectPage(6); }
void TForm1::MPhi1Click() { selectPage(7); }
void TForm1::N16Click() { selectPage(5); }
void TForm1::N6Click() { close(); }
void TForm1::N2Click() { project_->open(); }
void TForm1::N3Click() { project_->save(); }
void TForm1::SaveAs1Click() { project_->saveAs(); }

void TForm1::closeEvent(QCloseEvent* e) {
    if (project_->maybeSave()) e->accept();
    else e->ignore();
}

void TForm1::N7Click() {
    form3_->show();
    form3_->raise();
}

void TForm1::AnalysisReport1Click() {
    // The report takes its captions from the panel of the chosen type.
    applySectionType(ComboBox1->currentIndex());
    // A check of other inputs than the current ones is left out of it.
    if (pmmPage_) pmmPage_->inputsChanged();
    run([&] { SaveAnalysisReport(*services_, this, {this, &fields_, &ws_}); });
}

void TForm1::N9Click() { OpenPage(*services_, this, TutorialUrl()); }
void TForm1::Image11Click() { OpenPage(*services_, this, ProductUrl()); }

void TForm1::pickColor(int k) {
    const Rgb c = ws_.Colors.c[k];
    const auto chosen = services_->chooseColor(this, QColor(c.r, c.g, c.b));
    if (!chosen) return;
    ws_.Colors.c[k] = {chosen->red(), chosen->green(), chosen->blue()};
    swatches_[k]->setColor(*chosen);
    project_->markModified();
}

void TForm1::Shape1MouseDown() { pickColor(1); }
void TForm1::Shape2MouseDown() { pickColor(2); }
void TForm1::Shape3MouseDown() { pickColor(3); }
void TForm1::Shape4MouseDown() { pickColor(4); }
void TForm1::Shape5MouseDown() { pickColor(5); }

// ---------------------------------------------------------------- custom section

void TForm1::loadCustomSection(std::shared_ptr<const geom::LoadedSection> section, bool fillMeshSize) {
    // Everything the load may touch, put back if the section cannot be meshed.
    const Workspace saved = ws_;
    const auto savedCustom = fields_.custom;
    const int savedType = ComboBox1->currentIndex();
    const QString savedMesh = edit(69)->text();
    const ImageBox::Snapshot picture = images_[1]->snapshot();
    const QString info[] = {edit(36)->text(), edit(31)->text(), edit(37)->text(), edit(38)->text(),
                            edit(39)->text(), edit(40)->text(), centroid_->text(), sectionWarnings_->text(),
                            sectionFileName_->text()};
    try {
        fields_.custom = section;
        if (fillMeshSize) edit(69)->setText(qs(MeshSizeText(DefaultMeshSize(section->Section))));
        {
            const QSignalBlocker block(ComboBox1);
            ComboBox1->setCurrentIndex(8);
        }
        applySectionType(8);
        inputSection();
    } catch (...) {
        ws_ = saved;
        fields_.custom = savedCustom;
        edit(69)->setText(savedMesh);
        {
            const QSignalBlocker block(ComboBox1);
            ComboBox1->setCurrentIndex(savedType);
        }
        applySectionType(savedType);
        images_[1]->restore(picture);
        QLineEdit* infoEdits[] = {edit(36), edit(31), edit(37), edit(38), edit(39), edit(40)};
        for (int k = 0; k < 6; ++k) infoEdits[k]->setText(info[k]);
        centroid_->setText(info[6]);
        centroid_->setToolTip(info[6]);
        sectionWarnings_->setText(info[7]);
        sectionFileName_->setText(info[8]);
        throw;
    }
    if (pmmPage_) pmmPage_->inputsChanged();
    project_->markModified();
}

void TForm1::LoadSectionClick() {
    run([&] {
        const QString path = services_->openFileOfType(
            this, "Load Section File",
            "Section files (*.txt *.sec);;DXF drawings (*.dxf);;All files (*)");
        if (path.isEmpty()) return;
        loadCustomSection(geom::LoadSectionFile(LocalPath(path)));
    });
}

void TForm1::ExportSectionClick() {
    run([&] {
        // The section as the Section page describes it now, checked first.
        SectionInput in = ws_.Input;
        ReadSectionInput(fields_, in);
        CheckSectionInput(in);
        CheckMeshInput(in);
        const std::string text = ExportSectionFile(in);
        const QString path =
            services_->saveFile(this, "Export Section File", "Section files (*.sec *.txt);;All files (*)", "sec",
                                in.Custom && in.SectionType == 9 ? QString("custom.sec") : QString("section.sec"));
        if (path.isEmpty()) return;
        ReplaceFile(path, text, FileWording(path));
    });
}

}  // namespace px
