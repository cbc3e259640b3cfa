// Writes the T-SQL text of every statement entry into a folder, its ":Name" markers turned into
// "@Name" variables, so that a T-SQL parser can check them.
#include "AllStatements.h"
#include "platform/sql/NamedParams.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

using namespace platform;

int main(int argc, char **argv)
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: dump_statements DIR\n";
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    for (const Statement *s : allStatements()) {
        const PositionalStatement ps = toPositional(s->tsql.join('\n'));
        QString text = ps.text;
        // Put each name back where its "?" stands, as a variable.
        for (const QString &name : ps.names)
            text.replace(text.indexOf('?'), 1, '@' + name);
        QFile f(dir.filePath(QString::fromLatin1(s->name) + ".sql"));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(text.toUtf8() + "\n");
    }
    return 0;
}
