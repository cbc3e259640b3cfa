// Saves lines for one branch as the consignment screen does, as fast as it can: used by the
// concurrency test to run two "clerks" on the same embedded database files at once.
//   save_lines SERVER COUNT TAG [ids|ids-backwards]
// With "ids", line i carries a request id made from i alone, so two processes send the same
// lines with the same ids; it prints how many of its lines it stored and how many it found
// already stored. It then connects first and starts when a line arrives on its input, so that
// both processes send at the same time; "ids-backwards" sends the same lines from the last one
// down, so that the two meet somewhere in the middle.
#include "consignment/ConsignmentRequestSql.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "data/SaveRequestAnswer.h"
#include "db/ServerObjects.h"
#include "db/setup/DemoData.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "tools/DbInit.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>
#include <QUuid>

using namespace platform;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4 && argc != 5)
        return 2;
    const QByteArray mode = argc == 5 ? QByteArray(argv[4]) : QByteArray();
    const bool withIds = mode == "ids" || mode == "ids-backwards";
    registerServerObjects();
    Database db(QStringLiteral("DMDATA"));
    db.params = dbInitParams(QString::fromLocal8Bit(argv[1]), QStringLiteral("DEMO"));
    const int count = QString::fromLocal8Bit(argv[2]).toInt();
    const QString tag = QString::fromLocal8Bit(argv[3]);
    Query save(&db);
    save.setStatement(withIds ? ConsignmentRequestSql::SaveLineWithRequestId : ConsignmentSql::SaveConsignment);
    const QUuid lines = QUuid::fromString(QStringLiteral("6f1c3a52-8c1e-4d7a-9a53-2f0b7d1e4c11"));
    int saved = 0;
    int alreadyStored = 0;
    if (withIds) {
        db.open();
        QTextStream(stdin).readLine();
    }
    try {
        for (int n = 0; n < count; ++n) {
            const int i = mode == "ids-backwards" ? count - 1 - n : n;
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
            if (!withIds) {
                save.execSql();
                ++saved;
                continue;
            }
            save.setParam(QStringLiteral("RequestId"),
                          QUuid::createUuidV5(lines, QString::number(i)).toString(QUuid::WithoutBraces));
            save.open();
            ++(SaveRequestAnswer::read(save).alreadyStored ? alreadyStored : saved);
        }
    } catch (const Exception &e) {
        QTextStream(stderr) << "save_lines " << tag << ": " << e.message() << '\n';
    }
    QTextStream(stdout) << saved << (withIds ? QStringLiteral(" %1").arg(alreadyStored) : QString()) << '\n';
    return saved + alreadyStored == count ? 0 : 1;
}
