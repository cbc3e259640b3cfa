#pragma once

#include "platform/report/ReportDataProvider.h"

class Database;

// Runs the datasets of report definitions on a connection of the program (the company
// connection for report screens): the embedded engine's text when the connection is the
// embedded engine and the dataset has one, the main text otherwise. Parameters go through the
// program's binder, matched without regard to case. Errors raise EDatabaseError.
class CompanyReportData : public ReportDataProvider
{
public:
    explicit CompanyReportData(Database *database);

    ReportDataResult fetch(const QString &sql, const QString &alternativeSql, const QVariantMap &parameters) override;

private:
    Database *m_database;
};
