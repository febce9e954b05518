#pragma once
// The main window's project file: "Open File", "Save File", "Save File As...",
// the modified mark in the title and the question about unsaved changes.
#include <QObject>
#include <QString>

#include "project/project_file.h"
#include "project/ui/project_window.h"

namespace px {

class ProjectWindow;

inline constexpr const char* kProjectFilter = "Pillarix column (*.pxc)";

class ProjectController : public QObject {
    Q_OBJECT
public:
    // Watches the window's input fields, combo boxes and section-type menu for
    // changes made by the user. Create it once the window is built.
    explicit ProjectController(ProjectWindow& form);

    bool modified() const { return modified_; }
    void markModified();
    // A force import succeeded: remembers the file's name, marks the change.
    void forcesImported(const QString& path);
    // Name of the file the forces came from; empty before any import.
    QString importedFile() const { return importedFile_; }

    // "Open File": asks about unsaved changes, then for a file, then opens it.
    void open();
    // "Save File": to the current project file, or asks for a name the first time.
    bool save();
    // "Save File As...": always asks for a name.
    bool saveAs();
    // Reads `path` completely and only then sets the window from it, runs the
    // start-up commands and shows the Section page. A bad file leaves the
    // window as it was; its message is shown. False on failure.
    bool openPath(const QString& path);
    // Writes the project atomically to `path`; a failure is shown and leaves
    // any earlier file intact. False on failure (or a cancelled question).
    bool saveTo(const QString& path);
    // With unsaved changes, asks "Save changes to NAME?": true when the caller
    // may go on (saved or discarded), false on Cancel or a failed save.
    bool maybeSave();

    // The window's texts and choices as a project.
    ProjectData collect() const;
    // "NAME.pxc* - caption" with a project file, else the caption alone.
    QString title() const;
    // The project's file name, or "Untitled".
    QString displayName() const;

private:
    void apply(const ProjectData& d);
    void clearResults();
    void updateTitle();

    ProjectWindow& form_;
    QString caption_;
    QString emptyCountLine_;
    bool modified_ = false;
    bool hasForces_ = false;
    QString importedFile_;
};

}  // namespace px
