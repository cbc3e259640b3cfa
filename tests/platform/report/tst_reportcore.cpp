#include "ReportFixture.h"
#include "SqliteReportProvider.h"

#include "platform/report/ReportCsvExporter.h"
#include "platform/report/ReportEngine.h"
#include "support/XlsxReader.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QtTest>

using namespace platform;

using namespace ReportFixture;

// The report engine in a process without widgets (a QGuiApplication, Qt Widgets and Qt
// PrintSupport not even loaded): it prepares a report and exports it to every format.
class TestReportCore : public QObject
{
    Q_OBJECT

private slots:
    void preparesAndExportsWithoutWidgets()
    {
        QVERIFY(!qApp->inherits("QApplication"));
        QLocale::setDefault(QLocale::c());
        QTemporaryDir dir;
        createSales(QStringLiteral("core"), dir.filePath(QStringLiteral("sales.sqlite")), 300);
        SqliteReportProvider provider(QStringLiteral("core"));
        ReportEngine engine;
        engine.setDataProvider(&provider);
        QVERIFY(engine.loadFromFile(definitionPath(QStringLiteral("sales.xml"))));
        engine.setVariable(QStringLiteral("GetYear"), QStringLiteral("2024"));
        engine.setVariable(QStringLiteral("CONDITION"), QStringLiteral("''"));
        const ReportPrepareResult result = engine.prepare();
        QVERIFY2(result.ok, qPrintable(result.message));
        QVERIFY(engine.document().pages.size() >= 5);

        const QString pdf = dir.filePath(QStringLiteral("sales.pdf"));
        engine.exportTo(ReportExport::Format::Pdf, pdf);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
        QCOMPARE(QString::fromLatin1(bytes).count(page), engine.document().pages.size());

        const QString xlsx = dir.filePath(QStringLiteral("sales.xlsx"));
        engine.exportTo(ReportExport::Format::Xlsx, xlsx);
        XlsxReader reader;
        QVERIFY2(reader.read(xlsx), qPrintable(reader.error()));
        const QByteArray csv = ReportCsvExporter::toCsv(engine.document());
        QCOMPARE(reader.rowCount(), int(csv.count("\r\n")));

        QFile maps(QStringLiteral("/proc/self/maps"));
        if (!maps.open(QIODevice::ReadOnly))
            QSKIP("this system does not list the loaded libraries");
        const QByteArray loaded = maps.readAll();
        QVERIFY(loaded.contains("libQt6Gui"));
        QVERIFY(!loaded.contains("libQt6Widgets"));
        QVERIFY(!loaded.contains("libQt6PrintSupport"));
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestReportCore test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reportcore.moc"
