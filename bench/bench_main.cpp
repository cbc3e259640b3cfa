// tarvo-bench: a large embedded database at the size of a real company, and the time each step
// of a clerk's day takes through the program's own data layer, next to the engine's own time for
// the same SQL text; and the quota report of a year for the whole company, prepared and exported
// through the report engine as the report screen runs it.
#include "bench/EngineRunner.h"
#include "consignment/CompanyLink.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "consignment/JournalStore.h"
#include "consignment/OfflineJournal.h"
#include "consignment/OfflineMode.h"
#include "consignment/ScanCopy.h"
#include "data/Dm_Config.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "db/ServerObjects.h"
#include "db/setup/DatabaseSetup.h"
#include "db/setup/DemoData.h"
#include "forms/Fr_SearchBarCodeSql.h"
#include "platform/core/Exceptions.h"
#include "platform/report/ReportEngine.h"
#include "platform/sql/Database.h"
#include "platform/sql/NamedParams.h"
#include "platform/sql/Query.h"
#include "platform/sql/StoredProc.h"
#include "reports/CompanyReportData.h"
#include "reports/Fr_CustomerQuotaGroupPrice.h"
#include "reports/ReportFunctions.h"
#include "tools/DbInit.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTextStream>
#include <algorithm>
#include <functional>

using namespace platform;

namespace {

QTextStream out(stdout);

struct Stats {
    double median = 0;
    double p95 = 0;
};

// Milliseconds one run of a step takes.
double timed(const std::function<void(int)> &step, int i)
{
    QElapsedTimer t;
    t.start();
    step(i);
    return t.nsecsElapsed() / 1e6;
}

Stats statsOf(QVector<double> &ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[std::min<int>(int(ms.size()) - 1, int(ms.size() * 95 / 100))]};
}

Stats measure(int iterations, const std::function<void(int)> &step)
{
    step(0); // warm-up: caches, prepared statements
    QVector<double> ms;
    ms.reserve(iterations);
    for (int i = 0; i < iterations; ++i)
        ms << timed(step, i + 1);
    return statsOf(ms);
}

// Runs two steps in turns, each first every other time, so that whatever else the machine does,
// and whichever of the two finds the pages already cached, weighs on both alike.
std::pair<Stats, Stats> measurePair(int iterations, const std::function<void(int)> &first, const std::function<void(int)> &second)
{
    first(0);
    second(0);
    QVector<double> a, b;
    a.reserve(iterations);
    b.reserve(iterations);
    for (int i = 0; i < iterations; ++i) {
        if (i % 2 == 0) {
            a << timed(first, i + 1);
            b << timed(second, i + 1);
        } else {
            b << timed(second, i + 1);
            a << timed(first, i + 1);
        }
    }
    return {statsOf(a), statsOf(b)};
}

void report(const QString &step, const Stats &program, const Stats *engine)
{
    out << QStringLiteral("%1  median %2 ms  p95 %3 ms")
               .arg(step, -28)
               .arg(program.median, 0, 'f', 3)
               .arg(program.p95, 0, 'f', 3);
    if (engine)
        out << QStringLiteral("  engine %1 ms  ratio %2")
                   .arg(engine->median, 0, 'f', 3)
                   .arg(program.median / engine->median, 0, 'f', 2);
    out << '\n';
    out.flush();
}

QString machineLine(const QString &step, const Stats &program, const Stats *engine)
{
    QString line =
        QStringLiteral("step=%1 median_ms=%2 p95_ms=%3").arg(step).arg(program.median, 0, 'f', 3).arg(program.p95, 0, 'f', 3);
    if (engine)
        line += QStringLiteral(" engine_ms=%1 ratio=%2")
                    .arg(engine->median, 0, 'f', 3)
                    .arg(program.median / engine->median, 0, 'f', 2);
    else
        line += QStringLiteral(" engine_ms=- ratio=-");
    return line;
}

DemoScale shopScale()
{
    DemoScale s;
    s.products = 100000;
    s.cartonPermille = 563; // 54,000 cartons: with one or two other units each, 250,000 barcodes
    s.customers = 300;
    s.branches = 200;
    s.consignmentLines = 1000000;
    s.lineDays = 730;
    s.heavyBranchShare = 2;    // branch 1 is a big shop: a 10,000-row year
    s.invoicesPerBranch = 250; // about 200,000 invoice lines
    s.invoiceDays = 730;
    s.returnsPerBranch = 250;    // 50,000 return lines
    s.salesOrders = 33000;       // about 100,000 sales-order lines
    s.onhandUnitsPerBranch = 60; // 200 branches x 2 years x 13 periods
    return s;
}

const QDate benchToday(2026, 6, 30);

// A line of the offline steps, its barcode set by each run.
ConsignmentLine benchLine()
{
    ConsignmentLine line;
    line.userCode = QStringLiteral("BR02");
    line.userKeyIn = QStringLiteral("SOMCHAI");
    line.customer = 2;
    line.consigType = QStringLiteral("S");
    line.quantity = 1;
    line.price = line.oldPrice = 10;
    line.editDate = benchToday;
    return line;
}

void generate(const QString &dir)
{
    QElapsedTimer t;
    t.start();
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    DbInitOptions options;
    options.server = QStringLiteral("sqlite:") + dir;
    options.iniPath.clear();
    runDbInit(options);
    Database config(QStringLiteral("cfg"));
    config.params = dbInitParams(options.server, QStringLiteral("QLM_CONFIG"));
    Database company(QStringLiteral("DMDATA"));
    company.params = dbInitParams(options.server, QStringLiteral("DEMO"));
    DemoData::populate(config, company, benchToday, shopScale());
    company.execute(QStringLiteral("ANALYZE main")); // the configuration file is attached read-only
    out << "generated the shop-scale database in " << t.elapsed() / 1000.0 << " s\n";
    out.flush();
}

void writeServerDat(const QString &dir)
{
    QFile serverDat(dir + QStringLiteral("/Server.Dat"));
    if (serverDat.open(QIODevice::WriteOnly | QIODevice::Truncate))
        serverDat.write((QStringLiteral("sqlite:") + dir + u'\n').toUtf8());
}

// The quota report of the last year for the whole company: the definition read from the
// current directory as the report screen reads it, its rows fetched on the company connection,
// the report functions answered by the company data module, every page laid out; then the
// prepared report written as PDF.
void reportSteps(const QString &dir, const std::function<bool(const QString &)> &wanted, QStringList &lines)
{
    if (!wanted(QStringLiteral("report_quota_year")) && !wanted(QStringLiteral("report_quota_pdf")))
        return;
    writeServerDat(dir);
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir);
    const QString file = TFrCustomerQuotaGroupPrice::reportFileName();
    QFile::remove(file);
    QFile::copy(QStringLiteral(TARVO_REPORT_DEFINITIONS "/") + file, file);
    setLaunchParameters({QStringLiteral("tarvo-consignment"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("DEMO"),
                         QStringLiteral("-"), QStringLiteral("2")});
    DMConfig = new TDMConfig(qApp);
    DM = new TDM(qApp);
    DMConfig->CheckRight(2, 1);
    DMConfig->GetCompanyConfig(QStringLiteral("DEMO"));
    DM->DMdata->open();

    ReportEngine engine;
    CompanyReportData data(DM->DMdata);
    engine.setDataProvider(&data);
    engine.setFunctionHandler(answerReportFunction);
    const QString year = QString::number(benchToday.year());
    auto prepare = [&](int) {
        engine.clear();
        engine.loadFromFile(QDir::current().filePath(file));
        engine.setVariable(QStringLiteral("GetYear"), year);
        engine.setVariable(QStringLiteral("RPTITLE"),
                           QStringLiteral("'") + TFrCustomerQuotaGroupPrice::reportTitleText() + u'\'');
        engine.setVariable(QStringLiteral("CONDITION"), QStringLiteral("''"));
        engine.setVariable(QStringLiteral("PNTDATESET"), QStringLiteral("true"));
        const ReportPrepareResult result = engine.prepare();
        if (!result.ok)
            throw Exception(result.message);
    };
    const int runs = 7;
    const Stats preparing = measure(runs, prepare);
    int rows = 0;
    for (const ReportPage &page : engine.document().pages) {
        for (const ReportPageItem &item : page.items)
            rows += item.objectName == QLatin1String("LineNo") ? 1 : 0;
    }
    out << QStringLiteral("quota report %1: %2 rows on %3 pages\n").arg(year).arg(rows).arg(engine.document().pages.size());
    if (wanted(QStringLiteral("report_quota_year"))) {
        report(QStringLiteral("report_quota_year"), preparing, nullptr);
        lines << machineLine(QStringLiteral("report_quota_year"), preparing, nullptr);
    }
    if (wanted(QStringLiteral("report_quota_pdf"))) {
        const QString pdf = dir + QStringLiteral("/quota.pdf");
        const Stats writing = measure(runs, [&](int) { engine.exportTo(ReportExport::Format::Pdf, pdf); });
        report(QStringLiteral("report_quota_pdf"), writing, nullptr);
        lines << machineLine(QStringLiteral("report_quota_pdf"), writing, nullptr);
    }
    QDir::setCurrent(before);
}

// The requests each of a clerk's actions sends to SQL Server, counted at the TDS stand-in by
// tarvo-bench-roundtrips (built with the tests, beside this program). Without it, or without what
// the stand-in needs, the output says why instead of giving counts.
void roundtripSteps(const std::function<bool(const QString &)> &wanted, QStringList &lines)
{
    const QString probe = QCoreApplication::applicationDirPath() + QStringLiteral("/tarvo-bench-roundtrips");
    auto notMeasured = [&](const QString &why) {
        const QString line = QStringLiteral("roundtrips not measured: ") + why;
        out << line << '\n';
        lines << line;
    };
    if (!QFile::exists(probe)) {
        notMeasured(QStringLiteral("tarvo-bench-roundtrips is not built (it is built with the tests)"));
        return;
    }
    QProcess p;
    p.start(probe, QStringList());
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished();
        notMeasured(QStringLiteral("tarvo-bench-roundtrips did not end"));
        return;
    }
    bool answered = false; // counts, or why there are none
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
        const bool count = line.startsWith(QStringLiteral("step=roundtrips_"));
        const bool why = line.startsWith(QStringLiteral("roundtrips not measured"));
        answered = answered || count || why;
        if (!count)
            out << line << '\n';
        if (why || (count && wanted(line.section(u' ', 0, 0).mid(5))))
            lines << line;
    }
    if (!answered)
        notMeasured(QStringLiteral("tarvo-bench-roundtrips failed: ") + QString::fromUtf8(p.readAllStandardError()).trimmed());
    out.flush();
}

} // namespace

int main(int argc, char **argv)
{
    // The report steps lay text out: without a display, on the offscreen platform.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QPA_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", "/usr/share/fonts/truetype");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("dir"), QStringLiteral("Folder of the shop-scale database."), QStringLiteral("dir"),
                      QDir::tempPath() + QStringLiteral("/tarvo-bench")});
    parser.addOption({QStringLiteral("regenerate"), QStringLiteral("Build the database again even if it exists.")});
    parser.addOption(
        {QStringLiteral("iterations"), QStringLiteral("Runs of each fast step."), QStringLiteral("n"), QStringLiteral("200")});
    parser.addOption({QStringLiteral("steps"), QStringLiteral("Only these steps, separated by commas (all by default)."),
                      QStringLiteral("names")});
    parser.process(app);
    const QStringList only = parser.value(QStringLiteral("steps")).split(u',', Qt::SkipEmptyParts);
    auto wanted = [&](const QString &step) { return only.isEmpty() || only.contains(step); };
    const QString dir = parser.value(QStringLiteral("dir"));
    const int n = parser.value(QStringLiteral("iterations")).toInt();

    registerServerObjects();
    try {
        if (parser.isSet(QStringLiteral("regenerate")) || !QFile::exists(dir + QStringLiteral("/DEMO.sqlite")))
            generate(dir);

        Database db(QStringLiteral("DMDATA"));
        db.params = dbInitParams(QStringLiteral("sqlite:") + dir, QStringLiteral("DEMO"));
        db.open();
        EngineRunner engine(dir + QStringLiteral("/DEMO.sqlite"), dir + QStringLiteral("/QLM_CONFIG.sqlite"));
        QStringList lines;

        // Runs a query entry through the program (open, walk every row reading each column) and
        // the same text through the engine, one after the other with the same parameters.
        auto compare = [&](const QString &name, Query &q, int iterations, const std::function<void(int)> &setParams) {
            if (!wanted(name))
                return;
            const PositionalStatement ps = toPositional(q.sqlText());
            const auto [program, own] = measurePair(
                iterations,
                [&](int i) {
                    setParams(i);
                    q.open();
                    const int columns = int(q.fieldNames().size());
                    for (int row = 0; row < q.recordCount(); ++row)
                        for (int column = 0; column < columns; ++column)
                            (void)q.value(row, column);
                },
                [&](int i) {
                    setParams(i);
                    engine.run(ps.text, positionalValues(ps.names, q.params(), SqlDialect::Sqlite));
                });
            report(name, program, &own);
            lines << machineLine(name, program, &own);
        };

        Query count(&db);
        count.setSql({QStringLiteral("Select Count(*) N From ProductUnits")});
        count.open();
        const int unitCount = count.fieldByName(QStringLiteral("N")).asInteger();
        Query product(&db);
        product.setStatement(ConsignmentSql::QProduct);
        compare(QStringLiteral("barcode_lookup"), product, n,
                [&](int i) { product.setParam(QStringLiteral("Barcode"), DemoData::barcodeOfUnit(1 + (i * 7919) % unitCount)); });

        if (wanted(QStringLiteral("one_save"))) {
            // Lines for goods without serial numbers, as a clerk scans them.
            QStringList saleBarcodes;
            {
                Query units(&db);
                units.setSql({QStringLiteral("Select U.BarCode From ProductUnits U Inner Join Product P On (P.Id = U.Product)"),
                              QStringLiteral("Where P.UseSerial = 'N' And P.Blocked = 'N' And U.Id % 97 = 0 Limit 1000")});
                units.open();
                for (units.first(); !units.eof(); units.next())
                    saleBarcodes << units.fieldByName(QStringLiteral("BarCode")).asString();
            }
            Query save(&db);
            save.setStatement(ConsignmentSql::SaveConsignment);
            const Stats saving = measure(n, [&](int i) {
                save.setParam(QStringLiteral("UserCode"), QStringLiteral("BR02"));
                save.setParam(QStringLiteral("UserKeyIn"), QStringLiteral("SOMCHAI"));
                save.setParam(QStringLiteral("Customer"), 2);
                save.setParam(QStringLiteral("ConsigType"), QStringLiteral("S"));
                save.setParam(QStringLiteral("Barcode"), saleBarcodes[i % saleBarcodes.size()]);
                save.setParam(QStringLiteral("SerialNumber"), QString());
                save.setParam(QStringLiteral("Quantity"), 1.0);
                save.setParam(QStringLiteral("Price"), 10.0);
                save.setParam(QStringLiteral("ChkFree"), QStringLiteral("N"));
                save.setParam(QStringLiteral("OldPrice"), 10.0);
                save.setParam(QStringLiteral("EditDate"), benchToday);
                save.execSql();
            });
            report(QStringLiteral("one_save"), saving, nullptr);
            lines << machineLine(QStringLiteral("one_save"), saving, nullptr);
        }

        if (wanted(QStringLiteral("scan_copy_refresh")) || wanted(QStringLiteral("offline_lookup")) ||
            wanted(QStringLiteral("offline_journal_add"))) {
            // The copy a workstation scans from while the company database is away: one refresh
            // of all 250,000 barcodes (a fresh file each run), a look-up from it, and a line
            // written to the journal (synchronous FULL: each one on the disk before it returns).
            const QString copyFile = dir + QStringLiteral("/DEMO.scan.sqlite");
            const QString journalFile = dir + QStringLiteral("/DEMO.journal.sqlite");
            auto removeLocal = [](const QString &file) {
                for (const char *tail : {"", "-wal", "-shm"})
                    QFile::remove(file + QLatin1String(tail));
            };
            removeLocal(copyFile);
            removeLocal(journalFile);
            ScanCopyRefresh last;
            const Stats refreshing = measure(std::max(2, n / 100), [&](int) {
                removeLocal(copyFile);
                last = ScanCopy::refresh(db, copyFile);
            });
            out << QStringLiteral("scan copy: %1 barcode rows, %2 branches, %3 serial numbers; swap %4 ms\n")
                       .arg(last.barcodes)
                       .arg(last.branches)
                       .arg(last.serials)
                       .arg(last.swapMs);
            report(QStringLiteral("scan_copy_refresh"), refreshing, nullptr);
            lines << machineLine(QStringLiteral("scan_copy_refresh"), refreshing, nullptr);

            const ScanCopy copy(copyFile);
            const Stats looking = measure(n * 10, [&](int i) {
                if (!copy.product(DemoData::barcodeOfUnit(1 + (i * 7919) % unitCount)))
                    throw EDatabaseError(QStringLiteral("The scan copy lacks a barcode of the company database."));
            });
            report(QStringLiteral("offline_lookup"), looking, nullptr);
            lines << machineLine(QStringLiteral("offline_lookup"), looking, nullptr);

            OfflineJournal journal(journalFile);
            ConsignmentLine line = benchLine();
            const Stats journaling = measure(n, [&](int i) {
                line.barcode = DemoData::barcodeOfUnit(1 + (i * 7919) % unitCount);
                journal.add(line);
            });
            report(QStringLiteral("offline_journal_add"), journaling, nullptr);
            lines << machineLine(QStringLiteral("offline_journal_add"), journaling, nullptr);
        }

        if (wanted(QStringLiteral("offline_save"))) {
            // A clerk's save in the offline mode while the company database cannot be reached: the
            // line written to the journal (on the disk before it returns), the sender woken, and
            // control back to the screen. The sender's rounds fail at once meanwhile.
            const QString local = dir + QStringLiteral("/offline-save");
            QDir(local).removeRecursively();
            QDir().mkpath(local);
            OfflineSettings settings;
            settings.enabled = true;
            settings.journalFile = local + QStringLiteral("/DEMO.journal.sqlite");
            settings.scanCopyFile = local + QStringLiteral("/DEMO.scan.sqlite");
            OfflineMode mode({settings,
                              dbInitParams(QStringLiteral("sqlite:") + local + QStringLiteral("/away"), QStringLiteral("DEMO")),
                              local + QStringLiteral("/QLM.INI")});
            mode.link().reportLost();
            JournalStore store(mode);
            ConsignmentLine line = benchLine();
            const Stats saving = measure(n, [&](int i) {
                line.barcode = DemoData::barcodeOfUnit(1 + (i * 7919) % unitCount);
                if (store.save(line) != SaveOutcome::KeptLocally)
                    throw EDatabaseError(QStringLiteral("A save with the link down was not kept in the journal."));
            });
            report(QStringLiteral("offline_save"), saving, nullptr);
            lines << machineLine(QStringLiteral("offline_save"), saving, nullptr);
        }

        Query day(&db);
        day.setStatement(ConsignmentSql::QRPProdDay);
        compare(QStringLiteral("daily_summary_month"), day, n / 4, [&](int i) {
            day.setParam(QStringLiteral("CusCode"), QStringLiteral("C%1").arg(1 + i % 200, 4, 10, QLatin1Char('0')));
            day.setParam(QStringLiteral("BeginConsigDate"), QDate(2026, 5, 1));
            day.setParam(QStringLiteral("EndConsigDate"), QDate(2026, 5, 31));
        });
        // A year of the big shop (branch C0001, about 13,000 rows), the heaviest view a head office opens.
        compare(QStringLiteral("daily_summary_year"), day, n / 10, [&](int) {
            day.setParam(QStringLiteral("CusCode"), QStringLiteral("C0001"));
            day.setParam(QStringLiteral("BeginConsigDate"), QDate(2025, 7, 1));
            day.setParam(QStringLiteral("EndConsigDate"), QDate(2026, 6, 30));
        });

        Query onhand(&db);
        onhand.setStatement(ConsignmentSql::QRPOnhand);
        compare(QStringLiteral("onhand_view"), onhand, n, [&](int i) {
            onhand.setParam(QStringLiteral("CusCode"), QStringLiteral("C%1").arg(1 + i % 200, 4, 10, QLatin1Char('0')));
            onhand.setParam(QStringLiteral("GetYear"), 2026);
            onhand.setParam(QStringLiteral("GetPeriodNo"), 1 + i % 12);
        });

        Query search(&db);
        search.setStatement(SearchBarCodeSql::QSearch);
        search.setSqlLine(SearchBarCodeSql::FilterLine, SearchBarCodeSql::FilterText);
        search.setSqlLine(SearchBarCodeSql::OrderLine, SearchBarCodeSql::orderText(SearchBarCodeSql::ByBarCode));
        compare(QStringLiteral("search_barcode_prefix"), search, n / 10, [&](int i) {
            // The first 11 of 13 digits, as a clerk types them: 100 barcodes match.
            search.setParam(QStringLiteral("GetCode"), QStringLiteral("88500001%1%").arg(i % 1000, 3, 10, QLatin1Char('0')));
            search.setParam(QStringLiteral("GetName"), QStringLiteral("%"));
        });
        search.setSqlLine(SearchBarCodeSql::OrderLine, SearchBarCodeSql::orderText(SearchBarCodeSql::ByThaiName));
        const QStringList parts{QStringLiteral("กาแฟ"), QStringLiteral("น้ำปลา"), QStringLiteral("ตราช้าง"),
                                QStringLiteral("พัดลม")};
        compare(QStringLiteral("search_name_part"), search, std::max(8, n / 25), [&](int i) {
            search.setParam(QStringLiteral("GetCode"), QStringLiteral("%"));
            search.setParam(QStringLiteral("GetName"), QStringLiteral("%") + parts[i % parts.size()] + QStringLiteral("%"));
        });

        if (wanted(QStringLiteral("user_log_write"))) {
            StoredProc log(&db, QStringLiteral("UserAddLog"));
            for (const char *p : {"@UserId", "@MenuId", "@FunctionListId", "@DocumentId"})
                log.addParam(QLatin1String(p), QMetaType::Int, StoredProc::Direction::Input);
            log.addParam(QStringLiteral("@Remark"), QMetaType::QString, StoredProc::Direction::Input);
            const Stats logging = measure(n, [&](int i) {
                log.setParam(QStringLiteral("@UserId"), 1);
                log.setParam(QStringLiteral("@MenuId"), 1);
                log.setParam(QStringLiteral("@FunctionListId"), 6);
                log.setParam(QStringLiteral("@DocumentId"), i);
                log.setParam(QStringLiteral("@Remark"), QString());
                log.execProc();
            });
            report(QStringLiteral("user_log_write"), logging, nullptr);
            lines << machineLine(QStringLiteral("user_log_write"), logging, nullptr);
        }

        if (wanted(QStringLiteral("startup_first_window"))) {
            // Start-up of the program to its first shown window, as a process.
            const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/tarvo-consignment");
            writeServerDat(dir);
            const Stats startup = measure(std::max(3, n / 20), [&](int) {
                QProcess p;
                p.setWorkingDirectory(dir);
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.insert(QStringLiteral("TARVO_EXIT_ON_SHOW"), QStringLiteral("1"));
                if (!env.contains(QStringLiteral("DISPLAY")))
                    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
                p.setProcessEnvironment(env);
                p.start(
                    program,
                    {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("DEMO"), QStringLiteral("-"), QStringLiteral("1")});
                while (p.state() != QProcess::NotRunning && !p.readAllStandardOutput().contains("shown"))
                    p.waitForReadyRead(5);
                p.waitForFinished(10000);
            });
            report(QStringLiteral("startup_first_window"), startup, nullptr);
            lines << machineLine(QStringLiteral("startup_first_window"), startup, nullptr);
        }

        if (wanted(QStringLiteral("peak_memory"))) {
            // Peak memory of the program with the screen open and a 10,000-row daily grid.
            QProcess probe;
            QProcessEnvironment probeEnv = QProcessEnvironment::systemEnvironment();
            if (!probeEnv.contains(QStringLiteral("DISPLAY")))
                probeEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            probe.setProcessEnvironment(probeEnv);
            probe.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tarvo-bench-memory"), {dir});
            probe.waitForFinished(120000);
            const QString probeOut = QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
            out << probeOut << '\n';
            for (const QString &line : probeOut.split(u'\n'))
                if (line.startsWith(QStringLiteral("step=peak_memory")))
                    lines << line;
        }

        // "--steps roundtrips" names them all.
        if (only.isEmpty() || !only.filter(QStringLiteral("roundtrips")).isEmpty())
            roundtripSteps([&](const QString &step) { return wanted(step) || only.contains(QStringLiteral("roundtrips")); },
                           lines);

        reportSteps(dir, wanted, lines);

        out << '\n';
        for (const QString &line : lines)
            out << line << '\n';
    } catch (const Exception &e) {
        QTextStream(stderr) << "tarvo-bench: " << e.message() << '\n';
        return 1;
    } catch (const std::exception &e) {
        QTextStream(stderr) << "tarvo-bench: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
