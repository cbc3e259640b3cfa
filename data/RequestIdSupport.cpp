#include "data/RequestIdSupport.h"

#include "data/U_DMSql.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"

using namespace platform;

RequestIdSupport::RequestIdSupport(Database *database)
    : m_database(database)
{}

bool RequestIdSupport::saveTakesRequestId()
{
    if (m_generation >= 0 && m_database->connected() && m_generation == m_database->connectionGeneration())
        return m_takes;
    m_generation = -1;
    Query q(m_database);
    q.setStatement(UDMSql::QTakesRequestId);
    q.open();
    m_takes = !q.isEmpty() && q.fieldByName(QStringLiteral("TakesRequestId")).asInteger() > 0;
    m_generation = m_database->connectionGeneration(); // read after the open, which may have connected
    return m_takes;
}
