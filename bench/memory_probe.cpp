// tarvo-bench-memory DIR: opens the consignment screen on the shop-scale database in DIR as the
// program does, fills the daily grid with a big branch's year (more than 10,000 rows) and prints
// the process's peak memory.
#include "consignment/ConsignmentStore.h"
#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "data/Dm_Config.h"
#include "data/LaunchParameters.h"
#include "data/U_DM.h"
#include "db/ServerObjects.h"
#include "platform/sql/Database.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/TarvoApplication.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

using namespace platform;

namespace {

double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    TarvoApplication app(argc, argv);
    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    setLaunchParameters({QStringLiteral("tarvo-consignment"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("DEMO"),
                         QStringLiteral("-"), QStringLiteral("1")});
    registerServerObjects();
    DMConfig = new TDMConfig(&app);
    DM = new TDM(&app);
    DMConfig->CheckRight(1, 1);
    DMConfig->GetCompanyConfig(QStringLiteral("DEMO"));
    DM->DMdata->open();

    auto *screen = new TFrTarvoAdjAndConsignment(DM->DMdata, std::make_unique<ConsignmentStore>(DM->DMdata));
    screen->UserId = 1;
    screen->show();
    QCoreApplication::processEvents();
    screen->CbBranchExit(); // the first branch, the big shop
    screen->DateEdit1->setDate(QDate(2025, 7, 1));
    screen->DateEdit2->setDate(QDate(2026, 6, 30));
    screen->BtOkConsignClick();
    QCoreApplication::processEvents();
    const int rows = screen->DBGRPProdDay->model()->rowCount();
    QTextStream out(stdout);
    out << "daily grid rows: " << rows << '\n';
    out << QStringLiteral("step=peak_memory mb=%1").arg(peakMegabytes(), 0, 'f', 1) << '\n';
    delete screen;
    return rows >= 10000 ? 0 : 1;
}
