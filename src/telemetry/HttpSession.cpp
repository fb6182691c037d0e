#include "HttpSession.h"

#include "SerialQueue.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace telemetrydeck {

HttpSession::HttpSession(int timeoutMilliseconds)
    : m_timeoutMilliseconds(timeoutMilliseconds > 0 ? timeoutMilliseconds : defaultTimeoutMilliseconds)
    , m_queue(std::make_unique<SerialQueue>(QStringLiteral("com.telemetrydeck.HttpSession")))
{
    m_queue->sync([this] { m_network = new QNetworkAccessManager(m_queue->context()); });
}

HttpSession::~HttpSession() = default; // the queue stops; the manager goes with its context

std::shared_ptr<HttpSession> HttpSession::shared()
{
    static const std::shared_ptr<HttpSession> session = std::make_shared<HttpSession>();
    return session;
}

void HttpSession::postJson(const QUrl& url, const QByteArray& body, std::function<void(const HttpResult&)> completion)
{
    m_queue->async([this, url, body, completion = std::move(completion)] {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        request.setTransferTimeout(m_timeoutMilliseconds);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        QNetworkReply* reply = m_network->post(request, body);
        QObject::connect(reply, &QNetworkReply::finished, reply, [reply, completion] {
            HttpResult result;
            const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
            if (status.isValid()) {
                result.isHttpResponse = true;
                result.statusCode = status.toInt();
                result.body = reply->readAll();
            } else {
                result.transportFailed = true;
                result.transportError = reply->errorString();
            }
            reply->deleteLater();
            completion(result);
        });
    });
}

} // namespace telemetrydeck
