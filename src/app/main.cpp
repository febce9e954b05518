// Start-up: the application named "Pillarix", the main window (whose
// creation runs the first commands), then the message loop.
#include <QApplication>
#include <QScreen>
#include <QStringList>

#include "app/ui/app_setup.h"
#include "app/ui/tform1.h"
#include "project/ui/project_controller.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    px::SetUpApplication();
    px::TForm1 form;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) form.fitToScreen(screen->availableGeometry());
    form.show();
    // pillarix FILE.pxc: the project opens after the normal start-up.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) form.project().openPath(args.at(1));
    return app.exec();
}
