#include "app/DesktopSession.h"

#include <QtGlobal>

QString missingDesktopSession()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // An empty QT_QPA_PLATFORM means Qt's default, xcb (X11); a list such as "wayland;xcb" is
    // tried in order, so a display for either will do.
    const QString qpaPlatform = qEnvironmentVariable("QT_QPA_PLATFORM").trimmed();
    const bool desktopPlatform =
        qpaPlatform.isEmpty() || qpaPlatform.startsWith(QLatin1String("xcb")) || qpaPlatform.startsWith(QLatin1String("wayland"));
    if (desktopPlatform && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("tarvo-consignment: ไม่พบหน้าจอ โปรแกรมต้องเปิดในเดสก์ท็อปของผู้ใช้ "
                              "(ไม่ได้ตั้งค่า DISPLAY หรือ WAYLAND_DISPLAY)\n"
                              "tarvo-consignment: no display: the program needs a desktop session "
                              "(neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
#endif
    return QString();
}
