#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QTemporaryFile>
#include <QVariant>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

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

    // Raises EInOutError when the workbook cannot be started.
    ReportXlsxWriter(const QString &path, const QString &sheetName);
    ~ReportXlsxWriter();
    ReportXlsxWriter(const ReportXlsxWriter &) = delete;
    ReportXlsxWriter &operator=(const ReportXlsxWriter &) = delete;

    // Width in characters of the sheet's default font.
    void setColumnWidth(int column, double characters);
    void addRow(const QList<Cell> &cells);
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
    void check(int error, const char *what);

    QString m_path;
    QTemporaryFile m_temporary;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    QHash<QString, lxw_format *> m_formats;
    int m_row = 0;
    QString m_failure;
};
