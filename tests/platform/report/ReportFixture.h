#pragma once

#include "platform/report/ReportDocument.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

// Shared set-up of the report tests: a fresh SQLite database of sales rows in a temporary
// directory, the definition files kept beside the tests, and a text dump of a prepared page.
namespace ReportFixture {

inline const QStringList &branches()
{
    static const QStringList names{QStringLiteral("สาขาเชียงใหม่"), QStringLiteral("สาขากรุงเทพ"), QStringLiteral("สาขาขอนแก่น"),
                                   QStringLiteral("สาขาภูเก็ต")};
    return names;
}

inline const QStringList &products()
{
    static const QStringList names{QStringLiteral("น้ำปลา"),   QStringLiteral("ข้าวหอมมะลิ"), QStringLiteral("Soap bar"),
                                   QStringLiteral("ผงซักฟอก"), QStringLiteral("ยาสีฟัน"),     QStringLiteral("Coffee, instant")};
    return names;
}

// Creates table Sales with `rows` rows spread over the four branches.
inline void createSales(const QString &connectionName, const QString &path, int rows)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(path);
    QVERIFY2(db.open(), qPrintable(db.lastError().text()));
    QSqlQuery query(db);
    QVERIFY(query.exec(QStringLiteral("CREATE TABLE Sales (Id INTEGER PRIMARY KEY, Branch TEXT, Product TEXT, "
                                      "Qty INTEGER, Price REAL, SaleYear INTEGER, Paid TEXT)")));
    QVERIFY(db.transaction());
    QVERIFY(query.prepare(QStringLiteral("INSERT INTO Sales VALUES (?, ?, ?, ?, ?, ?, ?)")));
    for (int i = 1; i <= rows; ++i) {
        query.addBindValue(i);
        query.addBindValue(branches().at(i % branches().size()));
        query.addBindValue(products().at(i % products().size()));
        query.addBindValue((i * 7) % 13 + 1);
        query.addBindValue(10 + (i * 37) % 90 + 0.25 * (i % 4));
        query.addBindValue(i % 5 == 0 ? 2023 : 2024);
        query.addBindValue(i % 3 == 0 ? QStringLiteral("Y") : QStringLiteral("N"));
        QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
    }
    QVERIFY(db.commit());
}

inline QString sourceDir()
{
    const QByteArray root = qgetenv("TARVO_SOURCE_DIR");
    return QString::fromLocal8Bit(root) + QStringLiteral("/tests/platform/report");
}

inline QString definitionPath(const QString &name)
{
    return sourceDir() + QStringLiteral("/definitions/") + name;
}

inline QString expectedPath(const QString &name)
{
    return sourceDir() + QStringLiteral("/expected/") + name;
}

// One line per text item: band, object, position and size in whole millimetres, and its lines.
inline QString dumpPage(const platform::ReportPage &page)
{
    QStringList out;
    for (const platform::ReportPageItem &item : page.items) {
        if (item.kind != platform::ReportPageItem::Kind::Text)
            continue;
        QStringList lines;
        for (const platform::ReportTextLine &line : item.lines)
            lines.append(line.text);
        out.append(QStringLiteral("%1 %2 %3 %4 | %5")
                       .arg(item.objectName)
                       .arg(qRound(item.rect.x()))
                       .arg(qRound(item.rect.y()))
                       .arg(qRound(item.rect.height()))
                       .arg(lines.join(QStringLiteral(" / "))));
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

inline QString dumpDocument(const platform::ReportDocument &document)
{
    QString out;
    for (int p = 0; p < document.pages.size(); ++p)
        out += QStringLiteral("== page %1\n").arg(p + 1) + dumpPage(document.pages.at(p));
    return out;
}

// Compares `actual` with the expected file; TARVO_UPDATE_EXPECTED=1 rewrites the file instead.
inline bool matchesExpected(const QByteArray &actual, const QString &name)
{
    const QString path = expectedPath(name);
    if (qEnvironmentVariableIntValue("TARVO_UPDATE_EXPECTED") == 1) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(actual);
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("missing expected file %s", qPrintable(path));
        return false;
    }
    const QByteArray expected = file.readAll();
    if (expected == actual)
        return true;
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    for (int i = 0; i < std::max(a.size(), e.size()); ++i) {
        if (a.value(i) != e.value(i)) {
            qWarning("%s differs at line %d:\n  expected: %s\n  actual:   %s", qPrintable(name), i + 1, e.value(i).constData(),
                     a.value(i).constData());
            break;
        }
    }
    return false;
}

} // namespace ReportFixture
