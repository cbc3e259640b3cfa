#include "platform/report/ReportScript.h"

#include "platform/report/ReportError.h"
#include "platform/report/ReportNumberFormat.h"
#include "platform/report/ReportScriptBridge.h"
#include "platform/report/ReportValueText.h"

#include <QDateTime>
#include <QLocale>
#include <QScopeGuard>
#include <cmath>

namespace platform {

namespace {

QString ownerPrefix(const ReportScript::Owner &owner)
{
    if (owner.line > 0)
        return QStringLiteral("%1 (line %2)").arg(owner.name).arg(owner.line);
    return owner.name;
}

// What the script sees: null for nothing, dates as date-times at midnight.
QVariant toScript(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QVariant::fromValue(nullptr);
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    return value;
}

} // namespace

ReportScript::ReportScript(const QStringList &datasetNames)
    : m_bridge(std::make_unique<ReportScriptBridge>(*this))
    , m_translator(datasetNames)
{
    QJSEngine::setObjectOwnership(m_bridge.get(), QJSEngine::CppOwnership);
    // Each bridge method is looked up once and kept as a global function: looking a method up
    // on the wrapped object at every call costs more than the call.
    const QJSValue bridge = m_engine.newQObject(m_bridge.get());
    for (const char *method : {"v", "f", "h", "agg", "fn"})
        m_engine.globalObject().setProperty(QStringLiteral("__r") + QLatin1String(method),
                                            bridge.property(QLatin1String(method)));
}

ReportScript::~ReportScript() = default;

void ReportScript::setFunctionHandler(ReportFunctionHandler handler)
{
    m_handler = std::move(handler);
}

void ReportScript::setDataset(const QString &name, const ReportDataResult &data)
{
    Dataset dataset;
    dataset.name = name;
    dataset.columns = data.columns;
    dataset.rows = data.rows;
    for (int i = 0; i < data.columns.size(); ++i) {
        const QString key = data.columns.at(i).toLower();
        if (!dataset.index.contains(key))
            dataset.index.insert(key, i);
    }
    m_datasets.insert(name.toLower(), dataset);
}

void ReportScript::setMasterDataset(const QString &name)
{
    m_master = name.toLower();
}

void ReportScript::setVariable(const QString &name, const QString &expression, const Owner &owner)
{
    m_variables.insert(name.toLower(), compile(expression, AggregateScope(), owner));
}

QString ReportScript::translate(const QString &expression, const AggregateScope &scope, const Owner &owner)
{
    ReportExpressionTranslator::Hooks hooks;
    hooks.hostCall = [this, scope, owner](const QString &name, const QStringList &arguments) {
        HostCall call{name, arguments, {}};
        for (const QString &argument : arguments) {
            const QString js = translate(argument, scope, owner);
            const QJSValue function = m_engine.evaluate(QStringLiteral("(function () { return (%1\n); })").arg(js));
            if (function.isError())
                throw ReportError(QStringLiteral("argument \"%1\" of %2: %3").arg(argument, name, function.toString()));
            m_compiled.append({function, argument, owner});
            call.argumentIds.append(int(m_compiled.size() - 1));
        }
        m_hostCalls.append(call);
        return int(m_hostCalls.size() - 1);
    };
    if (scope.kind != AggregateScope::None) {
        hooks.aggregate = [this, scope, owner](const QString &function, const QString &argument) {
            Aggregate aggregate{function, -1, scope, owner};
            if (!argument.isEmpty()) {
                const QString js = translate(argument, AggregateScope(), owner);
                const QJSValue compiled = m_engine.evaluate(QStringLiteral("(function () { return (%1\n); })").arg(js));
                if (compiled.isError())
                    throw ReportError(QStringLiteral("argument \"%1\" of %2: %3").arg(argument, function, compiled.toString()));
                m_compiled.append({compiled, argument, owner});
                aggregate.argument = int(m_compiled.size() - 1);
            }
            m_aggregates.append(aggregate);
            m_earlyAggregates = m_earlyAggregates || scope.early;
            return int(m_aggregates.size() - 1);
        };
    }
    return m_translator.translate(expression, hooks);
}

int ReportScript::compile(const QString &expression, const AggregateScope &scope, const Owner &owner)
{
    const QString where = owner.line > 0 ? QStringLiteral("Line %1: ").arg(owner.line) : QString();
    QString js;
    try {
        js = translate(expression, scope, owner);
    } catch (const ReportError &error) {
        throw ReportError(QStringLiteral("%1the expression \"%2\" of %3 does not compile: %4")
                              .arg(where, expression, owner.name, error.message()));
    }
    const QJSValue function = m_engine.evaluate(QStringLiteral("(function () { return (%1\n); })").arg(js));
    if (function.isError()) {
        throw ReportError(QStringLiteral("%1the expression \"%2\" of %3 does not compile: %4")
                              .arg(where, expression, owner.name, function.toString()));
    }
    m_compiled.append({function, expression, owner});
    return int(m_compiled.size() - 1);
}

QVariant ReportScript::evaluate(int expression)
{
    return run(expression);
}

QVariant ReportScript::run(int expression)
{
    const Compiled compiled = m_compiled.at(expression); // a copy: evaluation may compile more
    const Owner saved = m_owner;
    m_owner = compiled.owner;
    const auto restore = qScopeGuard([&] { m_owner = saved; });
    QJSValue result = compiled.function.call();
    if (m_pending) {
        std::exception_ptr pending = m_pending;
        m_pending = nullptr;
        if (m_engine.hasError())
            m_engine.catchError();
        std::rethrow_exception(pending);
    }
    if (m_engine.hasError())
        result = m_engine.catchError();
    if (result.isError())
        throw ReportError(QStringLiteral("%1: %2").arg(ownerPrefix(compiled.owner), result.toString()));
    return fromScript(result);
}

QVariant ReportScript::evaluate(const QString &expression)
{
    const QString text = expression.trimmed();
    if (!m_hostCallStack.isEmpty()) {
        const HostCall &call = m_hostCalls.at(m_hostCallStack.last());
        for (int i = 0; i < call.arguments.size(); ++i) {
            if (call.arguments.at(i) == text)
                return run(call.argumentIds.at(i));
        }
    }
    auto found = m_adHoc.constFind(text);
    if (found == m_adHoc.constEnd()) {
        try {
            found = m_adHoc.insert(text, compile(text, AggregateScope(), m_owner));
        } catch (const ReportError &error) {
            throw ReportError(QStringLiteral("%1: %2").arg(ownerPrefix(m_owner), error.message()));
        }
    }
    return run(found.value());
}

int ReportScript::rowCount() const
{
    const auto master = m_datasets.constFind(m_master);
    return master == m_datasets.constEnd() ? 0 : int(master->rows.size());
}

void ReportScript::setRow(int row)
{
    m_row = row;
}

void ReportScript::beginPass()
{
    if (!m_current.isEmpty())
        m_finals = m_current;
    m_current.clear();
    m_groupInstance.clear();
    m_groupCounter.clear();
    m_row = -1;
    m_page = 0;
}

ReportScript::State ReportScript::saveState() const
{
    return {m_current, m_groupInstance, m_groupCounter, m_row, m_page};
}

void ReportScript::restoreState(const State &state)
{
    m_current = state.current;
    m_groupInstance = state.groupInstance;
    m_groupCounter = state.groupCounter;
    m_row = state.row;
    m_page = state.page;
}

void ReportScript::startGroup(int group)
{
    while (m_groupCounter.size() <= group) {
        m_groupCounter.append(0);
        m_groupInstance.append(0);
    }
    m_groupInstance[group] = ++m_groupCounter[group];
}

quint64 ReportScript::aggregateKey(int aggregate) const
{
    const AggregateScope &scope = m_aggregates.at(aggregate).scope;
    quint32 instance = 0;
    if (scope.kind == AggregateScope::Group)
        instance = quint32(m_groupInstance.value(scope.group));
    else if (scope.kind == AggregateScope::Page)
        instance = quint32(m_page);
    return (quint64(aggregate) << 32) | instance;
}

void ReportScript::accumulate(int aggregate)
{
    const int argument = m_aggregates.at(aggregate).argument;
    const quint64 key = aggregateKey(aggregate);
    if (argument < 0) {
        ++m_current[key].count;
        return;
    }
    const QVariant value = run(argument);
    if (!value.isValid() || value.isNull())
        return;
    Accumulator &accumulator = m_current[key];
    const double number = value.toDouble();
    if (accumulator.count == 0) {
        accumulator.min = number;
        accumulator.max = number;
    } else {
        accumulator.min = std::min(accumulator.min, number);
        accumulator.max = std::max(accumulator.max, number);
    }
    accumulator.sum += number;
    ++accumulator.count;
}

void ReportScript::accumulateRow()
{
    for (int i = 0; i < m_aggregates.size(); ++i) {
        if (m_aggregates.at(i).scope.kind != AggregateScope::Page)
            accumulate(i);
    }
}

void ReportScript::accumulatePage()
{
    for (int i = 0; i < m_aggregates.size(); ++i) {
        if (m_aggregates.at(i).scope.kind == AggregateScope::Page)
            accumulate(i);
    }
}

QVariant ReportScript::aggregateValue(int aggregate)
{
    const Aggregate &definition = m_aggregates.at(aggregate);
    if (definition.scope.kind == AggregateScope::Page || definition.scope.early)
        ++m_pageBoundReads;
    const quint64 key = aggregateKey(aggregate);
    Accumulator accumulator;
    if (definition.scope.kind != AggregateScope::Running && m_finals.contains(key))
        accumulator = m_finals.value(key);
    else
        accumulator = m_current.value(key);
    if (definition.function == QLatin1String("SUM"))
        return accumulator.sum;
    if (definition.function == QLatin1String("COUNT"))
        return double(accumulator.count);
    if (accumulator.count == 0)
        return QVariant::fromValue(nullptr);
    if (definition.function == QLatin1String("AVG"))
        return accumulator.sum / double(accumulator.count);
    if (definition.function == QLatin1String("MIN"))
        return accumulator.min;
    return accumulator.max;
}

QVariant ReportScript::rowValue(const Dataset &dataset, int row, const QString &field, bool *found) const
{
    const auto column = dataset.index.constFind(field.toLower());
    *found = column != dataset.index.constEnd();
    if (!*found || dataset.rows.isEmpty())
        return QVariant::fromValue(nullptr);
    const int at = std::clamp(row, 0, int(dataset.rows.size()) - 1);
    return toScript(dataset.rows.at(at).value(column.value()));
}

QVariant ReportScript::resolveName(const QString &name)
{
    const auto master = m_datasets.constFind(m_master);
    if (master != m_datasets.constEnd()) {
        bool found = false;
        const QVariant value = rowValue(*master, m_row, name, &found);
        if (found)
            return value;
    }
    const QString key = name.toLower();
    const auto variable = m_variables.constFind(key);
    if (variable != m_variables.constEnd()) {
        if (m_evaluatingVariables.contains(key))
            throw ReportError(QStringLiteral("%1: variable %2 refers to itself").arg(ownerPrefix(m_owner), name));
        m_evaluatingVariables.insert(key);
        const auto release = qScopeGuard([&] { m_evaluatingVariables.remove(key); });
        return toScript(run(variable.value()));
    }
    if (key == QLatin1String("page")) {
        ++m_pageBoundReads;
        return m_page;
    }
    if (key == QLatin1String("totalpages")) {
        m_totalPagesRead = true;
        ++m_pageBoundReads;
        return m_totalPages;
    }
    if (key == QLatin1String("line"))
        return m_row + 1;
    if (key == QLatin1String("date"))
        return QDate::currentDate().startOfDay();
    if (key == QLatin1String("time") || key == QLatin1String("now"))
        return QDateTime::currentDateTime();
    throw ReportError(QStringLiteral("%1: unknown name \"%2\"").arg(ownerPrefix(m_owner), name));
}

QVariant ReportScript::resolveField(const QString &dataset, const QString &field)
{
    const auto found = m_datasets.constFind(dataset.toLower());
    if (found == m_datasets.constEnd())
        throw ReportError(QStringLiteral("%1: dataset %2 has not been opened").arg(ownerPrefix(m_owner), dataset));
    bool known = false;
    const QVariant value = rowValue(*found, found.key() == m_master ? m_row : 0, field, &known);
    if (!known)
        throw ReportError(QStringLiteral("%1: dataset %2 has no field \"%3\"").arg(ownerPrefix(m_owner), dataset, field));
    return value;
}

QVariant ReportScript::callHost(int call)
{
    if (!m_handler)
        return QVariant::fromValue(nullptr);
    const HostCall definition = m_hostCalls.at(call); // a copy: the handler may compile more
    QVariant result;
    m_hostCallStack.append(call);
    const auto pop = qScopeGuard([&] { m_hostCallStack.removeLast(); });
    m_handler(definition.name, definition.arguments, *this, result);
    return toScript(result);
}

QVariant ReportScript::callBuiltIn(const QString &name, const QVariantList &arguments)
{
    auto expect = [&](int least, int most) {
        if (arguments.size() < least || arguments.size() > most)
            throw ReportError(
                QStringLiteral("%1: %2 takes %3 to %4 arguments").arg(ownerPrefix(m_owner), name).arg(least).arg(most));
    };
    const QVariant first = arguments.value(0);
    if (name == QLatin1String("FORMATFLOAT")) {
        expect(2, 2);
        return ReportNumberFormat::format(arguments.at(1).toDouble(), first.toString());
    }
    if (name == QLatin1String("FORMATDATETIME")) {
        expect(2, 2);
        return ReportValueText::text(arguments.at(1).toDateTime(), QString(), first.toString());
    }
    if (name == QLatin1String("STR")) {
        expect(1, 1);
        return ReportValueText::text(first, QString(), QString());
    }
    if (name == QLatin1String("UPPERCASE")) {
        expect(1, 1);
        return first.toString().toUpper();
    }
    if (name == QLatin1String("LOWERCASE")) {
        expect(1, 1);
        return first.toString().toLower();
    }
    if (name == QLatin1String("TRIM")) {
        expect(1, 1);
        return first.toString().trimmed();
    }
    if (name == QLatin1String("LENGTH")) {
        expect(1, 1);
        return double(first.toString().size());
    }
    if (name == QLatin1String("ROUND")) {
        expect(1, 2);
        const double scale = std::pow(10.0, arguments.value(1).toInt());
        return std::round(first.toDouble() * scale) / scale;
    }
    throw ReportError(QStringLiteral("%1: unknown function %2").arg(ownerPrefix(m_owner), name));
}

void ReportScript::keepException(std::exception_ptr exception)
{
    if (!m_pending)
        m_pending = exception;
}

QVariant ReportScript::fromScript(const QJSValue &value)
{
    if (value.isUndefined() || value.isNull())
        return QVariant();
    if (value.isBool())
        return value.toBool();
    if (value.isNumber())
        return value.toNumber();
    if (value.isString())
        return value.toString();
    if (value.isDate())
        return value.toDateTime();
    return value.toVariant();
}

} // namespace platform
