#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

// The journal tests need an application object for Qt's SQL driver plugins; amounts shown grouped
// follow an en-US locale.
int main(int argc, char **argv) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
