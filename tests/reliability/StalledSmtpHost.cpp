#include "StalledSmtpHost.h"

#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>

StalledSmtpHost::StalledSmtpHost()
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
                    ++m_connections;
                    // The socket is kept open (a child of the server) and never written to.
                    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                        const std::lock_guard<std::mutex> lock(m_mutex);
                        m_received += socket->readAll();
                    });
                }
            });
            if (m_server->listen(QHostAddress::LocalHost))
                m_port = m_server->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

StalledSmtpHost::~StalledSmtpHost()
{
    QMetaObject::invokeMethod(m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    delete m_context;
}

QByteArray StalledSmtpHost::received() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}
