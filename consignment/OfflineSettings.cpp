#include "consignment/OfflineSettings.h"

#include "platform/core/IniFile.h"

#include <QDir>
#include <QFileInfo>

using namespace platform;

OfflineSettings OfflineSettings::read(const QString &iniPath, const QString &companyDatabase)
{
    OfflineSettings s;
    const QString value = IniFile(iniPath).value(QStringLiteral("OFFLINE"), QStringLiteral("Enabled")).trimmed();
    for (const char *yes : {"yes", "true", "on", "1"})
        if (value.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0)
            s.enabled = true;
    bool number = false;
    const int wait = IniFile(iniPath).value(QStringLiteral("OFFLINE"), QStringLiteral("SaveWait")).trimmed().toInt(&number);
    if (number && wait >= 1 && wait <= 60)
        s.saveWaitSeconds = wait;
    const QDir dir = QFileInfo(iniPath).absoluteDir();
    const QString base = companyDatabase.trimmed().toUpper();
    s.journalFile = dir.filePath(base + QStringLiteral(".journal.sqlite"));
    s.scanCopyFile = dir.filePath(base + QStringLiteral(".scan.sqlite"));
    return s;
}
