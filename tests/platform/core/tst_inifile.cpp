// The suite's settings file read and written the way the suite's other programs do.

#include "platform/core/IniFile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace platform;

namespace {

// A settings file as the suite's programs and administrators leave it.
const QByteArray suiteIni = "\xEF\xBB\xBF; QLM suite settings\r\n"
                            "[Database]\r\n"
                            "Driver = FreeTDS\r\n"
                            "Options=TDS_Version=7.4;Encrypt=yes;TrustServerCertificate=yes\r\n"
                            "Password=pa;ss#word\r\n"
                            "Login=\r\n"
                            "\r\n"
                            "# reports of the suite\r\n"
                            "[REPORTS]\r\n"
                            "ReportPath=C:\\QLM\\Reports\\Thai\r\n"
                            "Key With Space=1\r\n"
                            "Title=\"  บริษัท ตัวอย่าง จำกัด  \"\r\n"
                            "Quoted='a, b'\r\n"
                            "\r\n"
                            "[SearchBarCode]\r\n"
                            "Left=10\r\n"
                            "Left=99\r\n"
                            "Other=kept\r\n"
                            "; placement ends here\r\n"
                            "\r\n"
                            "[Database]\r\n"
                            "Driver=second section, never read\r\n"
                            "[Last]\r\n"
                            "NoNewLine=1";

QString writeFile(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("QLM.INI"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void readsValuesAsTheSuiteWritesThem()
    {
        QTemporaryDir dir;
        const IniFile ini(writeFile(dir, suiteIni));
        QCOMPARE(ini.value("DATABASE", "driver"), QString("FreeTDS"));
        QCOMPARE(ini.value("database", "Options"), QString("TDS_Version=7.4;Encrypt=yes;TrustServerCertificate=yes"));
        QCOMPARE(ini.value("DATABASE", "Password"), QString("pa;ss#word"));
        QCOMPARE(ini.value("REPORTS", "ReportPath"), QString("C:\\QLM\\Reports\\Thai"));
        QCOMPARE(ini.value("reports", "key with space"), QString("1"));
        QCOMPARE(ini.value("REPORTS", "Title"), QString("  บริษัท ตัวอย่าง จำกัด  "));
        QCOMPARE(ini.value("REPORTS", "Quoted"), QString("a, b"));
        QCOMPARE(ini.value("SEARCHBARCODE", "Left"), QString("10"));
        QCOMPARE(ini.value("Last", "NoNewLine"), QString("1"));

        // An empty value is given; a missing one takes the fallback.
        QVERIFY(ini.contains("DATABASE", "Login"));
        QCOMPARE(ini.value("DATABASE", "Login", "qlm"), QString(""));
        QVERIFY(!ini.value("DATABASE", "Login").isNull());
        QVERIFY(!ini.contains("DATABASE", "Port"));
        QCOMPARE(ini.value("DATABASE", "Port", "1433"), QString("1433"));
        QVERIFY(ini.value("NOSUCH", "Driver").isNull());

        // Comments are never keys; a missing file reads as empty.
        QVERIFY(!ini.contains("SEARCHBARCODE", "; placement ends here"));
        QVERIFY(IniFile(dir.filePath("missing.ini")).value("DATABASE", "Driver").isNull());
    }

    void writesOnlyItsOwnLines()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, suiteIni);
        IniFile ini(path);
        ini.setValue("SEARCHBARCODE", "Left", "10"); // unchanged: nothing to write
        QVERIFY(ini.save());
        QCOMPARE(readFile(path), suiteIni);

        ini.setValue("SEARCHBARCODE", "left", "40");
        ini.setValue("SEARCHBARCODE", "Width", "760");
        ini.setValue("ERRORMAIL", "Sender", " leading blank");
        ini.setValue("Last", "Added", "2");
        QVERIFY(ini.save());

        QByteArray expected = suiteIni;
        expected.replace("Left=10\r\n", "Left=40\r\n");
        expected.replace("Other=kept\r\n", "Other=kept\r\nWidth=760\r\n");
        expected.replace("NoNewLine=1", "NoNewLine=1\r\nAdded=2\r\n\r\n[ERRORMAIL]\r\nSender=\" leading blank\"\r\n");
        QCOMPARE(readFile(path), expected);

        const IniFile reread(path);
        QCOMPARE(reread.value("ERRORMAIL", "Sender"), QString(" leading blank"));
        QCOMPARE(reread.value("SEARCHBARCODE", "Width"), QString("760"));
        QCOMPARE(reread.value("DATABASE", "Options"), QString("TDS_Version=7.4;Encrypt=yes;TrustServerCertificate=yes"));

        // A file that did not exist gets the section alone.
        IniFile fresh(dir.filePath("NEW.INI"));
        fresh.setValue("SEARCHBARCODE", "Top", "5");
        QVERIFY(fresh.save());
        QCOMPARE(readFile(dir.filePath("NEW.INI")), QByteArray("[SEARCHBARCODE]\nTop=5\n"));
    }

    void keepsThaiCodePage874()
    {
        QTemporaryDir dir;
        // "ระบบ" in code page 874, LF line ends.
        const QByteArray tis620 = "[ERRORMAIL]\nSender=\xc3\xd0\xba\xba <qlm@example.com>\n";
        const QString path = writeFile(dir, tis620);
        IniFile ini(path);
        QCOMPARE(ini.value("ERRORMAIL", "Sender"), QString("ระบบ <qlm@example.com>"));
        ini.setValue("ERRORMAIL", "User", "ผู้ใช้");
        QVERIFY(ini.save());
        QCOMPARE(readFile(path), tis620 + "User=\xbc\xd9\xe9\xe3\xaa\xe9\n");
    }

    void aFailedWriteSaysWhy()
    {
        QTemporaryDir dir;
        IniFile ini(dir.filePath("no/such/folder/QLM.INI"));
        ini.setValue("SEARCHBARCODE", "Left", "1");
        QString error;
        QVERIFY(!ini.save(&error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
