// pillarix-batch: the main window's commands from a shell script, on an
// offscreen window.
#include <QApplication>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/ui/app_setup.h"
#include "batch/ui/batch_runner.h"
#include "common/file_replace.h"

namespace {
// Writes and flushes; the system's reason on failure, else empty.
std::string write(std::FILE* f, const std::string& s) {
    errno = 0;
    if ((!s.empty() && std::fwrite(s.data(), 1, s.size(), f) != s.size()) || std::fflush(f) != 0)
        return std::strerror(errno ? errno : EIO);
    return {};
}

// The streams carry only what the commands print: Qt's diagnostics (a missing
// runtime folder, font fallbacks) are dropped, except a fatal one.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtFatalMsg) write(stderr, text.toLocal8Bit().toStdString() + "\n");
}
}  // namespace

int main(int argc, char** argv) {
    // Past a file-size limit a write fails and is reported like any other
    // failed write, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
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
    // A script trusts the exit status: output that did not all arrive
    // (a full disk, a file-size limit, a closed pipe) is a failure.
    std::string failure = write(stdout, out);
    errno = 0;
    if (std::fclose(stdout) != 0 && failure.empty()) failure = std::strerror(errno ? errno : EIO);
    if (!failure.empty()) {
        write(stderr, err + "pillarix-batch: Cannot write to standard output. " + failure + ".\n");
        return px::kBatchFailed;
    }
    write(stderr, err);
    return status;
}
