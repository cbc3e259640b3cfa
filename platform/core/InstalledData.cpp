#include "platform/core/InstalledData.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {

QString installedDataDir()
{
    const QString dir = QDir::cleanPath(QCoreApplication::applicationDirPath() + u'/' + QStringLiteral(TARVO_DATA_FROM_BIN));
    return QDir::toNativeSeparators(dir) + QDir::separator();
}

} // namespace platform
