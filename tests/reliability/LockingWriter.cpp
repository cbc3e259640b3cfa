#include "LockingWriter.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

#include <mutex>
#include <sqlite3.h>

namespace {
std::mutex rollbackMutex;
}

LockingWriter::LockingWriter(const QString &file)
    : m_file(file)
{}

LockingWriter::~LockingWriter()
{
    if (m_thread.isRunning()) {
        QMetaObject::invokeMethod(
            m_timer, [this] { m_timer->stop(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    delete m_timer;
    release();
    if (m_db)
        sqlite3_close(m_db);
}

bool LockingWriter::hold()
{
    if (sqlite3_open_v2(m_file.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    char *message = nullptr;
    // An exclusive transaction that has written: no other connection may write until it ends.
    // What it wrote goes with the rollback.
    const char *sql = "Begin Exclusive; Create Table LockingWriter_Probe (X Integer);"
                      " Insert Into LockingWriter_Probe Values (1);";
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        m_error = QString::fromUtf8(message ? message : "unknown error");
        sqlite3_free(message);
        return false;
    }
    return true;
}

void LockingWriter::rollback()
{
    const std::lock_guard<std::mutex> lock(rollbackMutex);
    if (m_released || !m_db)
        return;
    sqlite3_exec(m_db, "Rollback", nullptr, nullptr, nullptr);
    m_released = true;
}

void LockingWriter::release()
{
    rollback();
}

void LockingWriter::releaseWhen(std::function<bool()> ready, int delayMs, std::function<void()> onRelease)
{
    m_timer = new QTimer;
    m_timer->setInterval(5);
    m_timer->moveToThread(&m_thread);
    auto since = std::make_shared<QElapsedTimer>();
    QObject::connect(m_timer, &QTimer::timeout, m_timer, [=, this] {
        if (m_released) {
            m_timer->stop();
            return;
        }
        if (!since->isValid()) {
            if (!ready())
                return;
            since->start();
        }
        if (since->elapsed() < delayMs)
            return;
        if (onRelease)
            onRelease();
        rollback();
        m_timer->stop();
    });
    m_thread.start();
    QMetaObject::invokeMethod(
        m_timer, [this] { m_timer->start(); }, Qt::QueuedConnection);
}
