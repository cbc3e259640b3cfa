#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// Reads back what an XLSX file holds, for the tests of the Excel exports: the zip entries are
// inflated with zlib and the sheet's XML read as Excel reads it. Only the first sheet is read.
class XlsxReader
{
public:
    struct Cell {
        QString type; // "s" shared text, "str"/"inlineStr" text, "n" number, "b" boolean
        QString text; // a text cell's text, a number cell's value as written
        double number = 0;
        QString numberFormat; // the cell style's number format ("General" when none)
        bool bold = false;
    };

    // False, with the reason in error(), when the file is not a workbook.
    bool read(const QString &path);
    QString error() const { return m_error; }

    QString sheetName() const { return m_sheetName; }
    int rowCount() const { return m_rows.size(); }
    // The cells of a row (from 0) by column (from 0); empty cells are missing.
    QHash<int, Cell> row(int index) const { return m_rows.value(index); }
    Cell cell(int row, int column) const { return m_rows.value(row).value(column); }
    // A row's texts and numbers as one line, cells separated by "|", for messages and checks.
    QString rowText(int index) const;
    // The names of the entries of the zip file.
    QStringList entries() const { return m_entries.keys(); }
    // The inflated content of an entry ("xl/workbook.xml", "docProps/core.xml"); empty if none.
    QByteArray entry(const QString &name) const { return m_entries.value(name); }

private:
    bool fail(const QString &why);

    QString m_error;
    QString m_sheetName;
    QHash<QString, QByteArray> m_entries;
    QList<QHash<int, Cell>> m_rows;
};
