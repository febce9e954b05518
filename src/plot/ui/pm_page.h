#pragma once
// The "PM Curve" page: the P-M curves of both directions, their readouts,
// the forces on them, the text export and the pictures.
#include <QObject>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QWidget;

namespace px {

struct Workspace;
class FieldSource;
class FormFields;
class ImageBox;
class LongCommand;
class MemberGroup;
class PageBuilder;
class PictureSaveDialog;
class PlatformServices;
class SectionPage;

// What a P-M curve is made from: every field but those of the Mx-My,
// import, 3D and M-Phi pages and the section information.
std::string PmInputsKey(const FieldSource& f);

class PmPage : public QObject {
    Q_OBJECT
public:
    using ShowText = std::function<void(const std::vector<std::string>&)>;
    PmPage(QWidget* page, PageBuilder& build, Workspace& ws, PlatformServices& services,
           PictureSaveDialog& pictureSaver, SectionPage& section, ShowText showText, QWidget* window);

    QProgressBar* progress() const { return progress_; }
    QComboBox* strainLimits() const { return strainLimits_; }  // ComboBox8

    // Meshes and draws the section, then solves and draws both curves,
    // showing progress on `bar` (the page's own when null). Throws.
    void showPmCurve(LongCommand* lc = nullptr, QProgressBar* bar = nullptr);
    // The workspace's curves were made from other inputs than the fields
    // hold now (or never made).
    bool stale() const;

public slots:
    void showCurves();    // "Show PM Curve"
    void showForces();    // "Show Force"
    void exportText();    // "Export Text"
    void saveXImage();    // "Save PM X-Dir Image"
    void saveYImage();    // "Save PM Y-Dir Image"
    void readX(int x, int y);  // Image2MouseMove
    void readY(int x, int y);  // Image3MouseMove

private:
    Workspace& ws_;
    FormFields& fields_;
    PlatformServices& services_;
    PictureSaveDialog& pictureSaver_;
    SectionPage& section_;
    ShowText showText_;
    QWidget* window_;
    std::map<int, ImageBox*>& images_;

    ImageBox* x_ = nullptr;  // Image2
    ImageBox* y_ = nullptr;  // Image3
    QLabel* readX_ = nullptr;
    QLabel* readY_ = nullptr;
    QComboBox* strainLimits_ = nullptr;
    QProgressBar* progress_ = nullptr;
    MemberGroup* member_ = nullptr;  // the "Member" group under the curves
    std::string key_;  // PmInputsKey of the curves on show; empty for none
};

}  // namespace px
