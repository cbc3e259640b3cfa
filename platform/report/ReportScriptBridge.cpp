#include "platform/report/ReportScriptBridge.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportScript.h"

namespace platform {

ReportScriptBridge::ReportScriptBridge(ReportScript &script)
    : m_script(script)
{}

template <typename Call>
QVariant ReportScriptBridge::guarded(Call call)
{
    try {
        return call();
    } catch (const Exception &error) {
        m_script.keepException(std::current_exception());
        m_script.engine().throwError(error.message());
    } catch (const std::exception &error) {
        m_script.keepException(std::current_exception());
        m_script.engine().throwError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        m_script.keepException(std::current_exception());
        m_script.engine().throwError(QStringLiteral("unknown error"));
    }
    return QVariant();
}

QVariant ReportScriptBridge::v(const QString &name)
{
    return guarded([&] { return m_script.resolveName(name); });
}

QVariant ReportScriptBridge::f(const QString &dataset, const QString &field)
{
    return guarded([&] { return m_script.resolveField(dataset, field); });
}

QVariant ReportScriptBridge::h(int call)
{
    return guarded([&] { return m_script.callHost(call); });
}

QVariant ReportScriptBridge::agg(int aggregate)
{
    return guarded([&] { return m_script.aggregateValue(aggregate); });
}

QVariant ReportScriptBridge::fn(const QString &name, const QVariantList &arguments)
{
    return guarded([&] { return m_script.callBuiltIn(name, arguments); });
}

} // namespace platform
