#pragma once

#include <QStringList>
#include <QThread>
#include <functional>
#include <memory>

namespace platform {
class Database;
}

// A worker thread with a company database connection of its own (the offline mode's sender and
// the scan copy's refresher), so that what it sends or reads never holds the screen. The
// connection has the company database's parameters and settings file under a connection name
// of its own; it is made, used and closed on the thread. Jobs run one after the other, in the
// order posted; a job's exception is caught and dropped (a job reports its own failures).
class CompanyThread
{
public:
    CompanyThread(const QString &name, const QStringList &companyParams, const QString &iniPath);
    // Waits for the jobs posted, closes the connection on the thread and ends the thread.
    ~CompanyThread();
    CompanyThread(const CompanyThread &) = delete;
    CompanyThread &operator=(const CompanyThread &) = delete;

    void post(std::function<void(platform::Database &company)> job);
    // Runs job on the thread after the jobs posted before it, and waits for it.
    void runAndWait(const std::function<void(platform::Database &company)> &job);

private:
    void run(const std::function<void(platform::Database &company)> &job);

    QStringList m_params;
    QString m_iniPath;
    QThread m_thread;
    std::unique_ptr<QObject> m_context;            // lives on the thread: the jobs are its queued calls
    std::unique_ptr<platform::Database> m_company; // made by the first job, on the thread
};
