#pragma once

#include "platform/core/Exceptions.h"
#include "platform/report/ReportDataProvider.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

// A data provider for the report tests: runs a dataset's text (its SQLite text when it has
// one) on a QSQLITE database, binding `:Name` parameters positionally, and records what it
// was asked. A failing statement raises EDatabaseError, as the program's own provider does.
class SqliteReportProvider : public platform::ReportDataProvider
{
public:
    explicit SqliteReportProvider(QString connectionName)
        : m_connectionName(std::move(connectionName))
    {}

    platform::ReportDataResult fetch(const QString &sql, const QString &alternativeSql, const QVariantMap &parameters) override
    {
        calls.append({sql, alternativeSql, parameters});
        QString text = alternativeSql.isEmpty() ? sql : alternativeSql;
        QVariantList values;
        static const QRegularExpression parameter(QStringLiteral(":([A-Za-z_][A-Za-z0-9_]*)"));
        QRegularExpressionMatch match;
        while ((match = parameter.match(text)).hasMatch()) {
            QVariant value;
            for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
                if (it.key().compare(match.captured(1), Qt::CaseInsensitive) == 0)
                    value = it.value();
            }
            values.append(value);
            text.replace(match.capturedStart(), match.capturedLength(), QStringLiteral("?"));
        }
        QSqlQuery query(QSqlDatabase::database(m_connectionName));
        if (!query.prepare(text))
            throw platform::EDatabaseError(query.lastError().text());
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec())
            throw platform::EDatabaseError(query.lastError().text());
        platform::ReportDataResult result;
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i)
            result.columns.append(record.fieldName(i));
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < record.count(); ++i)
                row.append(query.value(i));
            result.rows.append(row);
        }
        return result;
    }

    struct Call {
        QString sql;
        QString alternativeSql;
        QVariantMap parameters;
    };
    QList<Call> calls;

private:
    QString m_connectionName;
};
