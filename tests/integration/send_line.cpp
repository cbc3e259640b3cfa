// Sends one consignment line through the consignment store, as the screen's Save does, to the
// TDS stand-in that a QLM.INI reaches, and says what became of it. The test of a program killed
// while its line is on the way (kill -9) kills it during the save.
//   send_line QLM.INI
#include "consignment/ConsignmentStore.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "support/TdsStandIn.h"

#include <QCoreApplication>
#include <QDate>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    Database db(QStringLiteral("DMDATA"));
    db.setIniPath(QString::fromLocal8Bit(argv[1]));
    db.params = TdsStandIn::params(QStringLiteral("DEMO"));
    ConsignmentStore store(&db);
    ConsignmentLine line;
    line.userCode = QStringLiteral("BR01");
    line.userKeyIn = QStringLiteral("SOMCHAI");
    line.customer = 1;
    line.consigType = QStringLiteral("S");
    line.barcode = QStringLiteral("8850000000001");
    line.quantity = 1;
    line.price = 19.99;
    line.oldPrice = 19.99;
    line.editDate = QDate::currentDate();
    try {
        store.save(line);
    } catch (const Exception &e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    QTextStream(stdout) << "stored\n";
    return 0;
}
