// A workstation in the offline mode that saves one line and sends it, for the test of a program
// killed while a line is under way:  offline_send_child DIR
// DIR holds QLM.INI (the stand-in's [DATABASE] section, [OFFLINE] on) and gets the journal; the
// stand-in is scripted not to answer the save, so that the line stays under way until the kill.
#include "consignment/OfflineMode.h"
#include "support/StandInLine.h"
#include "support/TdsStandIn.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QString ini = dir.filePath(QStringLiteral("QLM.INI"));
    OfflineMode mode({OfflineSettings::read(ini, QStringLiteral("DEMO")), TdsStandIn::params(QStringLiteral("DEMO")), ini});
    mode.journal().add(standInLine(3));
    mode.sendSoon();
    return app.exec();
}
