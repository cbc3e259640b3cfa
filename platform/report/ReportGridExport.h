#pragma once

#include <QString>

class DataGrid;

// A grid's rows as an Excel sheet, written through the report engine's workbook writer.
namespace ReportGridExport {

// Writes the column titles (bold) and every row in the columns as shown: numbers as numbers,
// dates as dates, the rest as the text shown. The sheet takes the grid's export title. Raises
// EInOutError, in Thai, when the file cannot be written.
void writeXlsx(const DataGrid &grid, const QString &path);

// Answers the grid's export requests (Ctrl+E, its context menu): asks for the file name and
// writes the file; a file that cannot be written is said in a message.
void connectTo(DataGrid *grid);

} // namespace ReportGridExport
