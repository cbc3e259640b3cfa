#include "platform/ui/ApplicationTitle.h"

#include <QGuiApplication>

namespace platform {

namespace {

QString &title()
{
    static QString text;
    return text;
}

} // namespace

namespace ApplicationTitle {

void set(const QString &text)
{
    title() = text;
}

QString text()
{
    return title().isEmpty() ? QGuiApplication::applicationDisplayName() : title();
}

} // namespace ApplicationTitle

} // namespace platform
