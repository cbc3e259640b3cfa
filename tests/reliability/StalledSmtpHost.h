#pragma once

#include <QByteArray>
#include <QThread>

#include <atomic>
#include <mutex>

class QTcpServer;
class QTcpSocket;

// A mail host on loopback that takes connections and then stalls: either it never says a word
// (no greeting, no reply), or it carries the session as far as the end of the message and never
// confirms it. It runs on its own thread, so it serves while the program's thread is blocked
// sending.
class StalledSmtpHost
{
public:
    enum class Stall { AtGreeting, AfterMessage };
    explicit StalledSmtpHost(Stall stall);
    ~StalledSmtpHost();
    StalledSmtpHost(const StalledSmtpHost &) = delete;
    StalledSmtpHost &operator=(const StalledSmtpHost &) = delete;

    quint16 port() const { return m_port; }
    int connections() const { return m_connections; }
    // Everything the clients sent.
    QByteArray received() const;

private:
    QThread m_thread;
    QObject *m_context = nullptr; // lives on m_thread
    QTcpServer *m_server = nullptr;
    quint16 m_port = 0;
    void serve(QTcpSocket *socket);

    Stall m_stall;
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    QByteArray m_received;
};
