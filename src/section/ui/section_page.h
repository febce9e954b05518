#pragma once
// The "Section" page: the section type and its fields, the drawing, the
// section information and warnings, and the custom section's file. Its
// commands mesh and draw off the window's thread: Esc stops them, and a
// stopped or failed run leaves the fibers, the picture and the information
// as they were.
#include <QObject>
#include <QString>
#include <memory>

#include "geometry/source.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QWidget;

namespace px {

struct Workspace;
class FormFields;
class ImageBox;
class LongCommand;
class PageBuilder;
class PlatformServices;

class SectionPage : public QObject {
    Q_OBJECT
public:
    // Builds the page's controls on `page`; `window` is the main window
    // (dialogs, tooltips of every page's fields).
    SectionPage(QWidget* page, PageBuilder& build, Workspace& ws, PlatformServices& services, QWidget* window);

    QComboBox* typeBox() const { return type_; }  // ComboBox1
    ImageBox* picture() const { return picture_; }
    QProgressBar* progress() const { return progress_; }

    // Captions and visibility of the panel of type index + 1, and the tooltips.
    void applySectionType(int index);
    // Chooses the type without its change handler.
    void setTypeQuietly(int index);
    // Tooltips of the fields and buttons, for the section type chosen.
    void showHelp();

    // Reads the page into a copy, checks it and only then stores it, so a
    // refused size leaves the record, fibers, picture and figures as they
    // were. A text that does not convert keeps the values read before it.
    void readSection();
    // readSection, then meshes, draws and shows the information. Throws
    // AppError or Cancelled. Runs inside a long command (the current one, or
    // its own).
    void inputSection();
    // Meshes the stored record (ws.Input) and, with `draw`, draws it and,
    // with `showInfo`, shows its information (the curves' pages leave that
    // to "Input Section"); fibers and picture change only when everything
    // succeeds.
    void meshAndDraw(bool showInfo = true, bool draw = true);

    // Makes `section` the custom section and chooses "Custom Section",
    // filling "Mesh Size" with its default; a section that cannot be meshed
    // changes nothing. Throws AppError or Cancelled.
    void loadCustomSection(std::shared_ptr<const geom::LoadedSection> section, bool fillMeshSize = true);

public slots:
    void typeChanged();        // ComboBox1Change
    void inputClicked();       // "Input Section"
    void loadSectionFile();    // "Load Section File..."
    void exportSectionFile();  // "Export Section File..."

signals:
    // The section or its fields changed: results made before are stale.
    void sectionChanged();
    // A change to save in the project.
    void modified();
    void logoClicked();

private:
    template <class F>
    void inCommand(F&& f);
    void showSectionInfo();
    void setVisible(const char* name, bool visible);
    void setCaption(const char* name, const QString& text);

    Workspace& ws_;
    FormFields& fields_;
    PlatformServices& services_;
    QWidget* window_;
    QWidget* page_;

    QComboBox* type_ = nullptr;
    ImageBox* picture_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* warnings_ = nullptr;
    QLabel* fileName_ = nullptr;  // the custom section's file name
    QLabel* centroid_ = nullptr;  // a custom section's centroid, drawing coordinates
};

}  // namespace px
