// Start-up: the application named "Pillarix", the main window (whose
// creation runs the first commands), then the message loop.
#include <QApplication>

#include "app/ui/app_setup.h"
#include "app/ui/tform1.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    px::SetUpApplication();
    px::TForm1 form;
    form.show();
    return app.exec();
}
