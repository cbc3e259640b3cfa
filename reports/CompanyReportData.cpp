#include "reports/CompanyReportData.h"

#include "platform/sql/Database.h"
#include "platform/sql/Query.h"

using namespace platform;

CompanyReportData::CompanyReportData(Database *database)
    : m_database(database)
{}

ReportDataResult CompanyReportData::fetch(const QString &sql, const QString &alternativeSql, const QVariantMap &parameters)
{
    m_database->ensureOpen();
    const bool embedded = m_database->dialect() == SqlDialect::Sqlite;
    const QString text = embedded && !alternativeSql.trimmed().isEmpty() ? alternativeSql : sql;

    Query query(m_database);
    query.setSql(text.split(QLatin1Char('\n')));
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        query.setParam(it.key(), it.value());
    query.open();

    ReportDataResult result;
    result.columns = query.fieldNames();
    const int columns = int(result.columns.size());
    result.rows.reserve(query.recordCount());
    for (int row = 0; row < query.recordCount(); ++row) {
        QVariantList values;
        values.reserve(columns);
        for (int column = 0; column < columns; ++column)
            values.append(query.value(row, column));
        result.rows.append(values);
    }
    return result;
}
