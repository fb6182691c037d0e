#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace telemetrydeck {

class SerialQueue;

// The outcome of one HTTP request.
struct HttpResult {
    // Set when no HTTP response arrived (refused, closed, timed out, not HTTP, TLS failure).
    bool transportFailed = false;
    QString transportError;
    // Set when the reply carried an HTTP status line.
    bool isHttpResponse = false;
    int statusCode = 0;
    QByteArray body;
};

// The transport used for uploads: a network access manager running in its own thread.
// Certificate verification stays on; there is no way to switch it off.
class HttpSession {
public:
    explicit HttpSession(int timeoutMilliseconds = defaultTimeoutMilliseconds);
    ~HttpSession();

    HttpSession(const HttpSession&) = delete;
    HttpSession& operator=(const HttpSession&) = delete;

    static constexpr int defaultTimeoutMilliseconds = 60'000;

    // The process-wide session.
    static std::shared_ptr<HttpSession> shared();

    int timeoutMilliseconds() const { return m_timeoutMilliseconds; }

    // Posts the body with "Content-Type: application/json". The completion runs in the
    // session's thread.
    void postJson(const QUrl& url, const QByteArray& body, std::function<void(const HttpResult&)> completion);

private:
    const int m_timeoutMilliseconds;
    std::unique_ptr<SerialQueue> m_queue;
    QNetworkAccessManager* m_network = nullptr; // lives in m_queue's thread
};

} // namespace telemetrydeck
