#pragma once

#include <QString>
#include <QThread>

#include <atomic>
#include <functional>

struct sqlite3;
class QTimer;

// Another program writing to a database file: a second connection of its own that holds the
// write lock (an open write transaction) until it lets go. It lets go from a timer on its own
// thread, so it can do so while the program's thread is blocked waiting for that very lock.
class LockingWriter
{
public:
    explicit LockingWriter(const QString &file);
    ~LockingWriter();
    LockingWriter(const LockingWriter &) = delete;
    LockingWriter &operator=(const LockingWriter &) = delete;

    // Opens the connection, starts an exclusive transaction and writes in it. True once the
    // lock is held; otherwise error() says why.
    bool hold();
    QString error() const { return m_error; }

    // From the writer's thread: once ready() is true, waits delayMs more, runs onRelease() and
    // rolls the transaction back.
    void releaseWhen(std::function<bool()> ready, int delayMs, std::function<void()> onRelease = {});
    // Rolls the transaction back now (a no-op once released).
    void release();
    bool released() const { return m_released; }

private:
    void rollback();

    QString m_file;
    QString m_error;
    sqlite3 *m_db = nullptr;
    QThread m_thread;
    QTimer *m_timer = nullptr;
    std::atomic<bool> m_released{false};
};
