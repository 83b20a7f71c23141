#pragma once

#include "app/AppFrame.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// Shared main for every test executable: the offscreen platform, a fixed DPI so that font
// metrics and pixels are stable, the compiled-in resources and fonts, and no device
// address outside loopback. Settings and the shot journal go to a private folder, never the
// user's.
#define VENTARO_TEST_MAIN(TestObject)                                                              \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        qputenv("QT_FONT_DPI", "96");                                                              \
        if (qEnvironmentVariableIsEmpty("VENTARO_DEVICE_HOST"))                                    \
            qputenv("VENTARO_DEVICE_HOST", "127.0.0.2");                                           \
        QTemporaryDir settingsDir;                                                                 \
        qputenv("XDG_CONFIG_HOME", settingsDir.path().toLocal8Bit());                              \
        if (qEnvironmentVariableIsEmpty("VENTARO_DATA_DIR"))                                       \
            qputenv("VENTARO_DATA_DIR", (settingsDir.path() + "/data").toLocal8Bit());             \
        AppFrame::registerResources();                                                             \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        AppFrame::loadFonts();                                                                     \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
