#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The TDS stand-in of tests/tds on a loopback port, reached through the real ODBC stack (QODBC,
// unixODBC, FreeTDS). It records every request and answers from scripted rules; the process
// ends with the object.
class TdsStandIn
{
public:
    // options: the stand-in's own (--collation NAME, --silent).
    explicit TdsStandIn(const QStringList &options = {});
    ~TdsStandIn();
    TdsStandIn(const TdsStandIn &) = delete;
    TdsStandIn &operator=(const TdsStandIn &) = delete;

    // Empty on success, otherwise why it did not come up. Started again after stop(), it listens
    // on the same port, with the same rules and log: a server that went away and came back.
    QString start();
    void stop();
    quint16 port() const { return m_port; }
    QString dir() const { return m_dir.path(); }

    // The rules: each {"match": regex, "answer": [...]} (tests/tds/README.md). Rules added
    // later come first; base rules (a file of tests/tds) come after them.
    // times > 0: the rule answers only the first times statements it matches.
    void answer(const QString &match, const QJsonArray &answer, int times = 0);
    void answer(const QString &match, const QString &special, int times = 0); // "silent", "deaf" or "close"
    void setBaseRules(const QString &fileInSource);
    void setCollations(const QJsonObject &byDatabase); // database name -> collation name
    void clearRules();
    // One scripted result set; columns as "Name type" (" type" for a column without a name).
    static QJsonObject resultSet(const QStringList &columns, const QList<QJsonArray> &rows);

    // Every request recorded since the last clearLog(), oldest first.
    QList<QJsonObject> log() const;
    // The statement texts of the batches and RPCs the program sent (see programTexts).
    QStringList texts() const;
    void clearLog();

    // The texts of batches and RPCs in the log, without those the ODBC layers send by
    // themselves while connecting (FreeTDS's "set textsize", Qt's type and quoting set-up).
    static QStringList programTexts(const QList<QJsonObject> &log);
    // The round trips in the log: the client's messages that carried SQL batches or RPCs (several
    // RPCs in one message count once), those the ODBC layers send while connecting included.
    static int requestCount(const QList<QJsonObject> &log);
    // Writes texts as NNN.sql files into dir (emptied first) for the T-SQL parse check.
    static bool writeTexts(const QStringList &texts, const QString &dir);

    // The [DATABASE] section that reaches the stand-in through FreeTDS, as a QLM.INI file.
    bool writeIni(const QString &path, const QString &extraLines = QString()) const;
    // A connection parameter list for a database on the stand-in (server 127.0.0.1).
    static QStringList params(const QString &database, const QStringList &extra = {});
    // The FreeTDS ODBC driver library.
    static QString freeTdsDriver();

private:
    void writeScript();
    void addRule(const QString &match, const QJsonValue &answer, int times);

    QTemporaryDir m_dir;
    QStringList m_options;
    QProcess m_process;
    quint16 m_port = 0;
    QJsonArray m_rules;
    QJsonArray m_baseRules;
    QJsonObject m_collations;
    int m_serial = 0;
};
