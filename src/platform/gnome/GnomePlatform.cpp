#include "GnomePlatform.h"

#include "GnomeApplicationSource.h"
#include "GnomeDesktopConflictMonitor.h"
#include "GnomeInputSourceProvider.h"
#include "GnomeOverlayPresenter.h"
#include "GnomePanelMenuPresenter.h"
#include "GnomeShellExtension.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/wayland/WaylandDesktopCompositing.h"

#include "base/Logger.h"

GnomePlatform::GnomePlatform(NotificationService* notifications)
    : FreedesktopPlatform(notifications)
    , m_extension(std::make_unique<GnomeShellExtension>())
{
    const auto report = [this] {
        if (m_extension->isRunning())
            Logger::shared().info(QStringLiteral("Tolvane's GNOME Shell extension is running"));
        else
            Logger::shared().error(QStringLiteral("Tolvane's GNOME Shell extension (%1) is not running; applications "
                                                  "and input sources cannot be followed or switched")
                                       .arg(QString::fromLatin1(GnomeShellExtension::kUuid)));
    };
    report();
    QObject::connect(m_extension.get(), &GnomeShellExtension::isRunningChanged, m_extension.get(), report);
}

GnomePlatform::~GnomePlatform()
{
    releaseInputSources();
    m_panelMenu.reset();
    m_overlay.reset();
    m_conflicts.reset();
    m_applications.reset();
    m_inputSources.reset();
}

InputSourceProvider* GnomePlatform::layoutProvider()
{
    if (!m_inputSources)
        m_inputSources = std::make_unique<GnomeInputSourceProvider>(*m_extension);
    return m_inputSources.get();
}

ApplicationSource* GnomePlatform::applicationSource()
{
    if (!m_applications)
        m_applications = std::make_unique<GnomeApplicationSource>(*m_extension, DesktopEntryIndex::shared());
    return m_applications.get();
}

DesktopCompositing* GnomePlatform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<WaylandDesktopCompositing>();
    return m_compositing.get();
}

DesktopConflictMonitor* GnomePlatform::desktopConflictMonitor()
{
    if (!m_conflicts)
        m_conflicts = std::make_unique<GnomeDesktopConflictMonitor>(*m_extension);
    return m_conflicts.get();
}

OverlayPresenter* GnomePlatform::overlayPresenter()
{
    if (!m_overlay)
        m_overlay = std::make_unique<GnomeOverlayPresenter>(*m_extension);
    return m_overlay.get();
}

PanelMenuPresenter* GnomePlatform::panelMenuPresenter()
{
    if (!m_panelMenu)
        m_panelMenu = std::make_unique<GnomePanelMenuPresenter>(*m_extension);
    return m_panelMenu.get();
}
