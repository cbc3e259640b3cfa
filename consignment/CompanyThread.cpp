#include "consignment/CompanyThread.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"

using namespace platform;

CompanyThread::CompanyThread(const QString &name, const QStringList &companyParams, const QString &iniPath)
    : m_params(companyParams)
    , m_iniPath(iniPath)
    , m_context(std::make_unique<QObject>())
{
    m_thread.setObjectName(name);
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

CompanyThread::~CompanyThread()
{
    runAndWait([this](Database &) {
        m_company.reset(); // closed on the thread that opened it
    });
    m_thread.quit();
    m_thread.wait();
    // The context goes on this thread: it has no events left.
}

void CompanyThread::post(std::function<void(Database &company)> job)
{
    QMetaObject::invokeMethod(
        m_context.get(), [this, job = std::move(job)] { run(job); }, Qt::QueuedConnection);
}

void CompanyThread::runAndWait(const std::function<void(Database &company)> &job)
{
    QMetaObject::invokeMethod(
        m_context.get(), [this, &job] { run(job); }, Qt::BlockingQueuedConnection);
}

void CompanyThread::run(const std::function<void(Database &company)> &job)
{
    if (!m_company) {
        m_company = std::make_unique<Database>(QStringLiteral("DMDATA"));
        m_company->params = m_params;
        m_company->setIniPath(m_iniPath);
    }
    try {
        job(*m_company);
    } catch (...) {
        qWarning("%s: %s", qPrintable(m_thread.objectName()), qPrintable(currentExceptionMessage()));
    }
}
