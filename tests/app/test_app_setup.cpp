// The application's set-up: titles exactly as their captions, numbers with a
// decimal point.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLocale>

#include "app/ui/app_setup.h"
#include "app/ui/tform1.h"
#include "input/numbers.h"
#include "output/ui/tform2.h"
#include "output/ui/tform3.h"
#include "support/scripted_platform.h"

using namespace px;

TEST(AppSetup, TitlesAreTheCaptionsAndNumbersUseAPoint) {
    QLocale::setDefault(QLocale(QLocale::German));
    SetUpApplication();
    QLocale::setDefault(QLocale::c());
    // A comma typed under a comma locale still reads; output has the point.
    EXPECT_EQ(decimalSeparator(), ',');
    EXPECT_EQ(StrToFloat("12,5"), 12.5);
    EXPECT_EQ(StrToFloat("12.5"), 12.5);
    EXPECT_EQ(F2(0.7), "0.70");
    setDecimalSeparator('.');
    EXPECT_EQ(QCoreApplication::applicationName(), "Pillarix");
    // No display name: window systems append one to every title. Without it
    // the display name just follows the application name.
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    QCoreApplication::setApplicationName("Pillarix");

    ScriptedPlatform platform;
    TForm1 form(&platform, false);
    EXPECT_EQ(form.windowTitle(), "PILLARIX v1.2(Section Analysis Program)Version(2014-09-06)");
    EXPECT_EQ(form.resultWindow()->windowTitle(), "Result Output");
    EXPECT_EQ(form.aboutBox()->windowTitle(), QString::fromUtf8("关于程序"));
}
