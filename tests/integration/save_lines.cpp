// Saves lines for one branch as the consignment screen does, as fast as it can: used by the
// concurrency test to run two "clerks" on the same embedded database files at once.
//   save_lines SERVER COUNT TAG
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "db/setup/DemoData.h"
#include "db/ServerObjects.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "tools/DbInit.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    registerServerObjects();
    Database db(QStringLiteral("DMDATA"));
    db.params = dbInitParams(QString::fromLocal8Bit(argv[1]), QStringLiteral("DEMO"));
    const int count = QString::fromLocal8Bit(argv[2]).toInt();
    const QString tag = QString::fromLocal8Bit(argv[3]);
    Query save(&db);
    save.setStatement(ConsignmentSql::SaveConsignment);
    int saved = 0;
    try {
        for (int i = 0; i < count; ++i) {
            save.setParam(QStringLiteral("UserCode"), QStringLiteral("BR02"));
            save.setParam(QStringLiteral("UserKeyIn"), tag);
            save.setParam(QStringLiteral("Customer"), 2);
            save.setParam(QStringLiteral("ConsigType"), i % 3 == 2 ? QStringLiteral("R") : QStringLiteral("S"));
            save.setParam(QStringLiteral("Barcode"), DemoData::barcodeOfUnit(1 + i % 5));
            save.setParam(QStringLiteral("SerialNumber"), QString());
            save.setParam(QStringLiteral("Quantity"), 1.0 + i % 4);
            save.setParam(QStringLiteral("Price"), 10.0);
            save.setParam(QStringLiteral("ChkFree"), QStringLiteral("N"));
            save.setParam(QStringLiteral("OldPrice"), 10.0);
            save.setParam(QStringLiteral("EditDate"), QDate::currentDate());
            save.execSql();
            ++saved;
        }
    } catch (const Exception &e) {
        QTextStream(stderr) << "save_lines " << tag << ": " << e.message() << '\n';
    }
    QTextStream(stdout) << saved << '\n';
    return saved == count ? 0 : 1;
}
