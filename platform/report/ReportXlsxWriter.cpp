#include "platform/report/ReportXlsxWriter.h"

#include "platform/core/Exceptions.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cmath>
#include <xlsxwriter.h>

namespace platform {

namespace {

constexpr int MaximumTextLength = 32767; // Excel's limit for one cell

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

std::function<ReportXlsxWriter::Owner()> &ownerSource()
{
    static std::function<ReportXlsxWriter::Owner()> source;
    return source;
}

// A column's letters in a cell reference: 0 is A, 26 is AA.
QByteArray columnName(int column)
{
    QByteArray name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(char('A' + (c - 1) % 26));
    return name;
}

} // namespace

void ReportXlsxWriter::setOwnerSource(std::function<Owner()> source)
{
    ownerSource() = std::move(source);
}

ReportXlsxWriter::ReportXlsxWriter(const QString &path, const QString &sheetName)
    : m_path(path)
    , m_title(sheetName)
    , m_temporary(QDir::tempPath() + QStringLiteral("/tarvo-XXXXXX.xlsx"))
{
    // libxlsxwriter writes its file in one go at the end: it goes to a temporary file first,
    // and only a complete workbook is copied to the path.
    if (!m_temporary.open())
        throw EInOutError(QStringLiteral("Cannot write \"%1\": %2").arg(path, m_temporary.errorString()));
    m_temporary.close();
    m_workbook = workbook_new(QFile::encodeName(m_temporary.fileName()).constData());
    if (!m_workbook)
        throw EInOutError(QStringLiteral("Cannot write \"%1\": the workbook cannot be started").arg(path));
    m_sheet = workbook_add_worksheet(m_workbook, sheetNameOf(sheetName).toUtf8().constData());
    if (!m_sheet) {
        workbook_close(m_workbook);
        m_workbook = nullptr;
        throw EInOutError(QStringLiteral("Cannot write \"%1\": the sheet cannot be added").arg(path));
    }
}

ReportXlsxWriter::~ReportXlsxWriter()
{
    if (m_workbook)
        workbook_close(m_workbook); // into the temporary file, which goes with the writer
}

bool ReportXlsxWriter::keepsValue(const QVariant &value)
{
    return isNumber(value) || value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime;
}

QString ReportXlsxWriter::sheetNameOf(const QString &title)
{
    QString name;
    for (const QChar c : title)
        name += QStringLiteral("[]:*?/\\").contains(c) || c.category() == QChar::Other_Control ? QLatin1Char(' ') : c;
    name = name.simplified().left(31).trimmed();
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}

QString ReportXlsxWriter::excelNumberFormat(const QString &pattern)
{
    static const QString plain = QStringLiteral("0#.,; -+()$/:");
    QString out;
    QString quoted;
    auto flush = [&] {
        if (!quoted.isEmpty())
            out += QLatin1Char('"') + quoted + QLatin1Char('"');
        quoted.clear();
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype close = pattern.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close;
            quoted += pattern.mid(i + 1, end - i - 1).remove(QLatin1Char('"'));
            i = end;
        } else if (plain.contains(c)) {
            flush();
            out += c;
        } else {
            quoted += c;
        }
    }
    flush();
    return out;
}

lxw_format *ReportXlsxWriter::format(const QString &numberFormat, bool bold)
{
    if (numberFormat.isEmpty() && !bold)
        return nullptr;
    const QString key = (bold ? QLatin1Char('b') : QLatin1Char('n')) + numberFormat;
    auto found = m_formats.constFind(key);
    if (found != m_formats.constEnd())
        return found.value();
    lxw_format *format = workbook_add_format(m_workbook);
    if (!numberFormat.isEmpty())
        format_set_num_format(format, numberFormat.toUtf8().constData());
    if (bold)
        format_set_bold(format);
    m_formats.insert(key, format);
    return format;
}

void ReportXlsxWriter::check(int error, const char *what)
{
    if (error != LXW_NO_ERROR && m_failure.isEmpty())
        m_failure = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromUtf8(lxw_strerror(lxw_error(error))));
}

void ReportXlsxWriter::setColumnWidth(int column, double characters)
{
    check(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), characters, nullptr), "column width");
}

void ReportXlsxWriter::setPageSetup(bool landscape)
{
    if (landscape)
        worksheet_set_landscape(m_sheet);
    else
        worksheet_set_portrait(m_sheet);
    worksheet_set_paper(m_sheet, 9); // A4
    worksheet_fit_to_pages(m_sheet, 1, 0);
}

void ReportXlsxWriter::markHeaderRow()
{
    if (m_row == 0)
        return;
    const lxw_row_t header = lxw_row_t(m_row - 1);
    worksheet_freeze_panes(m_sheet, header + 1, 0);
    check(worksheet_repeat_rows(m_sheet, header, header), "header row");
}

void ReportXlsxWriter::addRow(const QList<Cell> &cells)
{
    const int row = m_row++;
    for (int c = 0; c < cells.size(); ++c)
        writeCell(row, c, cells.at(c));
}

void ReportXlsxWriter::addTotalRow(const QList<Cell> &cells, const QList<int> &sumColumns, int firstRow)
{
    const int row = m_row++;
    for (int c = 0; c < cells.size(); ++c) {
        const Cell &cell = cells.at(c);
        if (!sumColumns.contains(c) || row <= firstRow) {
            writeCell(row, c, cell);
            continue;
        }
        const QByteArray formula =
            "=SUM(" + columnName(c) + QByteArray::number(firstRow + 1) + ':' + columnName(c) + QByteArray::number(row) + ')';
        check(worksheet_write_formula_num(m_sheet, lxw_row_t(row), lxw_col_t(c), formula.constData(),
                                          format(excelNumberFormat(cell.numberFormat), cell.bold), cell.value.toDouble()),
              "total");
    }
}

void ReportXlsxWriter::writeCell(int rowNumber, int c, const Cell &cell)
{
    const lxw_row_t row = lxw_row_t(rowNumber);
    const QVariant &value = cell.value;
    const lxw_col_t column = lxw_col_t(c);
    if (isNumber(value)) {
        const double number = value.toDouble();
        if (std::isfinite(number)) {
            check(worksheet_write_number(m_sheet, row, column, number, format(excelNumberFormat(cell.numberFormat), cell.bold)),
                  "number");
        }
    } else if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
        const QDateTime at = value.toDateTime();
        if (!at.isValid())
            return;
        lxw_datetime datetime{at.date().year(), at.date().month(),  at.date().day(),
                              at.time().hour(), at.time().minute(), at.time().second() + at.time().msec() / 1000.0};
        const bool midnight = at.time() == QTime(0, 0);
        check(worksheet_write_datetime(
                  m_sheet, row, column, &datetime,
                  format(midnight ? QStringLiteral("dd/mm/yyyy") : QStringLiteral("dd/mm/yyyy hh:mm:ss"), cell.bold)),
              "date");
    } else {
        const QString text = value.toString().left(MaximumTextLength);
        if (!text.isEmpty())
            check(worksheet_write_string(m_sheet, row, column, text.toUtf8().constData(), format(QString(), cell.bold)), "text");
    }
}

void ReportXlsxWriter::close()
{
    const Owner owner = ownerSource() ? ownerSource()() : Owner();
    const QByteArray title = m_title.toUtf8();
    const QByteArray author = owner.author.toUtf8();
    const QByteArray company = owner.company.toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char *>(title.constData());
    properties.author = const_cast<char *>(author.constData());
    properties.company = const_cast<char *>(company.constData());
    check(workbook_set_properties(m_workbook, &properties), "document properties");
    lxw_workbook *workbook = m_workbook;
    m_workbook = nullptr;
    check(workbook_close(workbook), "workbook");
    if (!m_failure.isEmpty())
        throw EInOutError(QStringLiteral("Cannot write \"%1\": %2").arg(m_path, m_failure));
    QFile written(m_temporary.fileName());
    QSaveFile file(m_path);
    if (!written.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly) || file.write(written.readAll()) < 0 ||
        !file.commit())
        throw EInOutError(QStringLiteral("Cannot write \"%1\": %2").arg(m_path, file.errorString()));
}

} // namespace platform
