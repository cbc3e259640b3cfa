#pragma once

#include <QByteArray>
#include <QThread>

#include <atomic>
#include <mutex>

class QTcpServer;

// A mail host that takes connections on loopback and then never says a word: no greeting, no
// reply. It runs on its own thread, so it accepts while the program's thread is blocked sending.
class StalledSmtpHost
{
public:
    StalledSmtpHost();
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
    std::atomic<int> m_connections{0};
    mutable std::mutex m_mutex;
    QByteArray m_received;
};
