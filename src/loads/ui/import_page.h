#pragma once
// The "Import Force Data" page: the force table's columns and factors, the
// import of a CSV file, its grid and the data summary.
#include <QObject>
#include <QString>

class QLabel;
class QWidget;

namespace px {

struct Workspace;
class FormFields;
class PageBuilder;
class PlatformServices;
class StringGrid;

class ImportPage : public QObject {
    Q_OBJECT
public:
    ImportPage(QWidget* page, PageBuilder& build, Workspace& ws, PlatformServices& services, QWidget* window);

    StringGrid* table() const { return table_; }      // StringGrid1
    StringGrid* summary() const { return summary_; }  // StringGrid2
    QLabel* countLine() const { return count_; }      // Label66

    // Reads the settings and the file; only when everything converted does
    // the page change. Throws AppError.
    void importForces(const QString& path);
    // Fills the summary grid from the workspace's forces.
    void dataSummary();

public slots:
    void importClicked();   // "Import Force Data(CSV File)"
    void factorsClicked();  // "Input"
    void summaryClicked();  // "Data Summary"

signals:
    // A file's forces were imported.
    void imported(const QString& path);
    // The forces or their factors changed.
    void forcesChanged();
    // "Input" pressed: a change to save in the project.
    void modified();

private:
    Workspace& ws_;
    FormFields& fields_;
    PlatformServices& services_;
    QWidget* window_;
    StringGrid* table_ = nullptr;
    StringGrid* summary_ = nullptr;
    QLabel* count_ = nullptr;
};

}  // namespace px
