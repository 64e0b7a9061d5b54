#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include "platform/Fonts.h"

// Window tests run headless with an en-US locale and the program's font mapping.
int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
