#include "project/ui/project_controller.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>

#include "common/ui/file_write.h"
#include "common/ui/grid_model.h"
#include "check/ui/pmm_page.h"
#include "input/ui/form_fields.h"
#include "workspace/workspace.h"
#include <QMainWindow>
#include "common/ui/long_command.h"
#include "common/ui/image_box.h"
#include "loads/ui/import_page.h"
#include "material/ui/material_pages.h"
#include "plot/ui/mm_page.h"
#include "plot/ui/pm_page.h"
#include "section/ui/section_page.h"
#include "input/error.h"
#include "loads/csv_import.h"

namespace px {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString shownPath(const QString& path) { return QDir::toNativeSeparators(path); }

// The whole file, read and checked; nothing of the window is touched.
ProjectData readProjectFile(const QString& path) {
    const std::string head = "Cannot open project file \"" + shownPath(path).toStdString() + "\": ";
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) throw AppError(head + "it is not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw AppError(head + file.errorString().toStdString());
    if (static_cast<quint64>(file.size()) > kProjectMaxBytes)
        throw AppError(head + "the file is " + std::to_string(file.size()) + " bytes; a project file holds at most " +
                       std::to_string(kProjectMaxBytes >> 20) + " MB");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) throw AppError(head + file.errorString().toStdString());
    try {
        return ReadProject(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const std::exception& e) {
        throw AppError(head + e.what());
    }
}

}  // namespace

ProjectController::ProjectController(ProjectWindow& form) : QObject(&form.mainWindow()), form_(form) {
    caption_ = form_.mainWindow().windowTitle();
    emptyCountLine_ = form_.importPage().countLine()->text();
    for (const std::string& name : ProjectFieldNames()) {
        auto it = form_.formFields().edits.find(name);
        if (it != form_.formFields().edits.end())
            connect(it->second, &QLineEdit::textEdited, this, &ProjectController::markModified);
    }
    for (const auto& [name, combo] : form_.formFields().combos)
        connect(combo, &QComboBox::activated, this, &ProjectController::markModified);
    // The section-type menu chooses a ComboBox1 item; the slider writes Edit30.
    for (const char* name : {"N19", "N20", "N110", "N21", "N25", "N22", "N23", "N24"})
        if (QAction* a = form_.mainWindow().findChild<QAction*>(name))
            connect(a, &QAction::triggered, this, &ProjectController::markModified);
    connect(form_.mmPage().slider(), &QScrollBar::actionTriggered, this, &ProjectController::markModified);
    if (PmmPage* page = form_.pmmPage())
        connect(page->liveBox(), &QCheckBox::clicked, this, &ProjectController::markModified);
    updateTitle();
}

void ProjectController::markModified() {
    if (modified_) return;
    modified_ = true;
    updateTitle();
}

void ProjectController::forcesImported(const QString& path) {
    hasForces_ = true;
    importedFile_ = QFileInfo(path).fileName();
    modified_ = true;
    updateTitle();
}

QString ProjectController::displayName() const {
    const std::string& p = form_.workspace().ProjectPath;
    return p.empty() ? QString("Untitled") : QFileInfo(qs(p)).fileName();
}

QString ProjectController::title() const {
    if (form_.workspace().ProjectPath.empty()) return caption_;
    return displayName() + (modified_ ? "* - " : " - ") + caption_;
}

void ProjectController::updateTitle() { form_.mainWindow().setWindowTitle(title()); }

// ---------------------------------------------------------------- commands

void ProjectController::open() {
    if (!maybeSave()) return;
    const QString path = form_.services().openFileOfType(&form_.mainWindow(), "Open File", kProjectFilter);
    if (path.isEmpty()) return;
    openPath(path);
}

bool ProjectController::save() {
    if (form_.workspace().ProjectPath.empty()) return saveAs();
    return saveTo(qs(form_.workspace().ProjectPath));
}

bool ProjectController::saveAs() {
    // The current file with its folder, so that the dialog opens where it is.
    const QString proposed = form_.workspace().ProjectPath.empty() ? QString("column.pxc") : qs(form_.workspace().ProjectPath);
    const QString path = form_.services().saveFile(&form_.mainWindow(), "Save File As", kProjectFilter, kProjectSuffix, proposed);
    if (path.isEmpty()) return false;
    return saveTo(path);
}

bool ProjectController::maybeSave() {
    if (!modified_) return true;
    switch (form_.services().askSaveChanges(&form_.mainWindow(), displayName())) {
        case SaveChoice::Save: return save();
        case SaveChoice::Discard: return true;
        case SaveChoice::Cancel: break;
    }
    return false;
}

bool ProjectController::openPath(const QString& path) {
    ProjectData data;
    // The file is read and parsed off the window's thread.
    if (!runLongCommand(form_.services(), &form_.mainWindow(), [&](LongCommand& lc) {
            RunOffThread([&] { data = readProjectFile(path); });
            if (lc.cancelled()) throw Cancelled();
        }))
        return false;
    form_.workspace().ProjectPath = QFileInfo(path).absoluteFilePath().toStdString();
    apply(data);
    // What the start-up commands set is the file's state, not a change.
    modified_ = false;
    updateTitle();
    return true;
}

bool ProjectController::saveTo(const QString& path) {
    const bool ok = !LongCommand::active() && runCommand(form_.services(), &form_.mainWindow(), [&] {
        const std::string text = WriteProject(collect());
        if (text.size() > kProjectMaxBytes)
            throw AppError("The project would be " + std::to_string(text.size()) + " bytes; a project file holds at most " +
                           std::to_string(kProjectMaxBytes >> 20) + " MB (the kept section file is too large)");
        const std::string head = "Cannot save project file \"" + shownPath(path).toStdString() + "\": ";
        ReplaceFile(path, text, {head, head});
    });
    if (!ok) return false;
    form_.workspace().ProjectPath = QFileInfo(path).absoluteFilePath().toStdString();
    modified_ = false;
    updateTitle();
    return true;
}

// ---------------------------------------------------------------- window <-> data

ProjectData ProjectController::collect() const {
    ProjectData d = DefaultProject();
    for (auto& [name, text] : d.Fields) text = form_.formFields().text(name);
    for (auto& [name, index] : d.Combos) index = form_.formFields().itemIndex(name);
    const Workspace& ws = form_.workspace();
    for (int k = 1; k <= 5; ++k) d.Colors.c[k] = ws.Colors.c[k];
    d.Live = form_.pmmPage() && form_.pmmPage()->live();
    d.Section = form_.formFields().custom;
    if (hasForces_) {
        ProjectForces f;
        const GridModel* grid = form_.importPage().table()->grid();
        for (int r = 0; r < grid->rowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < grid->columnCount(); ++c) row.push_back(grid->cell(c, r).toStdString());
            while (!row.empty() && row.back().empty()) row.pop_back();
            f.Grid.push_back(std::move(row));
        }
        f.Table = ws.Loads;
        f.FactorP = ws.ForceFactorP;
        f.FactorMx = ws.ForceFactorMx;
        f.FactorMy = ws.ForceFactorMy;
        f.ColumnP = ws.ForceCols.P;
        f.ColumnMx = ws.ForceCols.Mx;
        f.ColumnMy = ws.ForceCols.My;
        f.ColumnName = ws.ForceCols.Name;
        f.ColumnMxOther = ws.ForceCols.MxOther;
        f.ColumnMyOther = ws.ForceCols.MyOther;
        f.File = importedFile_.toStdString();
        d.Forces = std::move(f);
    }
    return d;
}

void ProjectController::clearResults() {
    // Curves and pictures of the previous column no longer hold.
    Workspace& ws = form_.workspace();
    ws.MM = {};
    ws.MMPointCount = 0;
    ws.Check.reset();
    ws.CheckStale = false;
    // The 3D page shows the check gone now, not at its next change: its
    // table, summary and dots (and a saved picture) must not outlive it.
    if (PmmPage* page = form_.pmmPage()) page->checkReplaced();
    for (int n = 4; n <= 10; ++n) {
        if (ImageBox* box = form_.imageBox(n)) box->clear();
    }
    form_.mmPage().progress()->setValue(0);
}

void ProjectController::apply(const ProjectData& d) {
    ProjectWindow& f = form_;
    Workspace& ws = f.workspace();
    for (const auto& [name, text] : d.Fields) {
        auto it = f.formFields().edits.find(name);
        if (it != f.formFields().edits.end()) it->second->setText(qs(text));
    }
    for (const auto& [name, index] : d.Combos) {
        auto it = f.formFields().combos.find(name);
        if (it == f.formFields().combos.end()) continue;
        const QSignalBlocker block(it->second);
        it->second->setCurrentIndex(index);
    }
    f.formFields().custom = d.Section;
    for (int k = 1; k <= 5; ++k) {
        ws.Colors.c[k] = d.Colors.c[k];
        const Rgb c = d.Colors.c[k];
        f.materialPages().swatch(k)->setColor(QColor(c.r, c.g, c.b));
    }

    if (PmmPage* page = f.pmmPage()) page->setLive(d.Live);
    if (d.Forces) {
        const ProjectForces& pf = *d.Forces;
        std::vector<QStringList> rows;
        rows.reserve(pf.Grid.size());
        for (const auto& row : pf.Grid) {
            QStringList r;
            for (const std::string& cell : row) r << qs(cell);
            while (r.size() < kImportGridColumns) r << QString();
            rows.push_back(std::move(r));
        }
        f.importPage().table()->grid()->setRows(std::move(rows), 2);
        ws.Loads = pf.Table;
        ws.ForceFactorP = pf.FactorP;
        ws.ForceFactorMx = pf.FactorMx;
        ws.ForceFactorMy = pf.FactorMy;
        ws.ForceCols = {pf.ColumnP, pf.ColumnMx, pf.ColumnMy, pf.ColumnName, pf.ColumnMxOther, pf.ColumnMyOther};
        f.importPage().countLine()->setText(qs(ImportCountLine(pf.Table.Count)));
        f.importPage().dataSummary();
        hasForces_ = true;
        importedFile_ = qs(pf.File);
    } else {
        // As a new window has it: no forces, no factors yet.
        f.importPage().table()->grid()->setRows({}, 2);
        f.importPage().summary()->grid()->setRows({}, 5);
        ws.Loads = {};
        ws.ForceFactorP = ws.ForceFactorMx = ws.ForceFactorMy = 0;
        ws.ForceCols = {};
        f.importPage().countLine()->setText(emptyCountLine_);
        hasForces_ = false;
        importedFile_.clear();
    }
    clearResults();
    updateTitle();

    // What start-up runs, on the opened column, then the Section page.
    SectionPage& section = f.sectionPage();
    section.applySectionType(section.typeBox()->currentIndex());
    // Meshing and the curves run as long commands: the window keeps
    // painting, and Esc stops them.
    runLongCommand(f.services(), &f.mainWindow(), [&](LongCommand&) { section.inputSection(); });
    runLongCommand(f.services(), &f.mainWindow(), [&](LongCommand& lc) { f.pmPage().showPmCurve(&lc); });
    const QSignalBlocker block(f.pages());
    f.pages()->setCurrentIndex(0);
}

}  // namespace px
