#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QTemporaryFile>
#include <QVariant>
#include <functional>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace platform {

// An Excel workbook of one sheet, written with libxlsxwriter and nothing from Qt Widgets: the
// report exports and the program's grids write their rows through it. Numbers become numbers
// (in the cell's number pattern), dates become dates, anything else text in UTF-8, so Thai
// stays Thai; a cell may be bold. Rows are added top to bottom. The file appears at its path
// only when close() succeeds; a writer that fails or is never closed leaves nothing there.
class ReportXlsxWriter
{
public:
    struct Cell {
        QVariant value;
        QString numberFormat; // a report number pattern such as "#,##0.00"; empty: as it comes
        bool bold = false;
    };

    // Raises EInOutError when the workbook cannot be started. The title is the sheet's name and
    // the document's title.
    ReportXlsxWriter(const QString &path, const QString &sheetName);
    ~ReportXlsxWriter();
    ReportXlsxWriter(const ReportXlsxWriter &) = delete;
    ReportXlsxWriter &operator=(const ReportXlsxWriter &) = delete;

    // Who a workbook is from: the document properties' author (the user) and company.
    struct Owner {
        QString author;
        QString company;
    };
    // The owner of every workbook written from then on, asked when a workbook is written (the
    // program sets it once its user and company are known); none: the properties stay empty.
    static void setOwnerSource(std::function<Owner()> source);

    // Width in characters of the sheet's default font.
    void setColumnWidth(int column, double characters);
    // The printed page: A4 in this orientation, scaled to one page wide.
    void setPageSetup(bool landscape);
    // The row last added is the table's header: frozen below it on the screen and printed at
    // the top of every page.
    void markHeaderRow();
    int rowCount() const { return m_row; }
    void addRow(const QList<Cell> &cells);
    // A total row: the cells as addRow() writes them, except that each of `sumColumns` is the
    // sum of the column over the rows from `firstRow` (from 0) to the last added, written as a
    // formula with the cell's value as its result.
    void addTotalRow(const QList<Cell> &cells, const QList<int> &sumColumns, int firstRow);
    // Writes the file; raises EInOutError when it cannot be written.
    void close();

    // A report number pattern as an Excel number format: digits, separators and sections as
    // they are, every other character quoted so that Excel shows it as written.
    static QString excelNumberFormat(const QString &pattern);
    // Whether a value is written as itself (a number or a date) rather than as text.
    static bool keepsValue(const QVariant &value);
    // A sheet name Excel takes: no []:*?/\, at most 31 characters, "Sheet1" when nothing is left.
    static QString sheetNameOf(const QString &title);

private:
    lxw_format *format(const QString &numberFormat, bool bold);
    void writeCell(int row, int column, const Cell &cell);
    void check(int error, const char *what);

    QString m_path;
    QString m_title;
    QTemporaryFile m_temporary;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    QHash<QString, lxw_format *> m_formats;
    int m_row = 0;
    QString m_failure;
};

} // namespace platform
