#include "support/TdsStandIn.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

TdsStandIn::TdsStandIn(const QStringList &options)
    : m_options(options)
{}

TdsStandIn::~TdsStandIn()
{
    stop();
}

void TdsStandIn::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel(); // the stand-in ends when its input closes
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString TdsStandIn::freeTdsDriver()
{
    return QStringLiteral(TARVO_TDSODBC_DRIVER);
}

QString TdsStandIn::start()
{
    if (freeTdsDriver().isEmpty() || !QFile::exists(freeTdsDriver()))
        return QStringLiteral("the FreeTDS ODBC driver is not installed (Debian package tdsodbc)");
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return QStringLiteral("python3 is not installed");
    if (!m_dir.isValid())
        return QStringLiteral("no temporary directory");
    writeScript();
    const QString script = qEnvironmentVariable("TARVO_SOURCE_DIR") + QStringLiteral("/tests/tds/tds_standin.py");
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(python,
                    QStringList{script, QStringLiteral("--script"), m_dir.filePath(QStringLiteral("script.json")),
                                QStringLiteral("--log"), m_dir.filePath(QStringLiteral("log.jsonl")), QStringLiteral("--port"),
                                QString::number(m_port)} +
                        m_options);
    if (!m_process.waitForStarted(20000))
        return m_process.errorString();
    QByteArray out;
    while (!out.contains('\n')) {
        if (!m_process.waitForReadyRead(20000))
            return QStringLiteral("the stand-in gave no port");
        out += m_process.readAllStandardOutput();
    }
    const QList<QByteArray> words = out.trimmed().split(' ');
    m_port = words.size() == 2 && words[0] == "PORT" ? words[1].toUShort() : 0;
    return m_port ? QString() : QStringLiteral("unexpected output: %1").arg(QString::fromUtf8(out));
}

void TdsStandIn::addRule(const QString &match, const QJsonValue &answer, int times)
{
    QJsonObject rule{{QStringLiteral("match"), match}, {QStringLiteral("answer"), answer}};
    if (times > 0) {
        rule.insert(QStringLiteral("times"), times);
        // Counted by the rule's text: a rule set again later counts afresh.
        rule.insert(QStringLiteral("serial"), ++m_serial);
    }
    m_rules.prepend(rule);
    writeScript();
}

void TdsStandIn::answer(const QString &match, const QJsonArray &answer, int times)
{
    addRule(match, answer, times);
}

void TdsStandIn::answer(const QString &match, const QString &special, int times)
{
    addRule(match, special, times);
}

void TdsStandIn::setBaseRules(const QString &fileInSource)
{
    QFile f(qEnvironmentVariable("TARVO_SOURCE_DIR") + u'/' + fileInSource);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(f.fileName()));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("%s: %s", qPrintable(f.fileName()), qPrintable(error.errorString()));
    m_baseRules = doc.object().value(QStringLiteral("rules")).toArray();
    writeScript();
}

void TdsStandIn::setCollations(const QJsonObject &byDatabase)
{
    m_collations = byDatabase;
    writeScript();
}

void TdsStandIn::clearRules()
{
    m_rules = QJsonArray();
    writeScript();
}

QJsonObject TdsStandIn::resultSet(const QStringList &columns, const QList<QJsonArray> &rows)
{
    QJsonArray described;
    for (const QString &c : columns)
        described.append(QJsonArray{c.section(u' ', 0, -2), c.section(u' ', -1)});
    QJsonArray values;
    for (const QJsonArray &row : rows)
        values.append(row);
    return QJsonObject{{QStringLiteral("columns"), described}, {QStringLiteral("rows"), values}};
}

void TdsStandIn::writeScript()
{
    QJsonArray rules = m_rules;
    for (const QJsonValue &rule : m_baseRules)
        rules.append(rule);
    QSaveFile f(m_dir.filePath(QStringLiteral("script.json")));
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write the stand-in's script");
    f.write(QJsonDocument(QJsonObject{{QStringLiteral("rules"), rules}, {QStringLiteral("collations"), m_collations}}).toJson());
    f.commit();
}

QList<QJsonObject> TdsStandIn::log() const
{
    QList<QJsonObject> entries;
    QFile f(m_dir.filePath(QStringLiteral("log.jsonl")));
    if (!f.open(QIODevice::ReadOnly))
        return entries;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (!line.trimmed().isEmpty())
            entries << QJsonDocument::fromJson(line).object();
    return entries;
}

void TdsStandIn::clearLog()
{
    QFile::remove(m_dir.filePath(QStringLiteral("log.jsonl")));
}

QStringList TdsStandIn::texts() const
{
    return programTexts(log());
}

QStringList TdsStandIn::programTexts(const QList<QJsonObject> &log)
{
    // Sent by FreeTDS after the login and by Qt's driver when it opens a connection.
    static const QRegularExpression layers(QStringLiteral("^\\s*(set textsize \\d+\\s*|sp_datatype_info(_100)? -?\\d+|"
                                                          "SET QUOTED_IDENTIFIER ON)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    QStringList texts;
    for (const QJsonObject &entry : log) {
        const QString kind = entry.value(QStringLiteral("kind")).toString();
        const QString text = entry.value(QStringLiteral("text")).toString();
        if ((kind == QLatin1String("batch") || kind == QLatin1String("rpc")) && !text.isEmpty() && !layers.match(text).hasMatch())
            texts << text;
    }
    return texts;
}

int TdsStandIn::requestCount(const QList<QJsonObject> &log)
{
    QSet<QPair<int, int>> requests; // connection, message
    for (const QJsonObject &entry : log) {
        const QString kind = entry.value(QStringLiteral("kind")).toString();
        if (kind == QLatin1String("batch") || kind == QLatin1String("rpc"))
            requests.insert({entry.value(QStringLiteral("conn")).toInt(), entry.value(QStringLiteral("message")).toInt()});
    }
    return int(requests.size());
}

bool TdsStandIn::writeTexts(const QStringList &texts, const QString &dir)
{
    QDir(dir).removeRecursively();
    if (!QDir().mkpath(dir))
        return false;
    QSet<QString> seen;
    int n = 0;
    for (const QString &text : texts) {
        if (seen.contains(text))
            continue;
        seen.insert(text);
        QFile f(QDir(dir).filePath(QStringLiteral("%1.sql").arg(++n, 3, 10, QLatin1Char('0'))));
        if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8() + '\n') < 0)
            return false;
    }
    return n > 0;
}

bool TdsStandIn::writeIni(const QString &path, const QString &extraLines) const
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(QStringLiteral("[DATABASE]\nDriver=%1\nPort=%2\n%3").arg(freeTdsDriver()).arg(m_port).arg(extraLines).toUtf8());
    return true;
}

QStringList TdsStandIn::params(const QString &database, const QStringList &extra)
{
    return QStringList{QStringLiteral("DATABASE NAME=") + database, QStringLiteral("SERVER NAME=127.0.0.1"),
                       QStringLiteral("USER NAME=qlm"), QStringLiteral("PASSWORD=marigold")} +
        extra;
}
