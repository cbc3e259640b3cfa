#include "bench/EngineRunner.h"

#include "platform/sql/Database.h"
#include "platform/sql/NamedParams.h"
#include "platform/sql/SqliteServerObjects.h"

#include <sqlite3.h>
#include <stdexcept>

using namespace platform;

EngineRunner::EngineRunner(const QString &databaseFile, const QString &configFile)
{
    if (sqlite3_open_v2(databaseFile.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the database");
    sqlite3_busy_timeout(m_db, 15000);
    SqliteServerObjects::installFunctions(m_db);
    // The same connection settings as the program's, so that the engine's time is a fair limit.
    for (const QString &pragma : Database::sqlitePragmas())
        sqlite3_exec(m_db, pragma.toUtf8().constData(), nullptr, nullptr, nullptr);
    const QByteArray attach = "ATTACH DATABASE '" + configFile.toUtf8() + "' AS QLM_Config";
    sqlite3_exec(m_db, attach.constData(), nullptr, nullptr, nullptr);
}

EngineRunner::~EngineRunner()
{
    sqlite3_finalize(m_stmt);
    sqlite3_close(m_db);
}

int EngineRunner::run(const QString &text, const QVariantList &values)
{
    if (text != m_text) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        const QByteArray utf8 = text.toUtf8();
        if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        m_text = text;
    }
    for (int i = 0; i < values.size(); ++i) {
        const QVariant v = toSqliteValue(values[i]);
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
            sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong());
            break;
        case QMetaType::Double:
            sqlite3_bind_double(m_stmt, i + 1, v.toDouble());
            break;
        default: {
            const QByteArray t = v.toString().toUtf8();
            sqlite3_bind_text(m_stmt, i + 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        }
    }
    int rows = 0;
    const int columns = sqlite3_column_count(m_stmt);
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(m_stmt, c)) {
            case SQLITE_INTEGER:
                (void)sqlite3_column_int64(m_stmt, c);
                break;
            case SQLITE_FLOAT:
                (void)sqlite3_column_double(m_stmt, c);
                break;
            default:
                (void)sqlite3_column_text(m_stmt, c);
            }
        }
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    if (rc != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(m_db));
    return rows;
}
