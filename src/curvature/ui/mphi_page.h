#pragma once
// The "M-Phi Curve" page: the moment-curvature response of the section at
// an axial force and a neutral-axis angle, its chart, key values, text
// export and picture.
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "curvature/moment_curvature.h"
#include "curvature/mphi_plot.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace px {

struct Workspace;
class FormFields;
class ImageBox;
class PlatformServices;
class PictureSaveDialog;

// Appended to the key values while the curve no longer matches the inputs.
inline constexpr const char* kMphiStaleNote = "(stale: inputs changed since the curve)";
// Under the key values while "Cover Layers" is 1 and a concrete of a
// template section uses the "Descending model" (Label83).
inline constexpr const char* kMphiOneLayerNote =
    "Note: \"Cover Layers\" is 1, so the cover (or a steel wall) is one fiber deep: where it crushes, the "
    "curve drops in one step and Mmax can be too high. Set \"Cover Layers\" on the Section page above 1 "
    "(8 or more) for a curve that converges.";
// The same advice for a custom section, which is cut by its "Mesh Size".
inline constexpr const char* kMphiMeshNote =
    "Note: a custom section is cut into cells of its \"Mesh Size\": where concrete crushes, the curve drops "
    "one row of cells at a time and Mmax can be too high. A smaller \"Mesh Size\" on the Section page "
    "gives smaller steps and a curve that converges.";

class MphiPage : public QObject {
    Q_OBJECT
public:
    using ShowText = std::function<void(const std::vector<std::string>&)>;
    // Builds the page's controls on `page`: Edit66..68, Image13, the buttons
    // Button24..27, ProgressBar4, the readout Label78 and the key values
    // Label79. `showText` fills and shows the result window.
    MphiPage(QWidget* page, Workspace& ws, FormFields& fields, PlatformServices& services,
             PictureSaveDialog& pictureSaver, ShowText showText, QWidget* window);

    ImageBox* picture() const { return image_; }
    QLabel* keyValues() const { return keys_; }
    // Label83 under the key values: the note while "Cover Layers" is 1, or
    // on the mesh size of a custom section, where a concrete descends.
    QLabel* layerNote() const { return layerNote_; }
    QLabel* readout() const { return readout_; }
    bool running() const { return running_; }

public slots:
    void genCurve();    // "Gen M-Phi Curve"
    void exportText();  // "Export Text"
    void saveImage();   // "Save Image"
    void cancel();      // "Cancel" and Esc while the curve runs
    // Shows the workspace's curve (after a project was opened) and marks it
    // stale when the inputs differ from those it was made from.
    void showResult();
    // The page came into view: computes the curve when there is none or it
    // is stale, as the other chart pages draw on arrival.
    void pageShown();

private:
    void drawChart(const MphiResult* r, bool stale);
    void showReadout(int x, int y);

    Workspace& ws_;
    FormFields& fields_;
    PlatformServices& services_;
    PictureSaveDialog& pictureSaver_;
    ShowText showText_;
    QWidget* window_;

    ImageBox* image_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QLabel* readout_ = nullptr;
    QLabel* keys_ = nullptr;
    QLabel* layerNote_ = nullptr;
    MphiPlotScale scale_;
    bool running_ = false;
};

}  // namespace px
