#include "StalledSmtpHost.h"

#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

StalledSmtpHost::StalledSmtpHost(Stall stall)
    : m_stall(stall)
{
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            m_server = new QTcpServer;
            QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] {
                while (QTcpSocket *socket = m_server->nextPendingConnection()) {
                    // The socket is kept open (a child of the server) until the host goes.
                    ++m_connections;
                    serve(socket);
                }
            });
            if (m_server->listen(QHostAddress::LocalHost))
                m_port = m_server->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

void StalledSmtpHost::serve(QTcpSocket *socket)
{
    if (m_stall == Stall::AtGreeting) {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_received += socket->readAll();
        });
        return;
    }
    socket->write("220 stall.test ESMTP\r\n");
    auto pending = std::make_shared<QByteArray>();
    auto inData = std::make_shared<bool>(false);
    auto stalled = std::make_shared<bool>(false);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [=, this] {
        const QByteArray data = socket->readAll();
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_received += data;
        }
        *pending += data;
        qsizetype end;
        while (!*stalled && (end = pending->indexOf("\r\n")) >= 0) {
            const QByteArray line = pending->left(end);
            pending->remove(0, end + 2);
            if (*inData) {
                // The end of the message: the reply that would accept it never comes.
                if (line == ".")
                    *stalled = true;
                continue;
            }
            const QByteArray verb = line.left(4).toUpper();
            if (verb == "EHLO" || verb == "HELO")
                socket->write("250 stall.test\r\n");
            else if (verb == "DATA") {
                *inData = true;
                socket->write("354 End data with <CR><LF>.<CR><LF>\r\n");
            } else if (verb == "QUIT")
                socket->write("221 Bye\r\n");
            else
                socket->write("250 OK\r\n");
        }
    });
}

StalledSmtpHost::~StalledSmtpHost()
{
    QMetaObject::invokeMethod(
        m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_context;
}

QByteArray StalledSmtpHost::received() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}
