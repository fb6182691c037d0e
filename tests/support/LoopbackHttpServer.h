#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

#include <functional>

namespace tolvane::test {

// An HTTP server on loopback for the stand-ins of the services Tolvane talks to. Each request,
// read whole, is recorded and handed to the stand-in's answer, which writes a response or
// leaves the connection hanging. Lives in the thread that made it.
class LoopbackHttpServer : public QObject {
public:
    struct Request {
        QByteArray head; // request line and headers
        QByteArray body;
    };
    using Answer = std::function<void(QTcpSocket*, const Request&)>;

    explicit LoopbackHttpServer(Answer answer)
        : m_answer(std::move(answer))
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0))
            qFatal("cannot listen on loopback");
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QUrl url(const QString& path = QStringLiteral("/")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    QList<Request> requests() const
    {
        QMutexLocker locker(&m_mutex);
        return m_requests;
    }
    void clear()
    {
        QMutexLocker locker(&m_mutex);
        m_requests.clear();
    }

    // A whole response, after which the connection closes.
    static void respond(QTcpSocket* socket, const QByteArray& status, const QByteArray& contentType,
                        const QByteArray& body, const QByteArray& headers = {})
    {
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + contentType + "\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + headers + "\r\n" + body);
        socket->disconnectFromHost();
    }

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        static const QRegularExpression contentLength(QStringLiteral("\r\ncontent-length: *(\\d+)"),
                                                      QRegularExpression::CaseInsensitiveOption);
        const qsizetype length =
            contentLength.match(QString::fromLatin1(buffer.left(headEnd))).captured(1).toLongLong();
        if (headEnd < 0 || buffer.size() < headEnd + 4 + length)
            return;
        const Request request{buffer.left(headEnd), buffer.mid(headEnd + 4, length)};
        m_buffers.remove(socket);
        {
            QMutexLocker locker(&m_mutex);
            m_requests.append(request);
        }
        m_answer(socket, request);
    }

    Answer m_answer;
    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    mutable QMutex m_mutex;
    QList<Request> m_requests;
};

} // namespace tolvane::test
