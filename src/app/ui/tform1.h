#pragma once
// The main window: the eight pages, each a class of its capability, the
// menus and the handlers, which forward to the pages.
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
#include "input/ui/form_fields.h"
#include "project/ui/project_window.h"
#include "workspace/workspace.h"

class QLineEdit;
class QTabWidget;

namespace px {

class TForm2;
class TForm3;
class PictureSaveDialog;
class PmmPage;
class MphiPage;
class SectionPage;
class PmPage;
class MmPage;
class ImportPage;
class MaterialPages;
class ProjectController;

class TForm1 : public QMainWindow, public ProjectWindow {
    Q_OBJECT
public:
    // services: dialogs and messages; the window uses the real ones when null.
    // runCreate: run the start-up commands (type change, colours, P-M curves).
    explicit TForm1(PlatformServices* services = nullptr, bool runCreate = true);
    ~TForm1() override;

    Workspace& workspace() override { return ws_; }
    const FormFields& fields() const { return fields_; }
    FormFields& formFields() override { return fields_; }
    PlatformServices& services() override { return *services_; }
    QMainWindow& mainWindow() override { return *this; }
    TForm2* resultWindow() const { return form2_.get(); }
    TForm3* aboutBox() const { return form3_.get(); }

    QLineEdit* edit(int n) const;
    ImageBox* imageBox(int n) const override;
    QTabWidget* pages() const override { return PageControl1; }
    ProjectController& project() { return *project_; }
    PmmPage* pmmPage() const override { return pmmPage_; }
    // Shrinks the window to fit `available`, a screen's free area, and moves
    // it there when it lies outside; the window never grows past its own
    // size. The pages scroll where the window is smaller than they are.
    void fitToScreen(const QRect& available);
    MphiPage* mphiPage() const { return mphiPage_; }
    SectionPage& sectionPage() const override { return *sectionPage_; }
    PmPage& pmPage() const override { return *pmPage_; }
    MmPage& mmPage() const override { return *mmPage_; }
    ImportPage& importPage() const override { return *importPage_; }
    MaterialPages& materialPages() const override { return *materials_; }

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
    template <class F>
    bool run(F&& f) {
        if (LongCommand::active()) return false;  // no command while a long one runs
        return runCommand(*services_, this, std::forward<F>(f));
    }
public:
    // Makes `section` the custom section and chooses "Custom Section", filling
    // "Mesh Size" with its default; a section that cannot be meshed changes
    // nothing. Throws AppError. Also used by a project that keeps one.
    void loadCustomSection(std::shared_ptr<const geom::LoadedSection> section, bool fillMeshSize = true);
private:
    void selectSectionType(int index);
    void selectPage(int index);
    void buildMenus();
    void buildStatusBar();

    std::unique_ptr<PlatformServices> ownedServices_;
    // The window's services: the given ones, except that errors may go to
    // the status bar (see PageControl1Change).
    class ErrorRouting;
    std::unique_ptr<ErrorRouting> routing_;
    PlatformServices* services_ = nullptr;
    Workspace ws_;
    FormFields fields_;
    std::map<int, ImageBox*> images_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<PictureSaveDialog> pictureSaver_;
    ProjectController* project_ = nullptr;  // a child QObject
    // The pages, child QObjects.
    SectionPage* sectionPage_ = nullptr;
    MaterialPages* materials_ = nullptr;
    PmPage* pmPage_ = nullptr;
    MmPage* mmPage_ = nullptr;
    ImportPage* importPage_ = nullptr;
    PmmPage* pmmPage_ = nullptr;
    MphiPage* mphiPage_ = nullptr;

    QTabWidget* PageControl1 = nullptr;
};

}  // namespace px
