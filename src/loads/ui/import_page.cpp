#include "loads/ui/import_page.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <tuple>

#include "common/ui/grid_model.h"
#include "common/ui/long_command.h"
#include "common/ui/platform.h"
#include "input/ui/form_fields.h"
#include "loads/csv_import.h"
#include "loads/data_summary.h"
#include "workspace/workspace.h"

namespace px {

ImportPage::ImportPage(QWidget* page, PageBuilder& build, Workspace& ws, PlatformServices& services,
                       QWidget* window)
    : QObject(window), ws_(ws), fields_(build.fields), services_(services), window_(window) {
    auto* amp = new QGroupBox("Force Amplification", page);
    amp->setObjectName("GroupBox14");
    amp->setGeometry(8, 8, 300, 204);
    build.label(amp, {}, "Table Column", 120, 18, 80);
    build.label(amp, {}, "Amplifie Factor", 205, 18, 90);
    const std::tuple<const char*, int, int> rows[] = {
        {"Axial Force(kN)", 54, 57}, {"Moment Mx(kNm)", 55, 58}, {"Moment My(kNm)", 56, 59}};
    int y = 40;
    for (const auto& [text, col, factor] : rows) {
        build.label(amp, {}, text, 10, y, 105);
        build.edit(amp, col, 120, y, 70);
        build.edit(amp, factor, 205, y, 70);
        y += 26;
    }
    connect(build.button(amp, 13, "Input", 205, 118, 70), &QPushButton::clicked, this, &ImportPage::factorsClicked);
    for (const auto& [text, col] : {std::pair{"Load Case", 78}, {"Mx Other End", 79}, {"My Other End", 80}}) {
        build.label(amp, {}, text, 10, y, 105);
        build.edit(amp, col, 120, y, 70)->setPlaceholderText("none");
        y += 26;
    }

    summary_ = new StringGrid("StringGrid2", 4, 5, page);
    summary_->setGeometry(320, 8, 4 * 64 + 4, 5 * 20 + 4);
    connect(build.button(page, 4, "Import Force Data(CSV File)", 600, 8, 200), &QPushButton::clicked, this,
            &ImportPage::importClicked);
    connect(build.button(page, 15, "Data Summary", 600, 40, 200), &QPushButton::clicked, this,
            &ImportPage::summaryClicked);
    count_ = build.label(page, "Label66", "Number of Import Force Load Comb", 8, 214, 400);
    table_ = new StringGrid("StringGrid1", kImportGridColumns, 2, page);
    table_->grid()->setWidens(true);
    table_->setGeometry(8, 238, 880, 322);
}

void ImportPage::importClicked() {
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        const QString path = services_.openFile(window_, "Import Force Data(CSV File)");
        if (path.isEmpty()) return;
        importForces(path);
    });
}

void ImportPage::importForces(const QString& path) {
    ReadImportSettings(fields_, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy, ws_.ForceCols);
    ForceImport result = ImportForcesFromFile(QFile::encodeName(path).toStdString(), ws_.ForceCols);
    // Everything converted: only now does the page change.
    table_->grid()->setUtf8Rows(result.GridRows, 2);
    ws_.Loads = std::move(result.Table);
    count_->setText(QString::fromStdString(result.CountLine));
    dataSummary();
    emit imported(path);
    emit forcesChanged();
}

void ImportPage::factorsClicked() {
    emit modified();
    runCommand(services_, window_, [&] {
        if (LongCommand::active()) return;
        ReadForceFactors(fields_, ws_.ForceFactorP, ws_.ForceFactorMx, ws_.ForceFactorMy);
        emit forcesChanged();
    });
}

void ImportPage::summaryClicked() {
    runCommand(services_, window_, [&] {
        if (!LongCommand::active()) dataSummary();
    });
}

void ImportPage::dataSummary() { summary_->grid()->setUtf8Rows(DataSummary(ws_.Loads).Cells, 5); }

}  // namespace px
