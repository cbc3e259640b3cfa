#include "platform/sql/ConnectionSettings.h"

#include "platform/core/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

namespace platform {

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

bool isFreeTdsDriver(const QString &driver)
{
    return driver.contains(QStringLiteral("FreeTDS"), Qt::CaseInsensitive) ||
        driver.contains(QStringLiteral("tdsodbc"), Qt::CaseInsensitive);
}

// Appends "KEY=value;" to an ODBC connection string. A value with a separator, a brace or blanks
// at either end goes in braces. Microsoft's driver reads a doubled "}" inside braces as one;
// FreeTDS reads from "{" to the first "}" that a ";" follows and takes everything between as it
// is, so for FreeTDS a value holding "};" cannot be written at all.
void appendOdbcValue(QString &cs, const QString &key, const QString &value, bool freeTds, QString *error)
{
    QString text = value;
    if (value.contains(u';') || value.contains(u'{') || value.contains(u'}') || value.contains(u'=') ||
        value != value.trimmed()) {
        if (freeTds && value.contains(QStringLiteral("};"))) {
            *error = QStringLiteral("The %1 of the connection contains \"};\", which the FreeTDS driver cannot take.").arg(key);
            return;
        }
        text = u'{' + (freeTds ? value : QString(value).replace(u'}', QStringLiteral("}}"))) + u'}';
    }
    cs += key + u'=' + text + u';';
}

// The "KEY=value" entries of an options text, split at the ";" outside braces.
QStringList optionEntries(const QString &options)
{
    QStringList entries;
    QString current;
    bool braced = false;
    for (const QChar c : options) {
        if (c == u'{' && !braced && current.endsWith(u'='))
            braced = true;
        else if (c == u'}' && braced)
            braced = false;
        if (c == u';' && !braced) {
            if (!current.trimmed().isEmpty())
                entries << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty())
        entries << current.trimmed();
    return entries;
}

// Encryption of a SQL Server connection, QLM.INI [DATABASE] Encryption=off|request|require,
// written as each driver spells it:
//   off      FreeTDS "Encryption=off": nothing is encrypted. Microsoft's driver cannot go below
//            "Encrypt=no", which still encrypts the login.
//   request  (the default) FreeTDS "Encryption=request", Microsoft's "Encrypt=no": the login is
//            encrypted when the server can, everything when the server demands it; a server
//            without encryption is reached in clear.
//   require  FreeTDS "Encryption=require", Microsoft's "Encrypt=yes": everything encrypted, or
//            no connection.
// Options may name no other encryption or certificate keyword than the driver's own certificate
// settings: a keyword of the other driver would be ignored in silence.
enum class Encryption { Off, Request, Require };

// Whether an option keyword is about encryption or certificates.
bool concernsEncryption(const QString &key)
{
    static const QRegularExpression words(QStringLiteral("encrypt|cert|tls|ssl|crl|^ca_?file$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return words.match(key).hasMatch();
}

// The encryption and certificate keywords a driver reads from the connection string, besides
// its encryption keyword, which the Encryption key sets. FreeTDS reads certificates only from
// freetds.conf.
bool driverKnowsEncryptionOption(const QString &key, bool freeTds)
{
    static const QStringList microsoft{QStringLiteral("TrustServerCertificate"),
                                       QStringLiteral("HostNameInCertificate"),
                                       QStringLiteral("ServerCertificate"),
                                       QStringLiteral("ClientCertificate"),
                                       QStringLiteral("ClientKey"),
                                       QStringLiteral("ColumnEncryption")};
    return !freeTds && microsoft.contains(key, Qt::CaseInsensitive);
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
    Encryption encryption = Encryption::Request;
    if (!iniPath.isEmpty()) {
        const IniFile ini(iniPath);
        const QString section = QStringLiteral("DATABASE");
        driver = ini.value(section, QStringLiteral("Driver"), driver);
        port = ini.value(section, QStringLiteral("Port"));
        options = ini.value(section, QStringLiteral("Options"));
        s.userName = ini.value(section, QStringLiteral("Login"), s.userName);
        s.password = ini.value(section, QStringLiteral("Password"), s.password);
        const QString level = ini.value(section, QStringLiteral("Encryption")).trimmed();
        if (level.compare(QStringLiteral("off"), Qt::CaseInsensitive) == 0)
            encryption = Encryption::Off;
        else if (level.compare(QStringLiteral("require"), Qt::CaseInsensitive) == 0)
            encryption = Encryption::Require;
        else if (!level.isEmpty() && level.compare(QStringLiteral("request"), Qt::CaseInsensitive) != 0)
            s.error = QStringLiteral("QLM.INI [DATABASE] Encryption %1 is not off, request or require.").arg(level);
        // A time-out in whole seconds, 1 or more.
        auto seconds = [&](const QString &key, int &into) {
            const QString text = ini.value(section, key).trimmed();
            if (text.isEmpty())
                return;
            bool ok = false;
            into = text.toInt(&ok);
            if (!ok || into < 1)
                s.error = QStringLiteral("QLM.INI [DATABASE] %1 %2 is not a whole number of seconds from 1 on.").arg(key, text);
        };
        seconds(QStringLiteral("LoginTimeout"), s.loginTimeoutSeconds);
        seconds(QStringLiteral("SaveTimeout"), s.saveTimeoutSeconds);
    }
    const bool freeTds = isFreeTdsDriver(driver);
    auto add = [&](const QString &key, const QString &value) { appendOdbcValue(s.databaseName, key, value, freeTds, &s.error); };
    s.databaseName = QStringLiteral("DRIVER={%1};").arg(driver);
    if (freeTds) {
        add(QStringLiteral("SERVER"), s.server);
        if (!port.isEmpty())
            add(QStringLiteral("PORT"), port);
    } else {
        // Microsoft's driver takes the port after the host.
        add(QStringLiteral("SERVER"), port.isEmpty() ? s.server : s.server + u',' + port);
    }
    add(QStringLiteral("DATABASE"), s.database.trimmed());
    add(QStringLiteral("UID"), s.userName);
    add(QStringLiteral("PWD"), s.password);

    // The server words its messages in English, which the Thai explanations of errors look for;
    // the login names the program in the server's session list.
    const QString appName = QCoreApplication::applicationName();
    add(QStringLiteral("APP"), appName.isEmpty() ? QStringLiteral("tarvo") : appName);
    add(QStringLiteral("Language"), QStringLiteral("us_english"));
    QString tdsVersion = QStringLiteral("7.4");
    QStringList extra;
    for (const QString &entry : optionEntries(options)) {
        const QString key = entry.section(u'=', 0, 0).trimmed();
        const QString value = entry.section(u'=', 1).trimmed();
        static const QStringList reserved{QStringLiteral("DRIVER"),
                                          QStringLiteral("SERVER"),
                                          QStringLiteral("SERVERNAME"),
                                          QStringLiteral("DSN"),
                                          QStringLiteral("ADDRESS"),
                                          QStringLiteral("PORT"),
                                          QStringLiteral("DATABASE"),
                                          QStringLiteral("UID"),
                                          QStringLiteral("PWD"),
                                          QStringLiteral("APP"),
                                          QStringLiteral("LANGUAGE"),
                                          QStringLiteral("CLIENTCHARSET"),
                                          QStringLiteral("CLIENT_CHARSET"),
                                          QStringLiteral("TIMEOUT")};
        const QString encryptionKeyword = freeTds ? QStringLiteral("Encryption") : QStringLiteral("Encrypt");
        if (reserved.contains(key, Qt::CaseInsensitive)) {
            s.error = QStringLiteral("QLM.INI [DATABASE] Options must not set %1: the program sets it.").arg(key);
        } else if (key.compare(encryptionKeyword, Qt::CaseInsensitive) == 0) {
            s.error = QStringLiteral("QLM.INI [DATABASE] Options must not set %1: use the key Encryption=off, request "
                                     "or require.")
                          .arg(key);
        } else if (concernsEncryption(key) && !driverKnowsEncryptionOption(key, freeTds)) {
            s.error = QStringLiteral("QLM.INI [DATABASE] Options: the driver %1 does not know %2 and would ignore it. "
                                     "Set encryption with the key Encryption=off, request or require%3.")
                          .arg(driver, key,
                               freeTds ? QStringLiteral("; FreeTDS reads certificate settings from freetds.conf") : QString());
        } else if (key.compare(QStringLiteral("TDS_Version"), Qt::CaseInsensitive) == 0) {
            // 7.4 for SQL Server 2012 and later, 7.3 for 2008 R2. Anything else would let the
            // driver guess, and its guess tries an old protocol that a silent server never ends.
            if (value != QLatin1String("7.4") && value != QLatin1String("7.3"))
                s.error = QStringLiteral("QLM.INI [DATABASE] Options: TDS_Version %1 is not supported; use 7.4, "
                                         "or 7.3 for SQL Server 2008 R2.")
                              .arg(value);
            tdsVersion = value;
        } else {
            extra << entry;
        }
    }
    s.queryTimeoutSeconds = qMax(0, paramValue(params, QStringLiteral("MAX QUERY TIME")).toInt());
    if (freeTds) {
        // Qt hands FreeTDS text as UTF-8; the version is pinned (see loginTimeoutSeconds); the
        // statement time-out also bounds what the driver and Qt send by themselves.
        add(QStringLiteral("TDS_Version"), tdsVersion);
        add(QStringLiteral("ClientCharset"), QStringLiteral("UTF-8"));
        if (s.queryTimeoutSeconds > 0)
            add(QStringLiteral("Timeout"), QString::number(s.queryTimeoutSeconds));
    }
    if (freeTds) {
        static const char *const level[] = {"off", "request", "require"};
        add(QStringLiteral("Encryption"), QLatin1String(level[int(encryption)]));
    } else {
        add(QStringLiteral("Encrypt"), encryption == Encryption::Require ? QStringLiteral("yes") : QStringLiteral("no"));
    }
    for (const QString &entry : extra)
        s.databaseName += entry + u';';

    QStringList connectOptions{QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(s.loginTimeoutSeconds)};
    const QString packetSize = paramValue(params, QStringLiteral("TDS PACKET SIZE"));
    if (!packetSize.isEmpty())
        connectOptions << QStringLiteral("SQL_ATTR_PACKET_SIZE=%1").arg(packetSize);
    s.connectOptions = connectOptions.join(u';');
    return s;
}

} // namespace platform
