#pragma once

#include <QApplication>
#include <QTest>

#include <cstdio>

// Like QTEST_MAIN, with the app's identity set, and a refusal to run anywhere but in the
// throwaway HOME that the test runner makes.
#define WISPEN_TEST_MAIN(TestObject)                                                          \
    int main(int argc, char *argv[])                                                          \
    {                                                                                         \
        if (!qEnvironmentVariable("HOME").contains(QLatin1String("wispen-test-home"))) {      \
            std::fprintf(stderr, "refusing to run outside a throwaway HOME\n");               \
            return 2;                                                                         \
        }                                                                                     \
        QApplication app(argc, argv);                                                         \
        QApplication::setOrganizationName(QStringLiteral("Wispen"));                          \
        QApplication::setApplicationName(QStringLiteral("Wispen"));                           \
        TestObject test;                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                            \
        return QTest::qExec(&test, argc, argv);                                               \
    }
