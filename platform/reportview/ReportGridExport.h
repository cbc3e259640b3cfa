#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

class DataGrid;

// A grid's rows as an Excel sheet, written through the report engine's workbook writer.
namespace ReportGridExport {

// What the screen that shows a grid says about its rows at the moment they are exported.
struct Description {
    QString caption;                       // the sheet's first line: what, for whom, for when
    QString fileName;                      // the file name offered, without ".xlsx"
    QHash<QString, QString> numberFormats; // report number patterns by the columns' fields
    QStringList totalFields;               // the fields summed in a total row under the rows
    QString totalCaption;                  // the total row's text in its first column
};
using Describe = std::function<Description()>;

// Writes the caption (bold, when there is one), the column titles (bold; frozen and repeated
// on every printed page) and every row in the columns as shown: numbers as numbers in their
// patterns, dates as dates, the rest as the text shown; then the total row. The sheet takes the
// grid's export title and prints on A4 one page wide, across when the columns are wide. Raises
// EInOutError, in Thai, when the file cannot be written.
void writeXlsx(const DataGrid &grid, const QString &path, const Description &description = {});

// Answers the grid's export requests (Ctrl+E, its context menu): asks for the file name (the
// description's, else the export title) and writes the file; a file that cannot be written is
// said in a message.
void connectTo(DataGrid *grid, Describe describe = {});

// A text as a file name: the characters no file name may hold (\ / : * ? " < > |) become "-".
QString fileNameOf(const QString &text);

} // namespace ReportGridExport

} // namespace platform
