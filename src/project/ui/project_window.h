#pragma once
// What the project file's commands need of the main window: its state, its
// named fields and its pages. The main window implements it.
class QMainWindow;
class QTabWidget;

namespace px {

struct Workspace;
class FormFields;
class ImageBox;
class ImportPage;
class MaterialPages;
class MmPage;
class PlatformServices;
class PmPage;
class PmmPage;
class SectionPage;

class ProjectWindow {
public:
    virtual ~ProjectWindow() = default;
    virtual QMainWindow& mainWindow() = 0;
    virtual PlatformServices& services() = 0;
    virtual Workspace& workspace() = 0;
    virtual FormFields& formFields() = 0;
    virtual ImageBox* imageBox(int n) const = 0;
    virtual QTabWidget* pages() const = 0;
    virtual PmmPage* pmmPage() const = 0;
    virtual SectionPage& sectionPage() const = 0;
    virtual PmPage& pmPage() const = 0;
    virtual MmPage& mmPage() const = 0;
    virtual ImportPage& importPage() const = 0;
    virtual MaterialPages& materialPages() const = 0;
};

}  // namespace px
