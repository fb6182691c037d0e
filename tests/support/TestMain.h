#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

namespace tolvane::test {

// Points HOME and the XDG base directories at a fresh temporary directory so
// that no test reads or writes the user's real files. Must run before the
// QCoreApplication is created, because QStandardPaths and QSettings read the
// environment once.
inline QTemporaryDir& isolateHome()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tolvane-test-XXXXXX"));
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_STATE_HOME", root + "/state");
    return home;
}

} // namespace tolvane::test

#define TOLVANE_TEST_MAIN_IMPL(TestObject, AppClass)                                                                   \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        tolvane::test::isolateHome();                                                                                  \
        AppClass app(argc, argv);                                                                                      \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }

// A test that needs widgets (offscreen unless marked DISPLAY).
#define TOLVANE_TEST_MAIN(TestObject) TOLVANE_TEST_MAIN_IMPL(TestObject, QApplication)
// A test of non-GUI code.
#define TOLVANE_TEST_GUILESS_MAIN(TestObject) TOLVANE_TEST_MAIN_IMPL(TestObject, QCoreApplication)
