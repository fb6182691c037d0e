#include "BusService.h"

#include "BusNames.h"
#include "SettingsBusAdaptor.h"
#include "base/Logger.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDeadlineTimer>
#include <QThread>

namespace {
constexpr int kCallTimeoutMs = 3000;
// A process that just won the name may not have exported its object yet.
constexpr int kStartingOwnerWaitMs = 3000;
constexpr int kRetryPauseMs = 100;
} // namespace

BusService::BusService(const QDBusConnection& connection, QObject* parent)
    : QObject(parent)
    , m_connection(connection)
{
}

BusService::~BusService()
{
    if (!m_settingsConnectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_settingsConnectionName);
}

BusService::HandOver BusService::askToOpenSettings()
{
    if (!m_connection.isConnected())
        return HandOver::NobodyListens;
    QDBusMessage call = QDBusMessage::createMethodCall(BusNames::service(), BusNames::path(), BusNames::interface(),
                                                       QStringLiteral("OpenSettings"));
    call.setAutoStartService(false);
    const QDBusMessage reply = m_connection.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return HandOver::Answered;
    const QDBusError error(reply);
    if (error.type() == QDBusError::ServiceUnknown
        || error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return HandOver::NobodyListens;
    return HandOver::NoAnswer;
}

bool BusService::claimName()
{
    const auto registered =
        m_connection.interface()->registerService(BusNames::service(), QDBusConnectionInterface::DontQueueService,
                                                  QDBusConnectionInterface::DontAllowReplacement);
    return registered.isValid() && registered.value() == QDBusConnectionInterface::ServiceRegistered;
}

BusService::Claim BusService::claim()
{
    if (!m_connection.isConnected()) {
        Logger::shared().error(QStringLiteral("No session bus (%1); Tolvane runs without its D-Bus interface")
                                   .arg(m_connection.lastError().message()));
        return Claim::NoBus;
    }
    const QDeadlineTimer deadline(kStartingOwnerWaitMs);
    for (;;) {
        switch (askToOpenSettings()) {
        case HandOver::Answered:
            return Claim::AnotherRuns;
        case HandOver::NobodyListens:
            if (claimName())
                return Claim::Owner;
            break; // another launch won the name a moment ago
        case HandOver::NoAnswer:
            break;
        }
        if (deadline.hasExpired()) {
            Logger::shared().error(
                QStringLiteral("%1 is taken but its owner does not answer").arg(BusNames::service()));
            return Claim::Unanswered;
        }
        QThread::msleep(kRetryPauseMs);
    }
}
void BusService::exportInterface(TolvaneBusAdaptor::Dependencies dependencies)
{
    const auto openSettings = dependencies.openSettings;
    new TolvaneBusAdaptor(&m_host, m_connection, std::move(dependencies));
    if (!m_connection.registerObject(BusNames::path(), &m_host, QDBusConnection::ExportAdaptors)) {
        Logger::shared().error(
            QStringLiteral("Could not export %1: %2").arg(BusNames::path(), m_connection.lastError().message()));
        return;
    }

    m_settingsConnectionName = QStringLiteral("tolvane-settings");
    QDBusConnection settings = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_settingsConnectionName);
    new SettingsBusAdaptor(&m_settingsHost, openSettings);
    if (!settings.registerObject(BusNames::path(), &m_settingsHost, QDBusConnection::ExportAdaptors)
        || !settings.registerService(BusNames::settingsService())) {
        Logger::shared().error(
            QStringLiteral("Could not take %1: %2").arg(BusNames::settingsService(), settings.lastError().message()));
    }
}
