// Reading the error-mail settings from an INI file as people write them by hand.

#include "platform/mail/MailSettings.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

QString writeIni(const QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath(QStringLiteral("QLM.INI"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(text);
    return path;
}

} // namespace

class TestMailSettings : public QObject
{
    Q_OBJECT

private slots:
    void readsEverySetting();
    void notConfiguredWithoutHost();
    void badNumbersTakeDefaults();
    void tlsModes_data();
    void tlsModes();
};

void TestMailSettings::readsEverySetting()
{
    QTemporaryDir dir;
    // Section and keys in another case than documented, beside an unrelated section.
    const QString path = writeIni(dir,
                                  "[DATABASE]\nHost=sql.example\n\n"
                                  "[ErrorMail]\n"
                                  "host = relay.maker.example \n"
                                  "PORT=2525\n"
                                  "sender=errors@maker.example\n"
                                  "Recipient=support@maker.example\n"
                                  "USERID=errors@maker.example\n"
                                  "User=reporter\n"
                                  "Password=\"pa,ss ผ่าน\"\n"
                                  "usetls=starttls\n"
                                  "allowplainlogin=Yes\n"
                                  "CaFile=/etc/qlm/relay-ca.pem\n"
                                  "ConnectTimeoutMs=1500\n"
                                  "timeoutms=4000\n");
    const MailSettings s = MailSettings::fromIniFile(path);
    QVERIFY(s.isConfigured());
    QCOMPARE(s.host, QStringLiteral("relay.maker.example"));
    QCOMPARE(s.port, 2525);
    QCOMPARE(s.sender, QStringLiteral("errors@maker.example"));
    QCOMPARE(s.recipient, QStringLiteral("support@maker.example"));
    QCOMPARE(s.userId, QStringLiteral("errors@maker.example"));
    QCOMPARE(s.user, QStringLiteral("reporter"));
    QCOMPARE(s.password, QStringLiteral("pa,ss ผ่าน"));
    QCOMPARE(s.tlsMode, SmtpClient::TlsMode::StartTls);
    QCOMPARE(s.connectTimeoutMs, 1500);
    QCOMPARE(s.timeoutMs, 4000);

    SmtpClient client;
    s.applyTo(client);
    QCOMPARE(client.host(), QStringLiteral("relay.maker.example"));
    QCOMPARE(client.port(), 2525);
    QCOMPARE(client.ehloName(), QStringLiteral("maker.example"));
    QCOMPARE(client.user(), QStringLiteral("reporter"));
    QCOMPARE(client.tlsMode(), SmtpClient::TlsMode::StartTls);
    QVERIFY(client.allowPlainLogin());
    QCOMPARE(client.caFile(), QStringLiteral("/etc/qlm/relay-ca.pem"));
    QCOMPARE(client.connectTimeoutMs(), 1500);
    QCOMPARE(client.timeoutMs(), 4000);
}

void TestMailSettings::notConfiguredWithoutHost()
{
    QTemporaryDir dir;
    QVERIFY(!MailSettings::fromIniFile(dir.filePath(QStringLiteral("missing.ini"))).isConfigured());
    QVERIFY(!MailSettings::fromIniFile(writeIni(dir, "[ERRORMAIL]\nHost=  \nSender=a@b.example\n")).isConfigured());
    QVERIFY(!MailSettings::fromIniFile(writeIni(dir, "[OTHER]\nHost=relay.example\n")).isConfigured());
}

void TestMailSettings::badNumbersTakeDefaults()
{
    QTemporaryDir dir;
    const MailSettings s = MailSettings::fromIniFile(
        writeIni(dir, "[ERRORMAIL]\nHost=relay.example\nPort=70000\nConnectTimeoutMs=-1\nTimeoutMs=ten\n"));
    QCOMPARE(s.port, 25);
    QCOMPARE(s.connectTimeoutMs, SmtpClient::defaultConnectTimeoutMs);
    QCOMPARE(s.timeoutMs, SmtpClient::defaultTimeoutMs);
    QCOMPARE(s.tlsMode, SmtpClient::TlsMode::IfOffered);
    // A login in the clear only when the file says so in as many words.
    QVERIFY(!s.allowPlainLogin);
    for (const char *notYes : {"", "maybe", "no", "0"})
        QVERIFY(!MailSettings::fromIniFile(writeIni(dir, QByteArray("[ERRORMAIL]\nAllowPlainLogin=") + notYes + "\n"))
                     .allowPlainLogin);
}

void TestMailSettings::tlsModes_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<SmtpClient::TlsMode>("mode");
    QTest::newRow("no") << QByteArray("no") << SmtpClient::TlsMode::IfOffered;
    QTest::newRow("false") << QByteArray("False") << SmtpClient::TlsMode::IfOffered;
    QTest::newRow("yes") << QByteArray("yes") << SmtpClient::TlsMode::StartTls;
    QTest::newRow("1") << QByteArray("1") << SmtpClient::TlsMode::StartTls;
    QTest::newRow("ssl") << QByteArray("SSL") << SmtpClient::TlsMode::Implicit;
    QTest::newRow("typo asks for TLS") << QByteArray("ture") << SmtpClient::TlsMode::StartTls;
}

void TestMailSettings::tlsModes()
{
    QFETCH(QByteArray, value);
    QFETCH(SmtpClient::TlsMode, mode);
    QTemporaryDir dir;
    const MailSettings s = MailSettings::fromIniFile(writeIni(dir, "[ERRORMAIL]\nHost=relay.example\nUseTls=" + value + "\n"));
    QCOMPARE(s.tlsMode, mode);
}

QTEST_GUILESS_MAIN(TestMailSettings)
#include "tst_mailsettings.moc"
