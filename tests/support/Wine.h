#pragma once

#include <QLibrary>
#include <QTest>

// The Windows build's tests also run under Wine on Linux. There a Windows program cannot run a
// Linux program as its child with the standard input and output connected (it starts, but its
// pipes and its exit code are lost), so the tests that talk to a Linux tool through pipes (the
// Python stand-ins) skip themselves under Wine.
namespace Wine {

inline bool running()
{
#ifdef Q_OS_WIN
    static const bool wine = QLibrary::resolve(QStringLiteral("ntdll"), "wine_get_version") != nullptr;
    return wine;
#else
    return false;
#endif
}

} // namespace Wine

#define TARVO_SKIP_UNDER_WINE(tool)                                                                                              \
    do {                                                                                                                         \
        if (Wine::running())                                                                                                     \
            QSKIP("under Wine a Windows program cannot run the Linux " tool " through pipes");                                   \
    } while (false)
