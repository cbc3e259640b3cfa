#pragma once

#include <QList>
#include <QRectF>
#include <QString>

// LibreOffice run headless to open an exported file as a user's office suite does, and the
// words of a PDF with their places, to compare what it shows with the report's own PDF.
namespace OfficeTools {

// Whether soffice can be run here.
bool available();
// Converts a document (RTF, XLSX) to PDF beside `outputDir` with a profile of its own, so that
// runs in parallel do not share one. Returns the PDF's path, or an empty path with the reason
// in `error` when soffice is missing, crashes or writes nothing.
QString convertToPdf(const QString &path, const QString &outputDir, QString *error);

struct Word {
    int page = 0; // from 0
    QString text;
    QRectF box; // in points from the page's top-left corner
};
// Every word of a PDF as pdftotext -bbox gives it.
QList<Word> words(const QString &pdf);

} // namespace OfficeTools
