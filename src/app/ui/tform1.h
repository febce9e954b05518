#pragma once
// The main window: eight pages, menus, swatches and the command pipelines.
#include <QMainWindow>
#include <QRect>
#include <QString>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <span>

#include "common/ui/image_box.h"
#include "common/ui/long_command.h"
#include "common/ui/platform.h"
#include "app/workspace.h"
#include "input/fields.h"

class QLineEdit;
class QComboBox;
class QLabel;
class QGroupBox;
class QPushButton;
class QProgressBar;
class QScrollBar;
class QTabWidget;
class QAction;

namespace px {

struct MaterialGroup;

class TForm2;
class TForm3;
class PictureSaveDialog;
class PmmPage;
class MphiPage;
class StringGrid;
class ProjectController;

// Reads the window's edit fields and combo boxes by name.
class FormFields : public FieldSource {
public:
    std::map<std::string, QLineEdit*> edits;
    std::map<std::string, QComboBox*> combos;
    std::string text(const std::string& name) const override;
    int itemIndex(const std::string& name) const override;
    std::shared_ptr<const geom::LoadedSection> customSection() const override { return custom; }
    // The section "Load Section File..." loaded; kept while other types are chosen.
    std::shared_ptr<const geom::LoadedSection> custom;
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // services: dialogs and messages; the window uses the real ones when null.
    // runCreate: run the start-up commands (type change, colours, P-M curves).
    explicit TForm1(PlatformServices* services = nullptr, bool runCreate = true);
    ~TForm1() override;

    Workspace& workspace() { return ws_; }
    const FormFields& fields() const { return fields_; }
    PlatformServices& services() { return *services_; }
    TForm2* resultWindow() const { return form2_.get(); }
    TForm3* aboutBox() const { return form3_.get(); }

    QLineEdit* edit(int n) const;
    ImageBox* imageBox(int n) const;
    QTabWidget* pages() const { return PageControl1; }
    ProjectController& project() { return *project_; }
    PmmPage* pmmPage() const { return pmmPage_; }
    // Shrinks the window to fit `available`, a screen's free area, and moves
    // it there when it lies outside; the window never grows past its own
    // size. The pages scroll where the window is smaller than they are.
    void fitToScreen(const QRect& available);
    MphiPage* mphiPage() const { return mphiPage_; }


public slots:
    void FormCreate();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button10Click();
    void Button11Click();
    void Button12Click();
    void Button13Click();
    void Button14Click();
    void Button15Click();
    void Button16Click();
    void Button17Click();
    void ComboBox1Change();
    void ComboBox7Change();
    void ScrollBar1Change();
    void PageControl1Change();
    void Image2MouseMove(int x, int y);
    void Image3MouseMove(int x, int y);
    void Image4MouseMove(int x, int y);
    void Image5MouseMove(int x, int y);
    void Image11Click();
    void Shape1MouseDown();
    void Shape2MouseDown();
    void Shape3MouseDown();
    void Shape4MouseDown();
    void Shape5MouseDown();
    void N6Click();
    void N7Click();
    void N9Click();
    void N13Click();
    void N14Click();
    void N16Click();
    void N19Click();
    void N20Click();
    void N110Click();
    void N21Click();
    void N25Click();
    void N22Click();
    void N23Click();
    void N24Click();
    void PM1Click();
    void MM1Click();
    void N2Click();
    void N3Click();
    void SaveAs1Click();
    void AnalysisReport1Click();
    void PMM3DSurface1Click();
    void MPhi1Click();
    // "Load Section File...": a section file or DXF drawing as "Custom Section".
    void LoadSectionClick();
    // "Export Section File...": the current section in the section-file format.
    void ExportSectionClick();
    void N26Click();

protected:
    // Asks about unsaved project changes; Cancel keeps the window open.
    void closeEvent(QCloseEvent* e) override;

private:
    friend class ProjectController;

    template <class F>
    bool run(F&& f) {
        if (LongCommand::active()) return false;  // no command while a long one runs
        return runCommand(*services_, this, std::forward<F>(f));
    }
    // Runs a solve that Esc can stop; a stopped one leaves the workspace and
    // every picture as they were. `bar` restarts at 0.
    void runLong(QProgressBar* bar, const std::function<void(LongCommand&)>& f);

    // Pipeline steps shared by several commands.
    void readSection();
    void inputSection();
    void showPmCurve(LongCommand* lc = nullptr);
    void showReferencePm();
    void genMmCurve(LongCommand* lc = nullptr);
    void drawSection();
    void showSectionInfo();
    void drawForcesOnMm();
    void drawForcesOnReference();
    void importForces(const QString& path);
    void dataSummary();
    void savePicture(ImageBox* box);
    void applySectionType(int index);
public:
    // Makes `section` the custom section and chooses "Custom Section", filling
    // "Mesh Size" with its default; a section that cannot be meshed changes
    // nothing. Throws AppError. Also used by a project that keeps one.
    void loadCustomSection(std::shared_ptr<const geom::LoadedSection> section, bool fillMeshSize = true);
private:
    void selectSectionType(int index);
    void selectPage(int index);
    void pickColor(int k);

    // Building the pages.
    void buildMenus();
    void buildSectionPage(QWidget* page);
    void buildConcretePage(QWidget* page);
    void buildSteelPage(QWidget* page);
    // Returns the bottom edge of the curves.
    int buildMaterialGroups(QWidget* page, int firstGroup, const char* model,
                            std::span<const MaterialGroup> groups);
    void buildPmPage(QWidget* page);
    void buildMmPage(QWidget* page);
    void buildImportPage(QWidget* page);
    void buildStatusBar();
    QLineEdit* makeEdit(QWidget* parent, int n, int x, int y, int w = 60);
    QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y,
                      int w = 120);
    QPushButton* makeButton(QWidget* parent, int n, const QString& text, int x, int y, void (TForm1::*handler)(),
                            int w = 110);
    QGroupBox* makeFieldGroup(QWidget* parent, const char* name, const QString& title, QRect r,
                              std::initializer_list<std::pair<const char*, int>> rows);
    QProgressBar* makeProgressBar(QWidget* parent, const char* name, QRect r);
    ImageBox* makeImage(QWidget* parent, int n, int w, int h, int x, int y);
    QComboBox* makeModelCombo(QWidget* parent, int n, int x, int y);
    Swatch* makeSwatch(QWidget* parent, int n, int x, int y);
    void setVisible(const char* name, bool visible);
    // Tooltips of the fields and buttons, for the section type chosen.
    void showHelp();
    void setCaption(const char* name, const QString& text);

    std::unique_ptr<PlatformServices> ownedServices_;
    // The window's services: the given ones, except that errors may go to
    // the status bar (see PageControl1Change).
    class ErrorRouting;
    std::unique_ptr<ErrorRouting> routing_;
    PlatformServices* services_ = nullptr;
    Workspace ws_;
    FormFields fields_;
    std::map<int, ImageBox*> images_;
    std::map<int, Swatch*> swatches_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<PictureSaveDialog> pictureSaver_;
    ProjectController* project_ = nullptr;  // a child QObject
    PmmPage* pmmPage_ = nullptr;
    MphiPage* mphiPage_ = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox7 = nullptr;
    QComboBox* ComboBox8 = nullptr;  // "Strain limits at" on the P-M page
    QProgressBar* ProgressBar1 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    StringGrid* StringGrid1 = nullptr;
    StringGrid* StringGrid2 = nullptr;
    QLabel* sectionWarnings_ = nullptr;
    QLabel* sectionFileName_ = nullptr;  // the custom section's file name
    QLabel* centroid_ = nullptr;         // a custom section's centroid, drawing coordinates  // the section's warnings under its information
    QLabel* Label66 = nullptr;
    QLabel* Label68 = nullptr;
    QLabel* Label69 = nullptr;
    QLabel* Label73 = nullptr;
    QLabel* Label74 = nullptr;
};

}  // namespace px
