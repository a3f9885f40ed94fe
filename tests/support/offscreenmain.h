#pragma once

#include <QApplication>
#include <QtTest>

// Widget tests need no display: they pick the offscreen platform unless the caller chose one.
#define VANTORA_WIDGET_TEST_MAIN(TestClass)                                                                  \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        QApplication app(argc, argv);                                                                        \
        TestClass tc;                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
