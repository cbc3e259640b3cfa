#pragma once

#include "data/Dm_Config.h"
#include "data/LaunchContext.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "platform/sql/Database.h"
#include "support/DemoDatabases.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTest>

// The program's data modules on fresh demo databases, set up as the program entry sets them up
// for a report screen: Server.Dat names the embedded engine, the working directory is the demo
// folder (where report screens look for their definitions), the launch parameters name the
// menu entry, the user and the company DEMO. The shipped report definitions and the tests' own
// are copied into the folder.
class ReportProgram
{
public:
    explicit ReportProgram(int userId = 1, int menuId = 2)
    {
        m_oldDir = QDir::currentPath();
        QFile server(m_dbs.dir() + QStringLiteral("/Server.Dat"));
        if (server.open(QIODevice::WriteOnly))
            server.write(m_dbs.server().toUtf8() + "\n");
        server.close();
        const QString source = qEnvironmentVariable("TARVO_SOURCE_DIR");
        for (const QString &folder : {source + QStringLiteral("/reports/definitions"), source + QStringLiteral("/tests/reports/definitions")}) {
            const QStringList files = QDir(folder).entryList({QStringLiteral("*.frf")}, QDir::Files);
            for (const QString &file : files)
                QFile::copy(folder + u'/' + file, m_dbs.dir() + u'/' + file);
        }
        QDir::setCurrent(m_dbs.dir());
        DMConfig = new TDMConfig;
        DM = new TDM;
        signIn(userId, menuId);
        DMConfig->GetCompanyConfig(QStringLiteral("DEMO"));
        DM->DMdata->open();
    }

    ~ReportProgram()
    {
        delete DM;
        DM = nullptr;
        delete DMConfig;
        DMConfig = nullptr;
        QDir::setCurrent(m_oldDir);
    }

    // Launch parameters and rights of another user (the language flag comes with them).
    void signIn(int userId, int menuId = 2)
    {
        setLaunchParameters({QStringLiteral("tarvo-consignment"), QString::number(menuId), QString::number(userId),
                             QStringLiteral("DEMO"), QStringLiteral("-"), QStringLiteral("2")});
        DMConfig->CheckRight(menuId, userId);
    }

    void setLanguage(int userId, int languageNo)
    {
        m_dbs.config().execute(QStringLiteral("update Username set LanguageNo = %1 where Id = %2").arg(languageNo).arg(userId));
    }

    QString dir() const { return m_dbs.dir(); }
    DemoDatabases &databases() { return m_dbs; }
    QVariant scalar(const QString &sql) { return m_dbs.scalar(sql); }

private:
    DemoDatabases m_dbs;
    QString m_oldDir;
};
