#include "consignment/OfflineRows.h"

#include <QHash>
#include <cmath>

using namespace platform;

namespace {

const QStringList productColumns{QStringLiteral("Code"),     QStringLiteral("Prodname"), QStringLiteral("UseSerial"),
                                 QStringLiteral("UnitName"), QStringLiteral("BarCode"),  QStringLiteral("Price")};
const QStringList branchColumns{QStringLiteral("UserCode"), QStringLiteral("CusCode"), QStringLiteral("CusName"),
                                QStringLiteral("CusId")};
const QStringList dailyColumns{QStringLiteral("DocType"),        QStringLiteral("DocDate"),  QStringLiteral("BarCode"),
                               QStringLiteral("ConsigTypeText"), QStringLiteral("ProdName"), QStringLiteral("UnitName"),
                               QStringLiteral("Quantity"),       QStringLiteral("Price"),    QStringLiteral("Total")};
const QStringList onhandColumns{QStringLiteral("BarCode"), QStringLiteral("Prodname"), QStringLiteral("UnitName"),
                                QStringLiteral("Quantity")};

// The daily view's rounding of stored numbers (the company database's Tarvo_RPFloat: half away
// from zero to 6 decimals).
double rounded(double value)
{
    const double scaled = value * 1e6;
    return std::isfinite(scaled) && std::fabs(scaled) < 9e15 ? std::round(scaled) / 1e6 : value;
}

QString typeOf(const ConsignmentLine &line)
{
    return line.consigType.trimmed().toUpper();
}

// The stored rows with one more column (empty in each of them); the given columns when the
// company database gave none.
ResultRows withColumn(const ResultRows &stored, const QStringList &columns, const QString &extra)
{
    ResultRows rows;
    rows.columns = stored.columns.isEmpty() ? columns : stored.columns;
    rows.columns << extra;
    const int width = int(stored.columns.size());
    for (int r = 0; r < stored.rowCount(); ++r) {
        for (int c = 0; c < width; ++c)
            rows.cells << stored.cells[r * width + c];
        rows.cells << QVariant(QString());
    }
    return rows;
}

// Appends one row given by column names (found without regard to case); a column not named is
// null.
void append(ResultRows &rows, const QHash<QString, QVariant> &byName)
{
    for (const QString &column : rows.columns)
        rows.cells << byName.value(column.toUpper());
}

int columnOf(const ResultRows &rows, const QString &name)
{
    for (int c = 0; c < rows.columns.size(); ++c)
        if (rows.columns[c].compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

} // namespace

namespace OfflineRows {

ResultRows product(const std::optional<ScanProduct> &found)
{
    ResultRows rows;
    rows.columns = productColumns;
    if (found)
        rows.cells << found->productCode << found->productName << found->useSerial << found->unitName << found->barcode
                   << found->price;
    return rows;
}

ResultRows branches(const QList<ScanBranch> &list)
{
    ResultRows rows;
    rows.columns = branchColumns;
    for (const ScanBranch &b : list)
        rows.cells << b.userCode << b.cusCode << b.cusName << b.cusId;
    return rows;
}

QString stateText(JournalState state)
{
    return state == JournalState::Refused ? QStringLiteral("ถูกปฏิเสธ") : QStringLiteral("รอส่ง");
}

bool waits(JournalState state)
{
    return state == JournalState::New || state == JournalState::Sending || state == JournalState::Held;
}

bool mayBeStored(const JournalEntry &entry)
{
    return entry.state == JournalState::Sending || (waits(entry.state) && entry.outcomeUnknown);
}

QList<JournalEntry> notAmong(const QList<JournalEntry> &lines, const QSet<QUuid> &stored)
{
    QList<JournalEntry> kept;
    for (const JournalEntry &e : lines)
        if (!stored.contains(e.requestId))
            kept << e;
    return kept;
}

QString typeText(const ConsignmentLine &line)
{
    const QString type = typeOf(line);
    if (type == QLatin1String("S"))
        return QStringLiteral("ขาย");
    if (type == QLatin1String("R"))
        return QStringLiteral("รับคืน");
    if (type == QLatin1String("A") && line.quantity > 0)
        return QStringLiteral("ปรับปรุง+");
    if (type == QLatin1String("A") && line.quantity < 0)
        return QStringLiteral("ปรุบปรุง-");
    return QStringLiteral("ไม่ระบุ");
}

double dailyTotal(const ConsignmentLine &line)
{
    return (typeOf(line) == QLatin1String("R") ? -1 : 1) * rounded(line.quantity * line.price);
}

ResultRows daily(const ResultRows &stored, const QList<JournalEntry> &lines)
{
    ResultRows rows = withColumn(stored, dailyColumns, StateField);
    for (const JournalEntry &e : lines) {
        const ConsignmentLine &l = e.line;
        const QString type = typeOf(l);
        const double sign = type == QLatin1String("R") ? -1 : 1;
        append(rows,
               {{QStringLiteral("DOCTYPE"), 2},
                {QStringLiteral("DOCDATE"), l.editDate},
                {QStringLiteral("BARCODE"), l.barcode},
                {QStringLiteral("CONSIGTYPETEXT"), typeText(l)},
                {QStringLiteral("PRODNAME"), l.shown.productName},
                {QStringLiteral("UNITNAME"), l.shown.unitName},
                {QStringLiteral("QUANTITY"), sign * rounded(l.quantity)},
                {QStringLiteral("PRICE"), rounded(l.price)},
                {QStringLiteral("TOTAL"), dailyTotal(l)},
                {StateField.toUpper(), stateText(e.state)}});
    }
    return rows;
}

QDate lastDayOf(int year, int period)
{
    return period <= 0 ? QDate(year - 1, 12, 31) : QDate(year, period, 1).addMonths(1).addDays(-1);
}

ResultRows onhand(const ResultRows &stored, const QList<JournalEntry> &lines, int year, int period)
{
    ResultRows rows = withColumn(stored, onhandColumns, WaitingField);
    const int barcode = columnOf(rows, QStringLiteral("BarCode"));
    const int waiting = int(rows.columns.size()) - 1;
    const QDate last = lastDayOf(year, period);
    for (const JournalEntry &e : lines) {
        const ConsignmentLine &l = e.line;
        if (!waits(e.state) || l.editDate > last)
            continue;
        const double change = typeOf(l) == QLatin1String("S") ? -l.quantity : l.quantity;
        const int width = int(rows.columns.size());
        int row = 0;
        while (row < rows.rowCount() && rows.cells[row * width + barcode].toString().compare(l.barcode, Qt::CaseInsensitive) != 0)
            ++row;
        if (row == rows.rowCount())
            append(rows,
                   {{QStringLiteral("BARCODE"), l.barcode},
                    {QStringLiteral("PRODNAME"), l.shown.productName},
                    {QStringLiteral("UNITNAME"), l.shown.unitName},
                    {QStringLiteral("QUANTITY"), 0.0},
                    {WaitingField.toUpper(), 0.0}});
        QVariant &cell = rows.cells[row * width + waiting];
        cell = rounded(cell.toDouble() + change);
    }
    return rows;
}

} // namespace OfflineRows
