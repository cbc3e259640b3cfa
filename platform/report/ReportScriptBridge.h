#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

namespace platform {

class ReportScript;

// The object behind the functions compiled expressions call (`__rv`, `__rf`, `__rh`, `__ragg`
// and `__rfn` are its methods). Each call goes to the script; a C++ exception raised there is
// kept by the script and turned into a JavaScript error here, since C++ exceptions must not
// unwind through the JavaScript engine.
class ReportScriptBridge : public QObject
{
    Q_OBJECT

public:
    explicit ReportScriptBridge(ReportScript &script);

    Q_INVOKABLE QVariant v(const QString &name);
    Q_INVOKABLE QVariant f(const QString &dataset, const QString &field);
    Q_INVOKABLE QVariant h(int call);
    Q_INVOKABLE QVariant agg(int aggregate);
    Q_INVOKABLE QVariant fn(const QString &name, const QVariantList &arguments);

private:
    template <typename Call>
    QVariant guarded(Call call);

    ReportScript &m_script;
};

} // namespace platform
