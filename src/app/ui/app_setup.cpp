#include "app/ui/app_setup.h"

#include <QApplication>
#include <QFont>
#include <clocale>

#include "input/numbers.h"

namespace px {

void SetUpApplication() {
    // QApplication adopts the user's locale for the C library.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("Pillarix");
    QApplication::setFont(QFont("Arial", 8));
    setDecimalSeparator('.');
}

}  // namespace px
