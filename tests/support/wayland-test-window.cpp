// tolvane-wayland-test-window --app-id ID
//
// Shows one ordinary top-level Wayland window whose application id is ID,
// prints "shown" once the compositor has exposed it, and runs until killed or
// until its standard input closes.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

class TestWindow : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(QRect(QPoint(0, 0), size()), Qt::white); }
    void exposeEvent(QExposeEvent* event) override
    {
        QRasterWindow::exposeEvent(event);
        if (isExposed() && !m_announced) {
            m_announced = true;
            std::printf("shown\n");
            std::fflush(stdout);
        }
    }

private:
    bool m_announced = false;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "wayland");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const qsizetype appIdAt = arguments.indexOf(QStringLiteral("--app-id"));
    if (appIdAt < 0 || appIdAt + 1 >= arguments.size()) {
        std::fprintf(stderr, "usage: tolvane-wayland-test-window --app-id ID\n");
        return 2;
    }
    // Qt names the window's application id after the desktop file name.
    QGuiApplication::setDesktopFileName(arguments.at(appIdAt + 1));

    TestWindow window;
    window.resize(400, 300);
    window.show();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            QCoreApplication::quit();
    });
    return app.exec();
}
