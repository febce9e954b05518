#pragma once
// The "PMM_3D_Curve" page: the interaction surface in 3D, the capacity check
// of the imported forces, its table, summary line, export and picture.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "check/projection.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QWidget;

namespace px {

struct Workspace;
class FormFields;
class PlatformServices;
class PictureSaveDialog;
class SurfaceView;
class CheckTableModel;
class LiveRunner;
struct LiveResults;

// Appended to the summary line while the check no longer matches the inputs.
inline constexpr const char* kStaleNote = " (stale: inputs changed since the check)";

class PmmPage : public QObject {
    Q_OBJECT
public:
    // Builds the page's controls on `page`. `window` parents dialogs and
    // message boxes. The axial-levels field is added to `fields` as Edit65.
    PmmPage(QWidget* page, Workspace& ws, FormFields& fields, PlatformServices& services,
            PictureSaveDialog& pictureSaver, QWidget* window);
    ~PmmPage() override;

    SurfaceView* picture() const { return view_; }
    QTableView* table() const { return table_; }
    QLabel* summary() const { return summary_; }
    QLabel* hover() const { return hover_; }
    bool running() const { return running_; }
    // The "Live" check box: while it is on, a change of the inputs runs the
    // section, the check and the surface again in the background.
    QCheckBox* liveBox() const { return live_; }
    bool live() const;
    void setLive(bool on);
    // A live run is waiting for the typing to pause or running.
    bool livePending() const;
    LiveRunner* liveRunner() const { return runner_; }

    // Text of the summary: the check's line, with the stale note when the
    // inputs changed since, then the radial ratio's line and the section's
    // warnings, each on a line of its own; empty before any check.
    QString summaryText() const;
    // The surface as CSV ("Level,P,Point,Mx,My"); empty before any surface.
    std::string surfaceCsv(const std::string& eol) const;

public slots:
    void checkForces();   // "Check Forces"
    void genSurface();    // "Gen PMM Surface"
    void exportCheck();   // "Export Check"
    void saveImage();     // "Save Image"
    void resetView();     // "Reset View"
    void cancel();        // "Cancel" and Esc while a command runs
    // The page came into view: without a surface of the current inputs,
    // "Gen PMM Surface" runs, as the other pages run their commands.
    void pageShown();
    // The section, its fields, the MM settings or the forces may have
    // changed: a check or surface made before is marked stale.
    void inputsChanged();
    // Shows the workspace's check (table, summary, dots) and the surface
    // again.
    void showResults();
    // Workspace::Check was replaced from elsewhere (a project opened): it
    // counts as made from the current inputs unless Workspace::CheckStale.
    void checkReplaced();

signals:
    // A live run's results (or its error) are on show.
    void liveUpdated();

private:
    void applyLive(std::shared_ptr<const LiveResults> results);
    void scheduleLive();
    // Marks the check and the surface stale or current against the inputs.
    void refreshStale();
    template <class F>
    void runLong(F&& f);
    void updateStale();
    // Each column of the table as wide as its widest text, header included.
    void fitColumns();
    // The summary's text, its label as tall as its lines need.
    void showSummary();
    std::string inputsKey(bool withForces) const;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showHover(int x, int y);

    Workspace& ws_;
    FormFields& fields_;
    PlatformServices& services_;
    PictureSaveDialog& pictureSaver_;
    QWidget* window_;

    SurfaceView* view_ = nullptr;
    QLineEdit* levels_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QCheckBox* live_ = nullptr;
    LiveRunner* runner_ = nullptr;
    QLabel* hover_ = nullptr;
    QLabel* summary_ = nullptr;
    QTableView* table_ = nullptr;
    CheckTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QWidget* page_ = nullptr;

    bool running_ = false;
    struct SurfaceState;
    std::unique_ptr<SurfaceState> surface_;
    bool surfaceStale_ = false;
    std::string checkKey_, surfaceKey_;  // inputsKey of the last check / surface
    long long shownRows_ = -1;  // rows of the check on show; -1 for none
};

}  // namespace px
