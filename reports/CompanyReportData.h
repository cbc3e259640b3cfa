#pragma once

#include "platform/report/ReportDataProvider.h"

namespace platform {
class Database;
}

// Runs the datasets of report definitions on a connection of the program (the company
// connection for report screens): the embedded engine's text when the connection is the
// embedded engine and the dataset has one, the main text otherwise. Parameters go through the
// program's binder, matched without regard to case. Errors raise EDatabaseError.
class CompanyReportData : public platform::ReportDataProvider
{
public:
    explicit CompanyReportData(platform::Database *database);

    platform::ReportDataResult fetch(const QString &sql, const QString &alternativeSql, const QVariantMap &parameters) override;

private:
    platform::Database *m_database;
};
