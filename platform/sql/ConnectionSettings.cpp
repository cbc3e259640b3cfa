#include "platform/sql/ConnectionSettings.h"

#include "platform/core/IniFile.h"

#include <QDir>

namespace {

const QString configDatabaseName = QStringLiteral("QLM_CONFIG");

QString defaultOdbcDriver()
{
#ifdef Q_OS_WIN
    return QStringLiteral("ODBC Driver 17 for SQL Server");
#else
    return QStringLiteral("FreeTDS");
#endif
}

QString escapeOdbcValue(const QString &value)
{
    // Values with separators are wrapped in braces; a closing brace inside is doubled.
    if (value.contains(u';') || value.contains(u'{') || value.contains(u'}') || value.contains(u'=')
        || value != value.trimmed())
        return u'{' + QString(value).replace(u'}', QStringLiteral("}}")) + u'}';
    return value;
}

} // namespace

QString ConnectionSettings::paramValue(const QStringList &params, const QString &name)
{
    for (const QString &entry : params) {
        const int eq = entry.indexOf(u'=');
        if (eq > 0 && entry.left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return entry.mid(eq + 1);
    }
    return QString();
}

int ConnectionSettings::sqliteBusyTimeoutMs()
{
    const QByteArray text = qgetenv("TARVO_SQLITE_BUSY_TIMEOUT_MS").trimmed();
    bool ok = false;
    const int ms = text.toInt(&ok);
    return ok && ms >= 0 ? ms : defaultSqliteBusyTimeoutMs;
}

ConnectionSettings ConnectionSettings::resolve(const QStringList &params, const QString &iniPath)
{
    ConnectionSettings s;
    s.server = paramValue(params, QStringLiteral("SERVER NAME"));
    s.database = paramValue(params, QStringLiteral("DATABASE NAME"));
    s.userName = paramValue(params, QStringLiteral("USER NAME"));
    s.password = paramValue(params, QStringLiteral("PASSWORD"));
    s.isConfigDatabase = s.database.trimmed().compare(configDatabaseName, Qt::CaseInsensitive) == 0;

    const bool embedded = s.server.startsWith(QStringLiteral("sqlite:"), Qt::CaseInsensitive);
    const bool embeddedOverOdbc = s.server.startsWith(QStringLiteral("sqlite-odbc:"), Qt::CaseInsensitive);
    if (embedded || embeddedOverOdbc) {
        s.dialect = SqlDialect::Sqlite;
        s.sqliteDir = QDir::cleanPath(s.server.mid(s.server.indexOf(u':') + 1));
        s.sqliteFile = QDir(s.sqliteDir).filePath(s.database.toUpper() + QStringLiteral(".sqlite"));
        s.configFile = QDir(s.sqliteDir).filePath(configDatabaseName + QStringLiteral(".sqlite"));
        if (embedded) {
            s.qtDriver = QStringLiteral("QSQLITE");
            s.databaseName = s.sqliteFile;
            // URI file names let the configuration database be attached read-only (Database).
            s.connectOptions = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_URI").arg(sqliteBusyTimeoutMs());
        } else {
            s.qtDriver = QStringLiteral("QODBC");
            s.databaseName =
                QStringLiteral("DRIVER={SQLite3};Database=%1;Timeout=%2;").arg(s.sqliteFile).arg(sqliteBusyTimeoutMs());
        }
        return s;
    }

    // SQL Server over ODBC. Driver, port, extra options and an optional login come from the
    // settings file; the parameter list gives server, database, login and password.
    s.dialect = SqlDialect::SqlServer;
    s.qtDriver = QStringLiteral("QODBC");
    QString driver = defaultOdbcDriver();
    QString port;
    QString options;
    if (!iniPath.isEmpty()) {
        const IniFile ini(iniPath);
        const QString section = QStringLiteral("DATABASE");
        driver = ini.value(section, QStringLiteral("Driver"), driver);
        port = ini.value(section, QStringLiteral("Port"));
        options = ini.value(section, QStringLiteral("Options"));
        s.userName = ini.value(section, QStringLiteral("Login"), s.userName);
        s.password = ini.value(section, QStringLiteral("Password"), s.password);
    }
    QString cs = QStringLiteral("DRIVER={%1};SERVER=%2;").arg(driver, escapeOdbcValue(s.server));
    if (!port.isEmpty())
        cs += QStringLiteral("PORT=%1;").arg(port);
    cs += QStringLiteral("DATABASE=%1;UID=%2;PWD=%3;")
              .arg(escapeOdbcValue(s.database.trimmed()), escapeOdbcValue(s.userName), escapeOdbcValue(s.password));
    if (driver.contains(QStringLiteral("FreeTDS"), Qt::CaseInsensitive) && !options.contains(QStringLiteral("ClientCharset"), Qt::CaseInsensitive))
        cs += QStringLiteral("ClientCharset=UTF-8;");
    if (!options.isEmpty())
        cs += options.endsWith(u';') ? options : options + u';';
    s.databaseName = cs;

    const QString packetSize = paramValue(params, QStringLiteral("TDS PACKET SIZE"));
    QStringList connectOptions{QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15")};
    const QString queryTime = paramValue(params, QStringLiteral("MAX QUERY TIME"));
    if (!queryTime.isEmpty())
        connectOptions << QStringLiteral("SQL_ATTR_CONNECTION_TIMEOUT=%1").arg(queryTime);
    if (!packetSize.isEmpty())
        connectOptions << QStringLiteral("SQL_ATTR_PACKET_SIZE=%1").arg(packetSize);
    s.connectOptions = connectOptions.join(u';');
    return s;
}
