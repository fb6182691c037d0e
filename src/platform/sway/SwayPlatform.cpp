#include "SwayPlatform.h"

#include "SwayApplicationSource.h"
#include "SwayConfigCheck.h"
#include "SwayInputSourceProvider.h"
#include "SwayIpcSocket.h"
#include "SwaySwitchingThread.h"
#include "SwayWindowEventReader.h"
#include "base/Logger.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/freedesktop/XkbRegistry.h"
#include "platform/wayland/WaylandDesktopCompositing.h"
#include "platform/wayland/WaylandLayerShellOverlay.h"

#include <QJsonDocument>
#include <QJsonObject>

std::unique_ptr<SwayPlatform> SwayPlatform::create(const QString& socketPath, NotificationService* notifications)
{
    const QString path = socketPath.isEmpty() ? SwayIpcSocket::socketPathFromEnvironment() : socketPath;
    if (path.isEmpty())
        return nullptr;
    const QByteArray subscriptions = QByteArrayLiteral(R"(["window","input","workspace","shutdown"])");
    // The thread reads sway's events and passes them on; it connects first, so
    // that sway, which writes to its clients in the order they connected, tells it first.
    auto thread = SwaySwitchingThread::connect(path, subscriptions);
    auto commands = std::make_unique<SwayIpcSocket>();
    auto events = std::make_unique<SwayIpcSocket>();
    if (!commands->connectTo(path)) {
        Logger::shared().error(QStringLiteral("Sway IPC socket ") + path + QStringLiteral(" cannot be reached"));
        return nullptr;
    }
    if (thread) {
        if (!events->adopt(thread->takeRelay()))
            return nullptr;
    } else {
        const auto subscribed =
            events->connectTo(path) ? events->request(SwayIpcSocket::Subscribe, subscriptions) : std::nullopt;
        if (!subscribed || !QJsonDocument::fromJson(*subscribed).object().value(QLatin1String("success")).toBool()) {
            Logger::shared().error(QStringLiteral("Sway refused to report window and input events"));
            return nullptr;
        }
    }
    auto platform = std::unique_ptr<SwayPlatform>(
        new SwayPlatform(std::move(thread), std::move(commands), std::move(events), notifications));
    platform->warnAboutLayoutSwitchingRules();
    return platform;
}

SwayPlatform::SwayPlatform(std::unique_ptr<SwaySwitchingThread> thread, std::unique_ptr<SwayIpcSocket> commands,
                           std::unique_ptr<SwayIpcSocket> events, NotificationService* notifications)
    : FreedesktopPlatform(notifications)
    , m_thread(std::move(thread))
    , m_commands(std::move(commands))
    , m_events(std::move(events))
{
    // Connected before anyone else's handler: the switching thread's outcome
    // for a focus change is taken before the change is handled.
    QObject::connect(m_events.get(), &SwayIpcSocket::eventReceived, m_events.get(),
                     [this](quint32 type, const QByteArray& payload) { handleEvent(type, payload); });
    QObject::connect(m_events.get(), &SwayIpcSocket::disconnected, m_events.get(), [] {
        Logger::shared().error(
            QStringLiteral("Lost the connection to sway; applications and layouts are no longer followed"));
    });
}

SwayPlatform::~SwayPlatform()
{
    releaseInputSources();
    m_applications.reset();
    m_layouts.reset();
}

void SwayPlatform::handleEvent(quint32 type, const QByteArray& payload)
{
    if (type == SwayIpcSocket::ShutdownEvent) {
        Logger::shared().info(QStringLiteral("Sway is shutting down"));
        return;
    }
    if (type != SwayIpcSocket::WindowEvent || !m_thread)
        return;
    const auto event = SwayWindowEventReader::readAny(payload);
    if (!event || event->change != QLatin1String("focus"))
        return;
    const auto outcome = m_thread->takeOutcome(SwayWindowEventReader::windowKey(*event));
    if (m_layouts)
        m_layouts->beginActivation(outcome);
}

void SwayPlatform::setActivationPlanner(ActivationPlanner planner)
{
    m_planner = std::move(planner);
    if (!m_thread)
        return;
    applicationSource();
    inputSourceProvider();
    m_layouts->setSwitchingThread(m_thread.get());
    const QString front = m_applications->learnOpenWindows();
    const auto frontApp = m_applications->knownWindows().value(front);
    m_thread->assumeFront(front, frontApp ? SwaySwitchingThread::applicationKey(*frontApp) : QString());
    refreshSwitchingTable();
}

// Made anew at once: an activation right after a change (the memory changes
// as one application leaves the front) finds the table ready.
void SwayPlatform::activationPlanChanged()
{
    refreshSwitchingTable();
}

// Every window known so far, with the command for the source planned for it.
// Only while the layouts are in charge: an input-method framework's sources
// are selected through the framework, on the main thread.
void SwayPlatform::refreshSwitchingTable()
{
    if (!m_thread)
        return;
    if (!m_planner || !m_applications || !m_layouts) {
        m_thread->setTable(nullptr);
        return;
    }
    const bool layoutsInCharge = inputSourceProvider()->providerName() == m_layouts->providerName();
    auto table = std::make_shared<SwaySwitchingThread::Table>();
    const auto& windows = m_applications->knownWindows();
    table->reserve(windows.size());
    for (auto window = windows.cbegin(); window != windows.cend(); ++window) {
        SwaySwitchingThread::Window planned;
        const std::optional<RunningApplication>& app = window.value();
        planned.isApplication = app.has_value();
        if (app) {
            planned.application = SwaySwitchingThread::applicationKey(*app);
            if (const auto target = layoutsInCharge ? m_planner(*app) : std::nullopt)
                planned.frames = m_layouts->switchCommandFrame(*target);
        }
        table->insert(window.key(), planned);
    }
    m_thread->setTable(std::move(table));
}

void SwayPlatform::warnAboutLayoutSwitchingRules()
{
    if (m_warned)
        return;
    m_warned = true;
    const auto reply = m_commands->request(SwayIpcSocket::GetConfig);
    if (!reply)
        return;
    const QString config = QJsonDocument::fromJson(*reply).object().value(QLatin1String("config")).toString();
    for (const QString& rule : SwayConfigCheck::layoutSwitchingWindowRules(config)) {
        Logger::shared().error(QStringLiteral("The sway configuration switches layouts itself and will fight "
                                              "Tolvane's rules; remove it and make a Tolvane rule instead: ")
                               + rule);
    }
}

InputSourceProvider* SwayPlatform::layoutProvider()
{
    if (!m_layouts) {
        m_layouts = std::make_unique<SwayInputSourceProvider>(*m_commands, *m_events, XkbRegistry::system());
        // The commands change with the keyboards.
        QObject::connect(m_layouts.get(), &InputSourceProvider::enabledInputSourcesChanged, m_layouts.get(),
                         [this] { refreshSwitchingTable(); });
    }
    return m_layouts.get();
}

ApplicationSource* SwayPlatform::applicationSource()
{
    if (!m_applications) {
        m_applications = std::make_unique<SwayApplicationSource>(*m_commands, *m_events, DesktopEntryIndex::shared());
        QObject::connect(m_applications.get(), &SwayApplicationSource::knownWindowsChanged, m_applications.get(),
                         [this] { refreshSwitchingTable(); });
    }
    return m_applications.get();
}

DesktopCompositing* SwayPlatform::desktopCompositing()
{
    if (!m_compositing)
        m_compositing = std::make_unique<WaylandDesktopCompositing>();
    return m_compositing.get();
}

OverlayPresenter* SwayPlatform::overlayPresenter()
{
    if (!m_overlayTried) {
        m_overlayTried = true;
        m_overlay = WaylandLayerShellOverlay::connect();
    }
    return m_overlay.get();
}
