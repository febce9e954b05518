#pragma once
// The analysis report: an A4 PDF of the column's input, results and checks,
// its pictures painted for the page by the window's own drawing functions.
#include <QString>

#include "report/ui/report_data.h"

class QWidget;

namespace px {

class PlatformServices;

// Writes the report to `path` through a temporary file in the same folder
// that replaces `path` only once the whole document is written, so a failure
// leaves no file (and an existing one as it was). Throws AppError naming the
// file. Returns the number of pages.
int WriteReportPdf(const QString& path, const ReportData& data);

// The "Analysis Report" command: computes what the report shows, asks for a
// name (filter "PDF (*.pdf)", proposing the project's name or "column.pdf")
// and writes it. Nothing is written when a field is wrong or the user
// cancels. Throws AppError (run it inside runCommand).
void SaveAnalysisReport(PlatformServices& platform, QWidget* parent, const ReportSource& src);

// The name the save dialog proposes for a project path ("" = none).
QString ProposedReportName(const std::string& projectPath);

}  // namespace px
