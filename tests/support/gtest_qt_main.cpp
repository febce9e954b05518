// Test entry point: an offscreen QApplication with a pinned locale and font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <clocale>

#include "input/numbers.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    px::setDecimalSeparator('.');
    QApplication app(argc, argv);
    QApplication::setFont(QFont("Arial", 8));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
