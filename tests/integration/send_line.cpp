// Sends one consignment line through the consignment store, as the screen's Save does, to the
// TDS stand-in that a QLM.INI reaches, and says what became of it. The test of a program killed
// while its line is on the way (kill -9) kills it during the save.
//   send_line QLM.INI
#include "consignment/ConsignmentStore.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "support/StandInLine.h"
#include "support/TdsStandIn.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace platform;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    Database db(QStringLiteral("DMDATA"));
    db.setIniPath(QString::fromLocal8Bit(argv[1]));
    db.params = TdsStandIn::params(QStringLiteral("DEMO"));
    ConsignmentStore store(&db);
    const ConsignmentLine line = standInLine(1);
    try {
        store.save(line);
    } catch (const Exception &e) {
        QTextStream(stderr) << e.message() << '\n';
        return 1;
    }
    QTextStream(stdout) << "stored\n";
    return 0;
}
