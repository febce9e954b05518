#include "app/ui/tform1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>

#include "check/ui/pmm_page.h"
#include "check/ui/surface_view.h"
#include "common/ui/links.h"
#include "common/ui/page_zoom.h"
#include "common/version.h"
#include "curvature/ui/mphi_page.h"
#include "loads/ui/import_page.h"
#include "material/ui/material_pages.h"
#include "output/ui/picture_export.h"
#include "output/ui/tform2.h"
#include "output/ui/tform3.h"
#include "plot/ui/mm_page.h"
#include "plot/ui/pm_page.h"
#include "project/ui/project_controller.h"
#include "report/ui/report_writer.h"
#include "section/ui/section_page.h"

namespace px {

namespace {
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
    setWindowTitle(kProgramTitle);
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
    pictureSaver_ = std::make_unique<PictureSaveDialog>();
    const auto showText = [this](const std::vector<std::string>& lines) { form2_->showLines(lines); };
    PageBuilder build(fields_, images_);
    sectionPage_ = new SectionPage(pg[0], build, ws_, *services_, this);
    materials_ = new MaterialPages(pg[1], pg[2], build, ws_, *services_, this);
    pmPage_ = new PmPage(pg[3], build, ws_, *services_, *pictureSaver_, *sectionPage_, showText, this);
    mmPage_ = new MmPage(pg[4], build, ws_, *services_, *pictureSaver_, *sectionPage_, *pmPage_, showText, this);
    importPage_ = new ImportPage(pg[5], build, ws_, *services_, this);
    buildMenus();
    buildStatusBar();
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);

    pmmPage_ = new PmmPage(pg[6], ws_, fields_, *services_, *pictureSaver_, this);
    images_[12] = pmmPage_->picture();
    mphiPage_ = new MphiPage(pg[7], ws_, fields_, *services_, *pictureSaver_, showText, this);
    images_[13] = mphiPage_->picture();
    QSize design(0, 0);
    for (QWidget* page : pg) {
        page->setMinimumSize(PageExtent(page));
        design = design.expandedTo(PageExtent(page));
    }
    for (QWidget* page : pg) new PageZoom(page, design);

    // The pages' news: a changed section or force table makes the 3D page's
    // results stale and the project modified.
    connect(sectionPage_, &SectionPage::sectionChanged, pmmPage_, &PmmPage::inputsChanged);
    connect(sectionPage_, &SectionPage::logoClicked, this, &TForm1::Image11Click);
    connect(importPage_, &ImportPage::forcesChanged, pmmPage_, &PmmPage::inputsChanged);
    connect(materials_, &MaterialPages::swatchPressed, this, [this](int k) {
        static void (TForm1::*const handlers[])() = {nullptr, &TForm1::Shape1MouseDown, &TForm1::Shape2MouseDown,
                                                     &TForm1::Shape3MouseDown, &TForm1::Shape4MouseDown,
                                                     &TForm1::Shape5MouseDown};
        (this->*handlers[k])();
    });
    sectionPage_->showHelp();
    form2_ = std::make_unique<TForm2>(*services_);
    form3_ = std::make_unique<TForm3>(*services_);
    if (runCreate) FormCreate();
    project_ = new ProjectController(*this);
    connect(sectionPage_, &SectionPage::modified, project_, &ProjectController::markModified);
    connect(materials_, &MaterialPages::modified, project_, &ProjectController::markModified);
    connect(importPage_, &ImportPage::modified, project_, &ProjectController::markModified);
    connect(importPage_, &ImportPage::imported, project_, &ProjectController::forcesImported);
}

TForm1::~TForm1() = default;

QLineEdit* TForm1::edit(int n) const { return fields_.edit(n); }

ImageBox* TForm1::imageBox(int n) const {
    auto it = images_.find(n);
    return it == images_.end() ? nullptr : it->second;
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

// ---------------------------------------------------------------- start-up

void TForm1::FormCreate() {
    sectionPage_->applySectionType(sectionPage_->typeBox()->currentIndex());
    run([&] { sectionPage_->inputSection(); });
    ws_.Colors = MaterialColors::defaults();
    materials_->showColors();
    run([&] { pmPage_->showPmCurve(); });
}

// ---------------------------------------------------------------- handlers, forwarded to the pages

void TForm1::ComboBox1Change() { sectionPage_->typeChanged(); }
void TForm1::Button1Click() { sectionPage_->inputClicked(); }
void TForm1::LoadSectionClick() { sectionPage_->loadSectionFile(); }
void TForm1::ExportSectionClick() { sectionPage_->exportSectionFile(); }
void TForm1::Image11Click() { OpenPage(*services_, this, ProductUrl()); }

void TForm1::Button10Click() { materials_->drawConcrete(); }
void TForm1::Button11Click() { materials_->drawSteel(); }
void TForm1::Shape1MouseDown() { materials_->pickColor(1); }
void TForm1::Shape2MouseDown() { materials_->pickColor(2); }
void TForm1::Shape3MouseDown() { materials_->pickColor(3); }
void TForm1::Shape4MouseDown() { materials_->pickColor(4); }
void TForm1::Shape5MouseDown() { materials_->pickColor(5); }

void TForm1::Button2Click() { pmPage_->showCurves(); }
void TForm1::Button9Click() { pmPage_->showForces(); }
void TForm1::Button5Click() { pmPage_->exportText(); }
void TForm1::Button16Click() { pmPage_->saveXImage(); }
void TForm1::Button17Click() { pmPage_->saveYImage(); }
void TForm1::Image2MouseMove(int x, int y) { pmPage_->readX(x, y); }
void TForm1::Image3MouseMove(int x, int y) { pmPage_->readY(x, y); }

void TForm1::Button3Click() { mmPage_->showReference(); }
void TForm1::Button7Click() { mmPage_->genCurve(); }
void TForm1::Button8Click() { mmPage_->inputForce(); }
void TForm1::Button12Click() { mmPage_->showForces(); }
void TForm1::Button6Click() { mmPage_->exportText(); }
void TForm1::Button14Click() { mmPage_->saveImage(); }
void TForm1::ScrollBar1Change() { mmPage_->sliderMoved(); }
void TForm1::ComboBox7Change() { mmPage_->directionChanged(); }
void TForm1::Image4MouseMove(int x, int y) { mmPage_->readReference(x, y); }
void TForm1::Image5MouseMove(int x, int y) { mmPage_->readMm(x, y); }

void TForm1::Button4Click() { importPage_->importClicked(); }
void TForm1::Button13Click() { importPage_->factorsClicked(); }
void TForm1::Button15Click() { importPage_->summaryClicked(); }

void TForm1::loadCustomSection(std::shared_ptr<const geom::LoadedSection> section, bool fillMeshSize) {
    sectionPage_->loadCustomSection(std::move(section), fillMeshSize);
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
            // The reference quietly: "Gen MM Curve" reports a bad field.
            mmPage_->showReference(false);
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
    sectionPage_->setTypeQuietly(index);
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
    sectionPage_->applySectionType(sectionPage_->typeBox()->currentIndex());
    // A check of other inputs than the current ones is left out of it.
    if (pmmPage_) pmmPage_->inputsChanged();
    run([&] { SaveAnalysisReport(*services_, this, {this, &fields_, &ws_}); });
}

void TForm1::N9Click() { OpenPage(*services_, this, TutorialUrl()); }

}  // namespace px
