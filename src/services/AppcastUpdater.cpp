#include "AppcastUpdater.h"

#include "AppcastParser.h"
#include "UpdateUserDriver.h"
#include "VersionComparator.h"

#include "base/Tolvane.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

bool isLoopbackHost(const QString& host)
{
    if (host == QLatin1String("localhost"))
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

AppcastUpdater::AppcastUpdater(Options options, UpdateUserDriver* driver, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_driver(driver)
    , m_network(new QNetworkAccessManager(this))
{
}

AppcastUpdater::~AppcastUpdater()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void AppcastUpdater::checkForUpdates()
{
    if (m_reply)
        return;

    const QUrl& feed = m_options.feedURL;
    const bool https = feed.scheme() == QLatin1String("https");
    const bool loopbackHttp =
        m_options.allowLoopbackHttp && feed.scheme() == QLatin1String("http") && isLoopbackHost(feed.host());
    if (!feed.isValid() || feed.host().isEmpty() || !(https || loopbackHttp)) {
        // Reported like any other failure, after the caller has finished.
        const QString address = feed.toString();
        QMetaObject::invokeMethod(
            this,
            [this, address] {
                abortWithError(Tolvane::tr("the feed address “%1” is not an https address").arg(address));
            },
            Qt::QueuedConnection);
        return;
    }

    QNetworkRequest request(feed);
    request.setTransferTimeout(m_options.transferTimeoutMs);
    // Never from https to http, and a bounded chain of redirects.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(m_options.maximumRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tolvane/%1").arg(m_options.currentVersion));
    request.setRawHeader("Accept", "application/rss+xml, application/xml;q=0.9, */*;q=0.1");

    m_tooLarge = false;
    m_buffer.clear();
    QNetworkReply* reply = m_network->get(request);
    m_reply = reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_options.maximumFeedSize) {
            m_tooLarge = true;
            reply->abort();
        }
    });
    // Read as it arrives so that a huge document is cut off, not buffered.
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (m_tooLarge)
            return;
        const qint64 room = m_options.maximumFeedSize - m_buffer.size();
        m_buffer += reply->read(room + 1);
        if (m_buffer.size() > m_options.maximumFeedSize) {
            m_tooLarge = true;
            m_buffer.clear();
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, &AppcastUpdater::finishReply);
}

void AppcastUpdater::finishReply()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    reply->deleteLater();

    if (m_tooLarge) {
        abortWithError(Tolvane::tr("the feed is larger than %1 bytes").arg(m_options.maximumFeedSize));
        return;
    }
    // An answer from the server is told by its status; Qt's description of it
    // would be English.
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError && status == 0) {
        abortWithError(reply->errorString());
        return;
    }
    if (status != 200) {
        abortWithError(Tolvane::tr("the server answered HTTP %1").arg(status));
        return;
    }
    if (!m_tooLarge && !reply->atEnd())
        m_buffer += reply->read(m_options.maximumFeedSize + 1 - m_buffer.size());
    if (m_buffer.size() > m_options.maximumFeedSize) {
        abortWithError(Tolvane::tr("the feed is larger than %1 bytes").arg(m_options.maximumFeedSize));
        return;
    }
    const QByteArray document = std::exchange(m_buffer, QByteArray());
    handleFeed(document);
}

void AppcastUpdater::handleFeed(const QByteArray& document)
{
    const AppcastParser::Result parsed = AppcastParser::parse(document);
    if (!parsed.items) {
        abortWithError(parsed.error);
        return;
    }
    const QList<AppcastItem>& items = *parsed.items;
    Q_EMIT didFinishLoadingAppcast(int(items.size() + parsed.rejected.size()));

    const AppcastItem* best = nullptr;
    for (const AppcastItem& item : items) {
        if (!best || VersionComparator::compare(item.versionString, best->versionString) > 0)
            best = &item;
    }
    // A newer release that cannot be offered safely is a failure, not "up to date".
    for (const auto& rejected : parsed.rejected) {
        const bool newerThanCurrent = rejected.versionString.isEmpty()
            || VersionComparator::compare(rejected.versionString, m_options.currentVersion) > 0;
        const bool newerThanBest = !best || rejected.versionString.isEmpty()
            || VersionComparator::compare(rejected.versionString, best->versionString) > 0;
        if (newerThanCurrent && newerThanBest) {
            abortWithError(rejected.reason);
            return;
        }
    }

    if (best && VersionComparator::compare(best->versionString, m_options.currentVersion) > 0) {
        const AppcastItem update = *best;
        Q_EMIT didFindValidUpdate(update);
        if (m_driver)
            m_driver->showUpdateFound(update, m_options.currentVersion);
        return;
    }
    Q_EMIT didNotFindUpdate();
    if (m_driver)
        m_driver->showUpToDate(m_options.currentVersion);
}

void AppcastUpdater::abortWithError(const QString& localizedReason)
{
    const QString description = localizedReason.isEmpty()
        ? Tolvane::tr("The update feed could not be read.")
        : Tolvane::tr("The update feed could not be read: %1").arg(localizedReason);
    Q_EMIT didAbortWithError(description);
    if (m_driver)
        m_driver->showUpdateError(description);
}
