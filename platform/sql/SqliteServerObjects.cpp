#include "platform/sql/SqliteServerObjects.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <sqlite3.h>

#include <list>

namespace platform {

namespace SqliteServerObjects {
namespace {

struct FunctionEntry {
    QString name;
    int nArgs;
    ScalarFunction function;
};

struct Registry {
    QMutex mutex;
    QHash<QString, Procedure> procedures; // key: upper-cased name
    std::list<FunctionEntry> functions;   // stable addresses: handed to the engine as user data
};

Registry &registry()
{
    static Registry r;
    return r;
}

QVariant fromSqlite(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v)));
    }
}

void toSqlite(sqlite3_context *ctx, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_result_null(ctx);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        sqlite3_result_int64(ctx, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_result_double(ctx, value.toDouble());
        break;
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_result_text(ctx, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
    }
    }
}

void callFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    auto *entry = static_cast<FunctionEntry *>(sqlite3_user_data(ctx));
    QVariantList args;
    args.reserve(argc);
    for (int i = 0; i < argc; ++i)
        args << fromSqlite(argv[i]);
    try {
        toSqlite(ctx, entry->function(args));
    } catch (const std::exception &e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

QDate dateOf(const QVariant &v)
{
    const QString text = v.toString();
    return QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
}

void registerBuiltins(Registry &r)
{
    // T-SQL functions the quoted statements use that the embedded engine lacks.
    r.functions.push_back({QStringLiteral("GetDate"), 0, [](const QVariantList &) {
                               return QVariant(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
                           }});
    r.functions.push_back({QStringLiteral("Year"), 1, [](const QVariantList &a) {
                               const QDate d = dateOf(a.value(0));
                               return d.isValid() ? QVariant(d.year()) : QVariant();
                           }});
    r.functions.push_back({QStringLiteral("Month"), 1, [](const QVariantList &a) {
                               const QDate d = dateOf(a.value(0));
                               return d.isValid() ? QVariant(d.month()) : QVariant();
                           }});
    r.functions.push_back({QStringLiteral("Day"), 1, [](const QVariantList &a) {
                               const QDate d = dateOf(a.value(0));
                               return d.isValid() ? QVariant(d.day()) : QVariant();
                           }});
}

} // namespace

void registerProcedure(const Procedure &procedure)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.procedures.insert(procedure.name.toUpper(), procedure);
}

const Procedure *findProcedure(const QString &name)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    auto it = r.procedures.constFind(name.trimmed().toUpper());
    return it == r.procedures.constEnd() ? nullptr : &it.value();
}

void registerFunction(const QString &name, int nArgs, const ScalarFunction &function)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (FunctionEntry &e : r.functions) {
        if (e.name.compare(name, Qt::CaseInsensitive) == 0 && e.nArgs == nArgs) {
            e.function = function;
            return;
        }
    }
    r.functions.push_back({name, nArgs, function});
}

void installFunctions(sqlite3 *handle)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    static bool builtins = false;
    if (!builtins) {
        registerBuiltins(r);
        builtins = true;
    }
    for (FunctionEntry &e : r.functions) {
        const QByteArray name = e.name.toUtf8();
        sqlite3_create_function_v2(handle, name.constData(), e.nArgs, SQLITE_UTF8, &e, &callFunction, nullptr, nullptr, nullptr);
    }
}

} // namespace SqliteServerObjects

} // namespace platform
