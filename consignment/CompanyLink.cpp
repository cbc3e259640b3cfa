#include "consignment/CompanyLink.h"

CompanyLink::CompanyLink(QObject *parent)
    : QObject(parent)
{}

void CompanyLink::reportAnswered()
{
    set(true);
}

void CompanyLink::reportLost()
{
    set(false);
}

void CompanyLink::set(bool online)
{
    if (online == m_online)
        return;
    m_online = online;
    m_changedAt = QDateTime::currentDateTimeUtc();
    Q_EMIT changed(online);
}
