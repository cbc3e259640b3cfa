#include "data/LaunchParameters.h"

namespace {
QStringList &parameters()
{
    static QStringList p;
    return p;
}
} // namespace

void setLaunchParameters(const QStringList &arguments)
{
    parameters() = arguments;
}

QString launchParameter(int position)
{
    return parameters().value(position);
}
