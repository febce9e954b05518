#pragma once
// The "MM Curve" page: the Mx-My curve at an axial force, beside the P-M
// curve of one direction with that force marked; the slider sets the force.
#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QScrollBar;
class QWidget;

namespace px {

struct Workspace;
class FormFields;
class ImageBox;
class LongCommand;
class PageBuilder;
class PictureSaveDialog;
class PlatformServices;
class PmPage;
class SectionPage;

class MmPage : public QObject {
    Q_OBJECT
public:
    using ShowText = std::function<void(const std::vector<std::string>&)>;
    MmPage(QWidget* page, PageBuilder& build, Workspace& ws, PlatformServices& services,
           PictureSaveDialog& pictureSaver, SectionPage& section, PmPage& pm, ShowText showText, QWidget* window);

    QProgressBar* progress() const { return progress_; }
    QScrollBar* slider() const { return slider_; }
    QComboBox* direction() const { return direction_; }  // ComboBox7

    // Meshes the section and solves and draws the Mx-My curve. Throws.
    void genMmCurve(LongCommand* lc = nullptr);

public slots:
    // "Show PM Curve". A page opened without `report`: curves that cannot
    // be solved again leave the reference blank without a message, as
    // "Gen MM Curve" runs next and reports the field.
    void showReference(bool report = true);
    void showReferenceClicked() { showReference(); }
    void genCurve();         // "Gen MM Curve"
    void inputForce();       // "Input Force"
    void sliderMoved();      // ScrollBar1Change
    void directionChanged(); // ComboBox7Change
    void showForces();       // "Show Force"
    void exportText();       // "Export Txt"
    void saveImage();        // "Save Image"
    void readReference(int x, int y);  // Image4MouseMove
    void readMm(int x, int y);         // Image5MouseMove

private:
    // The reference P-M picture: the P-M page's curve of the chosen
    // direction, with the axial force's line. Curves of other inputs than
    // the current ones are solved again first (on the page's bar), so the
    // picture and the slider's PMax are those of the section on show.
    void showReferencePm();
    void drawForcesOnMm();
    // Runs f with the P-M curves current: in a long command when they must
    // be solved again, else at once.
    void withCurrentPm(const std::function<void()>& f, bool report = true);

    Workspace& ws_;
    FormFields& fields_;
    PlatformServices& services_;
    PictureSaveDialog& pictureSaver_;
    SectionPage& section_;
    PmPage& pm_;
    ShowText showText_;
    QWidget* window_;
    std::map<int, ImageBox*>& images_;

    ImageBox* reference_ = nullptr;  // Image4
    ImageBox* mm_ = nullptr;         // Image5
    QComboBox* direction_ = nullptr;
    QScrollBar* slider_ = nullptr;
    QLabel* readReference_ = nullptr;  // Label74
    QLabel* readMm_ = nullptr;         // Label73
    QProgressBar* progress_ = nullptr;
};

}  // namespace px
