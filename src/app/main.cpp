// Start-up: the application titled "Pillarix", the main window (whose
// creation runs the first commands), then the message loop.
#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStringList>
#include <clocale>

#include "app/ui/tform1.h"
#include "project/ui/project_controller.h"
#include "input/numbers.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Number conversion and formatting handle the separator themselves.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Pillarix");
    QApplication::setApplicationDisplayName("Pillarix");
    QApplication::setFont(QFont("Arial", 8));
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point[0].unicode() < 128) px::setDecimalSeparator(point[0].toLatin1());
    px::TForm1 form;
    form.show();
    // pillarix FILE.pxc: the project opens after the normal start-up.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) form.project().openPath(args.at(1));
    return app.exec();
}
