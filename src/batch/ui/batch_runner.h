#pragma once
// pillarix-batch: the main window's commands run from a command line on a
// real, offscreen main window, printing what the window shows.
#include <QString>
#include <QStringList>
#include <string>

namespace px {

// Exit statuses of a batch run.
inline constexpr int kBatchOk = 0;
inline constexpr int kBatchFailed = 1;  // a command raised an error
inline constexpr int kBatchUsage = 2;   // a wrong argument

// The one-line synopsis and the full help text (with an example).
QString BatchSynopsis();
QString BatchHelp();

// Runs the arguments (program name excluded) in order on one main window,
// built as the program builds it. `out` receives what the commands print and
// `err` the message of a failure or the usage line; on a failure `out` is
// left empty. Needs a QApplication.
int RunBatch(const QStringList& args, std::string& out, std::string& err);

}  // namespace px
