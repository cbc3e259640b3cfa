#pragma once

#include "platform/report/ReportDocument.h"

#include <QList>
#include <QStringList>
#include <QVariant>

namespace platform {

// The text of a prepared report arranged as a table, for the CSV, RTF and XLSX exports. Text items
// that start at the same height of a page form a row; items starting at the same distance from
// the left edge (within a millimetre) share a column. Page headers and footers and headers
// repeated after a page break are left out, so the rows read as one continuous table.
class ReportTable
{
public:
    // What a cell holds beyond its text: the value when the cell is one field alone (a number
    // stays a number), its number pattern and whether it is printed bold.
    struct Value {
        QVariant value;
        QString numberFormat;
        bool bold = false;
    };
    struct Row {
        int page = 0;
        QStringList cells;   // one per column, empty where nothing stands
        QList<Value> values; // one per column
    };

    static ReportTable fromDocument(const ReportDocument &document);

    QList<qreal> columnLefts() const { return m_columnLefts; } // mm
    qreal right() const { return m_right; }                    // mm, the right edge of the widest item
    QList<Row> rows() const { return m_rows; }
    // The row of the column header (its first placement); -1 when the report has none.
    int headerRow() const { return m_headerRow; }

private:
    QList<qreal> m_columnLefts;
    qreal m_right = 0;
    QList<Row> m_rows;
    int m_headerRow = -1;
};

} // namespace platform
