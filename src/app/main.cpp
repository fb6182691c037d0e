#include "app/Logger.h"
#include "core/RuleEngine.h"
#include "feedback/GlobalHotkeyManager.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    QApplication::setOrganizationName(QStringLiteral("kelvora"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kelvora.Tolvane"));
    QApplication::setQuitOnLastWindowClosed(false);

    RuleEngine::shared();
    GlobalHotkeyManager::shared().startMonitoring(); // only when "pauseHotkeyEnabled" is on
    return app.exec();
}
