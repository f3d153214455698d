#pragma once

#include <QTest>

#ifdef QT_WIDGETS_LIB
#include <QApplication>
using WispenTestApplication = QApplication;
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
using WispenTestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using WispenTestApplication = QCoreApplication;
#endif

#include <cstdio>

// Like QTEST_MAIN, with the app's identity set, and a refusal to run anywhere but in the
// throwaway HOME that the test runner makes. Tests of rooms without widgets get the
// application object of the lowest Qt module they link, so they cannot come to depend on more.
#define WISPEN_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        if (!qEnvironmentVariable("HOME").contains(QLatin1String("wispen-test-home"))) {           \
            std::fprintf(stderr, "refusing to run outside a throwaway HOME\n");                    \
            return 2;                                                                              \
        }                                                                                          \
        WispenTestApplication app(argc, argv);                                                     \
        QCoreApplication::setOrganizationName(QStringLiteral("Wispen"));                           \
        QCoreApplication::setApplicationName(QStringLiteral("Wispen"));                            \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
