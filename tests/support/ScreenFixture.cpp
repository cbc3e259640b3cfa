#include "support/ScreenFixture.h"

#include "consignment/Fr_TarvoAdjAndConsignment.h"
#include "platform/ui/ExceptionRouter.h"

#include <QTest>

using namespace platform;

ScreenFixture::ScreenFixture()
{
    ExceptionRouter::setHandler([this](const QString &message) { m_errors << message; });
}

ScreenFixture::~ScreenFixture()
{
    closeScreen();
    ExceptionRouter::setHandler({});
}

TFrTarvoAdjAndConsignment *ScreenFixture::openScreen(int userId, bool activate)
{
    closeScreen();
    m_screen = newConsignmentScreen(userId);
    m_screen->show();
    if (!activate)
        return m_screen;
    m_screen->activateWindow();
    if (!QTest::qWaitForWindowActive(m_screen))
        qWarning("the screen did not become active");
    return m_screen;
}

void ScreenFixture::closeScreen()
{
    delete m_screen;
    m_screen = nullptr;
    settle();
}
