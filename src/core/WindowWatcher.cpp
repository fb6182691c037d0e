#include "WindowWatcher.h"

#include "platform/ApplicationSource.h"
#include "platform/Platform.h"

WindowWatcher& WindowWatcher::shared()
{
    static auto* instance = new WindowWatcher(Platform::instance().applicationSource());
    return *instance;
}

WindowWatcher::WindowWatcher(ApplicationSource* source, QObject* parent)
    : QObject(parent)
    , m_source(source)
{
    qRegisterMetaType<RunningApplication>();
    startWatching();
}

void WindowWatcher::startWatching()
{
    if (!m_source)
        return;
    connect(m_source, &ApplicationSource::applicationActivated, this, [this](const RunningApplication& app) {
        if (app.isValid())
            setActiveApp(app);
    });
    if (const auto front = m_source->frontmostApplication())
        setActiveApp(*front);
}

void WindowWatcher::setActiveApp(const RunningApplication& app)
{
    m_activeApp = app;
    Q_EMIT activeAppChanged(m_activeApp);
}
