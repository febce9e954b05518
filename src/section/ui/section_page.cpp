#include "section/ui/section_page.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <initializer_list>

#include "common/file_replace.h"
#include "common/ui/file_write.h"
#include "common/ui/image_box.h"
#include "common/ui/jpeg_logo.h"
#include "common/ui/long_command.h"
#include "common/ui/platform.h"
#include "input/error.h"
#include "input/field_help.h"
#include "input/section_input.h"
#include "input/ui/form_fields.h"
#include "section/mesh.h"
#include "section/mesh_custom.h"
#include "section/section_export.h"
#include "section/section_info.h"
#include "section/section_warnings.h"
#include "section/ui/custom_controls.h"
#include "section/ui/section_drawing.h"
#include "workspace/workspace.h"

namespace px {

namespace {
const QString kCredit = "Fiber section analysis of columns";
QString qs(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

SectionPage::SectionPage(QWidget* page, PageBuilder& build, Workspace& ws, PlatformServices& services,
                         QWidget* window)
    : QObject(window), ws_(ws), fields_(build.fields), services_(services), window_(window), page_(page) {
    build.label(page, "Label1", "Sec Type", 10, 10, 60);
    type_ = build.combo(page, 1, QRect(70, 10, 200, 21));
    connect(type_, &QComboBox::currentIndexChanged, this, &SectionPage::typeChanged);

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
        build.label(props, r.label, r.text, 10, y, 150);
        build.edit(props, r.edit, 170, y, 80);
        y += 24;
    }
    setVisible("Label49", false);
    setVisible("Edit41", false);
    // "Custom Section" in the places of the template's rows.
    QPushButton* load = build.button(props, 0, "Load Section File...", 10, 20, 150);
    load->setObjectName("LoadSectionButton");
    connect(load, &QPushButton::clicked, this, &SectionPage::loadSectionFile);
    fileName_ = build.label(props, "SectionFileLabel", QString(), 10, 46, 250);
    build.label(props, "Label84", "Mesh Size (mm)", 10, 70, 150);
    build.edit(props, 69, 170, 70, 80);
    for (const char* name : {"LoadSectionButton", "SectionFileLabel", "Label84", "Edit69"}) setVisible(name, false);

    // A caption and its fields side by side, `step` apart from `x`; a 0 leaves
    // a field's place empty.
    struct FieldRow { const char* label; const char* text; int y; std::initializer_list<int> edits; };
    auto addRows = [&build](QGroupBox* box, std::initializer_list<FieldRow> rows, int x, int step, int w) {
        for (const FieldRow& r : rows) {
            build.label(box, r.label, r.text, 10, r.y, 95);
            int at = x;
            for (const int n : r.edits) {
                if (n) build.edit(box, n, at, r.y, w);
                at += step;
            }
        }
    };

    auto* bars = new QGroupBox("Reinforcement Properties", page);
    bars->setObjectName("GroupBox11");
    bars->setGeometry(10, 236, 270, 118);
    build.label(bars, "Label6", "Row", 110, 16, 40);
    build.label(bars, "Label7", "Num", 160, 16, 40);
    build.label(bars, "Label8", "Diameter", 210, 16, 55);
    addRows(bars,
            {{"Label5", "Rebar in Xdir", 38, {5, 6, 7}},
             {"Label10", "Rebar in Ydir", 62, {4, 8, 9}},
             {"Label11", "Corner Rebar", 86, {0, 10, 11}}},
            110, 50, 45);

    auto* steel = new QGroupBox("Steel H Section or Pipe ", page);
    steel->setObjectName("GroupBox10");
    steel->setGeometry(10, 358, 270, 196);
    build.label(steel, "Label54", "Steel Y-Dir", 110, 16, 70);
    build.label(steel, "Label55", "Steel X-Dir", 190, 16, 70);
    addRows(steel,
            {{"Label50", "Sec Height H", 38, {42, 46}},
             {"Label51", "Sec Width B", 62, {43, 47}},
             {"Label52", "Flange Thick tf", 86, {44, 48}},
             {"Label53", "Web Thick tw", 110, {45, 49}},
             {"Label57", "Flange Mesh Num", 140, {50}},
             {"Label56", "Web Mesh Num", 164, {51}}},
            110, 80, 70);
    steel->setVisible(false);

    picture_ = build.image(page, 1, 607, 447, 290, 8);

    auto* info = new QGroupBox("Section Information", page);
    info->setObjectName("GroupBox12");
    info->setGeometry(290, 460, 400, 80);
    struct InfoRow { const char* label; const char* text; int edit; int x; int y; };
    const InfoRow infos[] = {{"Label58", "Gross Area", 36, 5, 18},  {"Label59", "Conc Area", 31, 5, 44},
                             {"Label60", "Rebar Area", 37, 140, 18}, {"Label61", "Ratio(%)", 39, 140, 44},
                             {"Label62", "Steel Area", 38, 270, 18}, {"Label63", "Ratio(%)", 40, 270, 44}};
    for (const InfoRow& r : infos) {
        build.label(info, r.label, r.text, r.x, r.y, 58);
        QLineEdit* e = build.edit(info, r.edit, r.x + 60, r.y, 66);
        e->setReadOnly(true);
        e->setStyleSheet("background-color: rgb(166, 202, 240);");
    }

    // Where the section model is not safe: empty unless "Input Section" finds a warning.
    warnings_ = build.label(page, "SectionWarnings", QString(), 290, 542, 400);
    warnings_->setGeometry(290, 542, 400, 56);
    warnings_->setWordWrap(true);
    warnings_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    warnings_->setStyleSheet("color: rgb(192, 0, 0);");

    QPushButton* input = build.button(page, 1, "Input Section", 700, 468);
    connect(input, &QPushButton::clicked, this, &SectionPage::inputClicked);
    // Beside "Input Section": moves while the section is meshed and drawn.
    progress_ = build.progressBar(page, "ProgressBar5", QRect(815, 471, 82, 18));
    progress_->setTextVisible(false);
    // Below the logo; the page has room for two lines, so the whole text
    // (with the pure-axial points of a section that is not point-symmetric)
    // is also the label's tooltip.
    centroid_ = build.label(page, "CentroidLabel", QString(), 700, 566, 190);
    centroid_->setGeometry(700, 566, 197, 32);
    centroid_->setWordWrap(true);
    centroid_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    ImageBox* logo = build.image(page, 11, 199, 63, 698, 500);
    logo->setCursor(Qt::PointingHandCursor);
    const QImage full = LoadLogo();
    logo->setPicture(full.scaled(199, 63), full);
    connect(logo, &ImageBox::clicked, this, &SectionPage::logoClicked);
}

void SectionPage::setVisible(const char* name, bool visible) {
    if (QWidget* w = page_->findChild<QWidget*>(name)) w->setVisible(visible);
}

void SectionPage::setCaption(const char* name, const QString& text) {
    if (QLabel* l = page_->findChild<QLabel*>(name)) l->setText(text);
}

void SectionPage::showHelp() {
    const int type = type_->currentIndex() + 1;
    for (const std::string& name : FieldHelpNames())
        if (QWidget* w = window_->findChild<QWidget*>(qs(name))) w->setToolTip(qs(FieldHelp(name, type)));
}

void SectionPage::setTypeQuietly(int index) {
    const QSignalBlocker block(type_);
    type_->setCurrentIndex(index);
}

void SectionPage::applySectionType(int index) {
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
    auto strainLimits = fields_.combos.find("ComboBox8");
    if (strainLimits != fields_.combos.end()) ShowStrainLimitsAt(*strainLimits->second, type == 9);
    showHelp();
}

void SectionPage::typeChanged() {
    applySectionType(type_->currentIndex());
    emit sectionChanged();
    // "Custom Section" without a section waits for "Load Section File...".
    if (type_->currentIndex() == 8 && !fields_.custom) {
        fileName_->setText("No section file loaded");
        return;
    }
    inputClicked();
}

void SectionPage::inputClicked() {
    runLongCommand(services_, window_, [&](LongCommand&) { inputSection(); });
}

template <class F>
void SectionPage::inCommand(F&& f) {
    if (LongCommand* lc = LongCommand::current()) {
        f(*lc);
        return;
    }
    LongCommand lc(window_);
    f(lc);
}

void SectionPage::readSection() {
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

void SectionPage::inputSection() {
    const SectionInput before = ws_.Input;
    readSection();
    try {
        meshAndDraw();
    } catch (const Cancelled&) {
        ws_.Input = before;  // the record of the fibers kept
        throw;
    }
}

void SectionPage::meshAndDraw(bool showInfo, bool draw) {
    inCommand([&](LongCommand& lc) {
        const SectionInput in = ws_.Input;
        const MapFields fields = fields_.snapshot();
        const MaterialColors colors = ws_.Colors;
        const std::atomic<bool>* cancel = lc.options().cancel;
        FiberTable fibers;
        ImageBox::Snapshot picture = draw ? picture_->draft() : ImageBox::Snapshot{};
        SectionInfoTexts info;
        std::string warnings;
        progress_->setRange(0, 0);  // busy: the mesher cannot say how far it is
        struct Idle {
            QProgressBar* bar;
            ~Idle() { bar->setRange(0, 100), bar->setValue(0); }
        } idle{progress_};
        RunOffThread([&] {
            const MeshCancelScope scope(cancel);
            BuildFiberTable(in, fibers);
            AssignFiberMaterials(fields, fibers);
            if (cancel && cancel->load()) throw Cancelled();
            if (draw)
                ImageBox::paintOn(picture, [&](QPainter& p, int W, int H) {
                    DrawSection(p, W, H, in, fibers, colors, kCredit);
                });
            if (!showInfo) return;
            info = FormatSectionInfo(ComputeSectionInfo(in, fibers));
            warnings = SectionWarningsText(in, fibers);
        });
        if (lc.cancelled()) throw Cancelled();
        ws_.Fibers = std::move(fibers);
        if (draw) picture_->show(picture);
        if (!showInfo) return;
        QLineEdit* edits[] = {fields_.edit(36), fields_.edit(31), fields_.edit(37),
                              fields_.edit(38), fields_.edit(39), fields_.edit(40)};
        const std::string* texts[] = {&info.Edit36, &info.Edit31, &info.Edit37,
                                      &info.Edit38, &info.Edit39, &info.Edit40};
        for (int k = 0; k < 6; ++k) edits[k]->setText(qs(*texts[k]));
        centroid_->setText(qs(info.Centroid));
        centroid_->setToolTip(centroid_->text());
        warnings_->setText(qs(warnings));
        showSectionInfo();
    });
}

void SectionPage::showSectionInfo() {
    fileName_->setText(fields_.custom ? qs("File: " + fields_.custom->Name) : QString("No section file loaded"));
}

void SectionPage::loadCustomSection(std::shared_ptr<const geom::LoadedSection> section, bool fillMeshSize) {
    // Everything the load may touch, put back if the section cannot be meshed.
    const SectionInput savedInput = ws_.Input;
    const auto savedCustom = fields_.custom;
    const int savedType = type_->currentIndex();
    const QString savedMesh = fields_.edit(69)->text();
    const QString savedFile = fileName_->text();
    try {
        fields_.custom = section;
        if (fillMeshSize) fields_.edit(69)->setText(qs(MeshSizeText(DefaultMeshSize(section->Section))));
        setTypeQuietly(8);
        applySectionType(8);
        inputSection();
    } catch (...) {
        ws_.Input = savedInput;
        fields_.custom = savedCustom;
        fields_.edit(69)->setText(savedMesh);
        setTypeQuietly(savedType);
        applySectionType(savedType);
        fileName_->setText(savedFile);
        throw;
    }
    emit sectionChanged();
    emit modified();
}

void SectionPage::loadSectionFile() {
    if (LongCommand::active()) return;
    // The dialog before the command: a running command takes no clicks.
    QString path;
    runCommand(services_, window_, [&] {
        path = services_.openFileOfType(window_, "Load Section File", kLoadSectionFilter);
    });
    if (path.isEmpty()) return;
    runLongCommand(services_, window_, [&](LongCommand& lc) {
        const std::string local = LocalPath(path);
        std::shared_ptr<const geom::LoadedSection> section;
        progress_->setRange(0, 0);
        struct Idle {
            QProgressBar* bar;
            ~Idle() { bar->setRange(0, 100), bar->setValue(0); }
        } idle{progress_};
        RunOffThread([&] { section = geom::LoadSectionFile(local); });
        if (lc.cancelled()) throw Cancelled();
        loadCustomSection(std::move(section));
    });
}

void SectionPage::exportSectionFile() {
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        // The section as the page describes it now, checked first.
        SectionInput in = ws_.Input;
        ReadSectionInput(fields_, in);
        CheckSectionInput(in);
        CheckMeshInput(in);
        const std::string text = ExportSectionFile(in);
        const QString path =
            services_.saveFile(window_, "Export Section File", "Section files (*.sec *.txt);;All files (*)", "sec",
                               in.Custom && in.SectionType == 9 ? QString("custom.sec") : QString("section.sec"));
        if (path.isEmpty()) return;
        ReplaceFile(path, text, FileWording(path));
    });
}

}  // namespace px
