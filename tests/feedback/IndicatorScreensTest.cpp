// The indicator on a desktop of two screens side by side: its own Xvnc with a
// 2560 × 800 framebuffer split into two RandR monitors, and openbox. The
// panel belongs on the screen the user works on: the active window's, else
// the pointer's.
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include "base/Preferences.h"
#include "feedback/InputSourceIndicatorController.h"
#include "platform/x11/X11Platform.h"
#include "support/FakeApplicationSource.h"

#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QThread>

namespace {

// The private two-screen desktop, up before the application connects to it.
class TwoScreenDesktop {
public:
    bool start()
    {
        int number = 600 + int(QCoreApplication::applicationPid() % 300);
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
            ++number;
        const QString display = QStringLiteral(":%1").arg(number);
        m_server.start(QStringLiteral("Xvnc"),
                       {display, "-geometry", "2560x800", "-depth", "24", "-SecurityTypes", "None", "-rfbport", "-1",
                        "-nolisten", "tcp"});
        if (!m_server.waitForStarted(5000))
            return false;
        qputenv("DISPLAY", display.toUtf8());
        QDeadlineTimer deadline(10000);
        while (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) && !deadline.hasExpired())
            QThread::msleep(50);
        using tolvane::test::runProgram;
        if (!runProgram(QStringLiteral("xrandr"), {"--setmonitor", "left", "1280/338x800/211+0+0", "VNC-0"})
            || !runProgram(QStringLiteral("xrandr"), {"--setmonitor", "right", "1280/338x800/211+1280+0", "none"}))
            return false;
        m_windowManager.start(QStringLiteral("openbox"), {"--sm-disable"});
        while (!deadline.hasExpired()) {
            QProcess check;
            check.start(QStringLiteral("xprop"), {"-root", "_NET_SUPPORTING_WM_CHECK"});
            if (check.waitForFinished(2000) && check.readAllStandardOutput().contains("window id"))
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    ~TwoScreenDesktop()
    {
        tolvane::test::stopProcess(m_windowManager);
        tolvane::test::stopProcess(m_server);
    }

private:
    QProcess m_server;
    QProcess m_windowManager;
};

} // namespace

class IndicatorScreensTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        Preferences::setValue(QStringLiteral("indicatorEnabled"), true);
        m_platform = X11Platform::create();
        QVERIFY(m_platform);
    }

    // The active window's screen wins over the pointer's and the primary one; with no
    // active window (or none known), the pointer's.
    void followsTheActiveWindowElseThePointer_data()
    {
        QTest::addColumn<int>("windowX"); // -1: no active window
        QTest::addColumn<int>("pointerX");
        QTest::addColumn<int>("screen");
        QTest::newRow("window right, pointer left") << 1500 << 100 << 1;
        QTest::newRow("window left, pointer right") << 100 << 2000 << 0;
        // Mostly on the right, its left edge on the left screen.
        QTest::newRow("window across, mostly right") << 1180 << 100 << 1;
        QTest::newRow("no window, pointer right") << -1 << 2000 << 1;
        QTest::newRow("no window, pointer left") << -1 << 300 << 0;
    }
    void followsTheActiveWindowElseThePointer()
    {
        QFETCH(int, windowX);
        QFETCH(int, pointerX);
        QFETCH(int, screen);
        std::optional<TestWindow> window;
        FakeApplicationSource nothingActive;
        if (windowX >= 0) {
            window.emplace(QStringLiteral("Editor"));
            QVERIFY(window->isValid());
            QVERIFY(TestWindow::run({"windowmove", "--sync", window->windowIdText(), QString::number(windowX), "200"}));
            QVERIFY(window->activate());
        }
        QVERIFY(TestWindow::run({"mousemove", "--sync", QString::number(pointerX), "400"}));
        InputSourceIndicatorController controller(nullptr, nullptr,
                                                  window ? m_platform->applicationSource()
                                                         : static_cast<ApplicationSource*>(&nothingActive));
        controller.showInputSource(QStringLiteral("German"), QStringLiteral("xkb:de"));
        QTRY_VERIFY(controller.window());
        QCOMPARE(centreScreen(controller.window()), screen);
    }

private:
    // Which screen the panel's centre lies on, placed as the position says (top).
    static int centreScreen(IndicatorWindow* window)
    {
        const QRect frame = window->geometry();
        const QList<QScreen*> screens = QGuiApplication::screens();
        for (qsizetype i = 0; i < screens.size(); ++i) {
            const QRect visible = screens.at(i)->availableGeometry();
            if (visible.contains(frame.center())) {
                if (frame.center().x() != visible.center().x() || frame.top() != visible.top() + 80)
                    return -1;
                return screens.at(i)->geometry().x() == 0 ? 0 : 1;
            }
        }
        return -1;
    }

    std::unique_ptr<X11Platform> m_platform;
};

int main(int argc, char** argv)
{
    tolvane::test::isolateHome();
    TwoScreenDesktop desktop;
    if (!desktop.start()) {
        std::fprintf(stderr,
                     "needs Xvnc, openbox, xrandr, xdotool and xprop (Debian packages "
                     "tigervnc-standalone-server, openbox, x11-xserver-utils, xdotool, x11-utils)\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    IndicatorScreensTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "IndicatorScreensTest.moc"
