// tarvo-dbinit: creates or upgrades the configuration database and a company database on
// either engine, optionally with the demo data.
#include "platform/core/Exceptions.h"
#include "tools/DbInit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

using namespace platform;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvo-dbinit"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Creates or upgrades the program's two databases."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("server"), QStringLiteral("sqlite:DIR for the embedded engine, or a SQL Server host."),
                      QStringLiteral("server")});
    parser.addOption({QStringLiteral("company"), QStringLiteral("Company database name (default DEMO)."), QStringLiteral("name"),
                      QStringLiteral("DEMO")});
    parser.addOption({QStringLiteral("demo"), QStringLiteral("Fill empty databases with the demo company.")});
    parser.addOption(
        {QStringLiteral("force"),
         QStringLiteral("Replace procedures and functions that exist already (other programs of the suite use them).")});
    parser.addOption({QStringLiteral("ini"), QStringLiteral("Settings file with a [DATABASE] section (default QLM.INI)."),
                      QStringLiteral("file"), QStringLiteral("QLM.INI")});
    parser.addOption({QStringLiteral("login"),
                      QStringLiteral("SQL login to use instead of the program's (one that may create databases); its "
                                     "password comes from --password-stdin or TARVO_DBINIT_PASSWORD."),
                      QStringLiteral("name")});
    parser.addOption({QStringLiteral("password-stdin"),
                      QStringLiteral("Read the --login's password from the first line "
                                     "of the standard input.")});
    parser.process(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parser.isSet(QStringLiteral("server"))) {
        err << "tarvo-dbinit: --server is required\n";
        return 2;
    }
    DbInitOptions options;
    options.server = parser.value(QStringLiteral("server"));
    options.company = parser.value(QStringLiteral("company"));
    options.demo = parser.isSet(QStringLiteral("demo"));
    options.force = parser.isSet(QStringLiteral("force"));
    options.iniPath = parser.value(QStringLiteral("ini"));
    options.login = parser.value(QStringLiteral("login"));
    if (parser.isSet(QStringLiteral("password-stdin"))) {
        if (options.login.isEmpty()) {
            err << "tarvo-dbinit: --password-stdin needs --login\n";
            return 2;
        }
        QTextStream in(stdin);
        options.password = in.readLine();
    } else if (!options.login.isEmpty()) {
        if (!qEnvironmentVariableIsSet("TARVO_DBINIT_PASSWORD")) {
            err << "tarvo-dbinit: --login needs its password: --password-stdin or TARVO_DBINIT_PASSWORD\n";
            return 2;
        }
        options.password = qEnvironmentVariable("TARVO_DBINIT_PASSWORD");
    }
    try {
        for (const QString &line : runDbInit(options))
            out << line << '\n';
    } catch (const Exception &e) {
        err << "tarvo-dbinit: " << e.message() << '\n';
        return 1;
    }
    return 0;
}
