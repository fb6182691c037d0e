// Draws the tray item as a desktop would show it, for the documentation: the
// label on a panel strip, and below it the open menu.
//
//   tolvane-tray-menu-shot <language code> <output.png>

#include "AppHarness.h"

#include "support/TestMain.h"

#include "app/TrayLabel.h"
#include "services/LocalizationManager.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QTimer>

int main(int argc, char** argv)
{
    tolvane::test::isolateHome();
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <language> <output.png>\n", argv[0]);
        return 2;
    }
    LocalizationManager::shared().setLanguage(QString::fromLocal8Bit(argv[1]), false);
    AppHarness harness;
    harness.dependencies.shortVersion = TolvaneApp::sharedDependencies().shortVersion;
    TolvaneApp& app = harness.start();

    app.menu()->popup(QPoint(40, 60));
    QTimer::singleShot(500, [&] {
        const QPixmap menu = app.menu()->grab();
        const int margin = 12;
        QImage shot(QSize(qMax(menu.width(), 160) + 2 * margin, menu.height() + 44 + 2 * margin),
                     QImage::Format_ARGB32);
        shot.fill(QColor(0xf0, 0xf0, 0xf0));
        QPainter painter(&shot);
        // The panel, and the label on it as the tray shows it.
        painter.fillRect(QRect(0, 0, shot.width(), 32), QColor(0x30, 0x30, 0x34));
        const QImage label =
            TrayLabel::image(false, harness.menuBarIndicator->currentInputSourceIcon(), Qt::white, 1.0);
        painter.drawImage(QPoint(margin, 5), label);
        painter.drawPixmap(QPoint(margin, 32 + margin), menu);
        painter.end();
        shot.save(QString::fromLocal8Bit(argv[2]));
        QCoreApplication::quit();
    });
    return application.exec();
}
