// pillarix-batch: the main window's commands from a shell script, on an
// offscreen window.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <string>

#include "app/ui/app_setup.h"
#include "batch/ui/batch_runner.h"
#include "common/file_replace.h"

namespace {
void write(std::FILE* f, const std::string& s) {
    if (!s.empty()) std::fwrite(s.data(), 1, s.size(), f);
    std::fflush(f);
}

// The streams carry only what the commands print: Qt's diagnostics (a missing
// runtime folder, font fallbacks) are dropped, except a fatal one.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) write(stderr, text.toLocal8Bit().toStdString() + "\n");
}
}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietMessages);
    px::RemoveTemporaryFilesOnSignals();
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt takes none of our arguments: it only sees the program name.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    px::SetUpApplication();

    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    std::string out, err;
    const int status = px::RunBatch(args, out, err);
    write(stdout, out);
    write(stderr, err);
    return status;
}
