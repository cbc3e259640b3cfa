// tarvo-bench-roundtrips: the requests (round trips) each of a clerk's actions sends to SQL Server,
// counted where they arrive: the program runs through the real ODBC stack (QODBC, unixODBC,
// FreeTDS) against the TDS stand-in answering as tests/tds/program.json scripts it. The start-up
// is the program's own process up to its first window; the other actions are driven by keys
// and clicks on the real screen in this process. Prints one line per action,
//   step=roundtrips_<action> count=<n>
// after a line with the requests by kind. Without the stand-in (python3, the FreeTDS ODBC
// driver) it says so and ends with 1: no count is printed then. tarvo-bench runs it.
#include "consignment/ConsignmentStore.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/Dm_Config.h"
#include "data/U_DM.h"
#include "forms/Fr_SearchBarCode.h"
#include "platform/ui/ExceptionRouter.h"
#include "support/ConsignmentDriver.h"
#include "support/Drive.h"
#include "support/ProgramOnDemo.h"
#include "support/ScriptedDialogService.h"
#include "support/TdsStandIn.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTextStream>
#include <functional>
#include <memory>

using namespace platform;

namespace {

QTextStream out(stdout);

struct NotMeasured {
    QString why;
};

// The requests of the log by kind: "batch", or the RPC's procedure; and the logins, which are
// round trips too but not counted as requests.
QString breakdown(const QList<QJsonObject> &log)
{
    QMap<QString, int> kinds;
    int logins = 0;
    for (const QJsonObject &e : log) {
        const QString kind = e.value("kind").toString();
        if (kind == "batch")
            kinds[kind] += 1;
        else if (kind == "rpc")
            kinds[e.value("proc").toString()] += 1;
        logins += kind == "login";
    }
    QStringList parts;
    for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
        parts << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    return parts.join(", ") + (logins ? QStringLiteral("; besides them %1 logins").arg(logins) : QString());
}

class Counter
{
public:
    explicit Counter(TdsStandIn &server)
        : m_server(server)
    {}

    // Runs the action with the log emptied first and prints its requests.
    void count(const QString &action, const std::function<void()> &run)
    {
        m_server.clearLog();
        run();
        settle();
        const QList<QJsonObject> log = m_server.log();
        out << QStringLiteral("roundtrips %1: %2 (%3)\n").arg(action).arg(TdsStandIn::requestCount(log)).arg(breakdown(log));
        m_lines << QStringLiteral("step=roundtrips_%1 count=%2").arg(action).arg(TdsStandIn::requestCount(log));
        out.flush();
    }
    const QStringList &lines() const { return m_lines; }

private:
    TdsStandIn &m_server;
    QStringList m_lines;
};

void expect(bool ok, const QString &what)
{
    if (!ok)
        throw NotMeasured{what};
}

// The program's start-up as a process in dir, up to its first window.
void startUp(const QString &dir)
{
    const QString dialogs = dir + "/dialogs.log";
    QProcess p;
    p.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TARVO_DIALOG_LOG", dialogs);
    env.insert("TARVO_EXIT_ON_SHOW", "1");
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationDirPath() + "/tarvo-consignment", {"1", "1", "DEMO", "-", "1"});
    expect(p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
           "the program did not start on the stand-in");
    expect(!QFile::exists(dialogs), "the program showed a message while starting");
}

QStringList measure()
{
    TdsStandIn server;
    const QString why = server.start();
    if (!why.isEmpty())
        throw NotMeasured{why};
    server.setBaseRules("tests/tds/program.json");
    expect(server.writeIni(server.dir() + "/QLM.INI"), "cannot write QLM.INI");
    QFile serverDat(server.dir() + "/Server.Dat");
    expect(serverDat.open(QIODevice::WriteOnly) && serverDat.write("127.0.0.1\r\n") > 0, "cannot write Server.Dat");
    serverDat.close();
    Counter counter(server);
    counter.count("startup", [&] { startUp(server.dir()); });

    const QString before = QDir::currentPath();
    QDir::setCurrent(server.dir());
    ScriptedDialogService dialogs;
    QStringList errors;
    startProgram({}, [&] {
        DM->showErrorDialog = [&](const QString &text) { errors << text; };
        ExceptionRouter::setHandler([&](const QString &message) { errors << message; });
    });
    auto screen = std::make_unique<TFrTarvoAdjAndConsignment>(DM->DMdata, std::make_unique<ConsignmentStore>(DM->DMdata));
    screen->UserId = 1;
    screen->show();
    screen->activateWindow();
    expect(QTest::qWaitForWindowActive(screen.get()), "the consignment screen did not become active");
    ConsignmentDriver d(screen.get());
    d.chooseBranch(); // the first branch

    counter.count("scan", [&] { d.scan("8850000000001"); });
    expect(d.productName() == QStringLiteral("น้ำดื่มตราช้าง 600 มล."), "the scanned product was not shown");
    counter.count("save", [&] {
        d.typeQuantity("2");
        d.save();
    });
    expect(dialogs.texts() == QStringList{QStringLiteral("บันทึกเรียบร้อย")}, "the line was not saved");
    counter.count("daily_view", [&] {
        d.showPage(ConsignmentDriver::Daily);
        d.click(ConsignmentDriver::Summarise);
    });
    expect(d.rows(ConsignmentDriver::Grid::Daily) > 0, "the daily view stayed empty");
    counter.count("onhand_view", [&] {
        d.showPage(ConsignmentDriver::Onhand);
        d.click(ConsignmentDriver::ShowOnhand);
    });
    expect(d.rows(ConsignmentDriver::Grid::Onhand) > 0, "the on-hand view stayed empty");
    screen.reset();
    counter.count("search", [&] {
        TFrSearchBarCode search;
        search.show();
        expect(QTest::qWaitForWindowExposed(&search), "the barcode search did not show");
        search.Code->setText("885");
        search.BtSearch->click();
        expect(search.DgSearch->model()->rowCount() == 1, "the barcode search found nothing");
    });
    expect(errors.isEmpty(), "an action failed: " + errors.value(0));
    endProgram();
    ExceptionRouter::setHandler({});
    QDir::setCurrent(before);
    return counter.lines();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("TARVO_SOURCE_DIR"))
        qputenv("TARVO_SOURCE_DIR", TARVO_SOURCE_TREE);
    QApplication app(argc, argv);
    try {
        const QStringList lines = measure();
        for (const QString &line : lines)
            out << line << '\n';
    } catch (const NotMeasured &e) {
        out << "roundtrips not measured: " << e.why << '\n';
        return 1;
    }
    return 0;
}
