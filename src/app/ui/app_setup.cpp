#include "app/ui/app_setup.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <clocale>

#include "input/numbers.h"

namespace px {

void SetUpApplication() {
    // QApplication adopts the user's locale for the C library.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Pillarix");
    QApplication::setFont(QFont("Arial", 8));
    // Numbers are written with a point everywhere; a number typed with the
    // locale's separator is still read.
    const QString point = QLocale().decimalPoint();
    setDecimalSeparator(point.size() == 1 && point[0].unicode() < 128 ? point[0].toLatin1() : '.');
}

}  // namespace px
