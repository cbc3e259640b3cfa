#pragma once

#include "support/Wine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

// Runs smtp_sink.py (beside this file) on 127.0.0.1 and reads back what it stored. The server
// process is killed when the object goes. Its tests skip under Wine (TARVO_SKIP_UNDER_WINE).
class SmtpSink
{
public:
    explicit SmtpSink(const QStringList &options = {})
        : m_options(options)
    {}

    ~SmtpSink()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }

    // The sink's certificate for 127.0.0.1 (self-signed, beside the script) and the options that
    // make the sink offer STARTTLS with it; clients check the sink against the certificate.
    static QString certificate() { return besideScript(QStringLiteral("loopback-cert.pem")); }
    static QStringList tlsOptions()
    {
        return {QStringLiteral("--tls"), certificate(), besideScript(QStringLiteral("loopback-key.pem"))};
    }

    // One line per AUTH command that arrived: "tls" over an encrypted connection, else "plain".
    QStringList authLog() const
    {
        QFile file(m_dir.filePath(QStringLiteral("auth.log")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // A loopback port nothing listens on (a mail host that is down); 0 if none could be found.
    static quint16 closedPort()
    {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost))
            return 0;
        const quint16 port = server.serverPort();
        server.close();
        return port;
    }

    // Empty on success, otherwise why the server did not come up.
    QString start()
    {
        const QString python = pythonWithAiosmtpd();
        if (python.isEmpty())
            return QStringLiteral("no Python 3 with aiosmtpd found (install python3-aiosmtpd "
                                  "or point TARVO_PYTHON at a suitable interpreter)");
        if (!m_dir.isValid())
            return QStringLiteral("no temporary directory");
        m_process.start(python, QStringList{QStringLiteral(TARVO_SMTP_SINK_SCRIPT), m_dir.path()} + m_options);
        if (!m_process.waitForStarted(20000))
            return m_process.errorString();
        // The script prints the port once its socket is listening.
        QByteArray out;
        while (!out.contains('\n')) {
            if (!m_process.waitForReadyRead(20000))
                return QStringLiteral("server gave no port: %1").arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
            out += m_process.readAllStandardOutput();
        }
        const QList<QByteArray> words = out.trimmed().split(' ');
        m_port = words.size() == 2 && words[0] == "PORT" ? words[1].toUShort() : 0;
        return m_port ? QString() : QStringLiteral("unexpected output: %1").arg(QString::fromUtf8(out));
    }

    quint16 port() const { return m_port; }

    int messageCount() const { return int(QDir(m_dir.path()).entryList({QStringLiteral("*.json")}, QDir::Files).size()); }

    // Message n (from 1): the envelope and the message as Python's email package decoded it.
    QJsonObject info(int n) const { return QJsonDocument::fromJson(read(n, ".json")).object(); }

    // Message n as it came in over DATA.
    QByteArray raw(int n) const { return read(n, ".eml"); }

private:
    static QString besideScript(const QString &name)
    {
        return QFileInfo(QStringLiteral(TARVO_SMTP_SINK_SCRIPT)).dir().filePath(name);
    }

    static QString pythonWithAiosmtpd()
    {
        QStringList candidates;
        if (qEnvironmentVariableIsSet("TARVO_PYTHON"))
            candidates << qEnvironmentVariable("TARVO_PYTHON");
        // The Debian interpreter first: that is where python3-aiosmtpd lives, while a python3
        // earlier on PATH may be another installation without it.
        candidates << QStringLiteral("/usr/bin/python3") << QStringLiteral("python3") << QStringLiteral("python");
        for (const QString &candidate : candidates) {
            QProcess probe;
            probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import aiosmtpd")});
            if (probe.waitForFinished(20000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
                return candidate;
        }
        return QString();
    }

    QByteArray read(int n, const char *suffix) const
    {
        QFile file(m_dir.filePath(QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')) + QLatin1String(suffix)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList m_options;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};
