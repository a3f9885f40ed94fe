#pragma once

#include <QApplication>
#include <QtTest>

// Widget tests need no display: they pick the offscreen platform unless the caller chose one.
// VANTORA_WIDGET_TEST_MAIN_PREPARED runs `prepare` before the application object exists (the web
// engine's switches must be set by then).
#define VANTORA_WIDGET_TEST_MAIN(TestClass) VANTORA_WIDGET_TEST_MAIN_PREPARED(TestClass, [] {})
#define VANTORA_WIDGET_TEST_MAIN_PREPARED(TestClass, prepare)                                                \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                  \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                         \
        prepare();                                                                                           \
        QApplication app(argc, argv);                                                                        \
        TestClass tc;                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
