#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

// The poppler tools on a PDF file, for checks of what was printed or exported. A tool that is
// missing or fails gives a text that no check accepts.
namespace PdfTools {

// Whether pdfinfo, pdftotext and pdftoppm can be run here.
bool available();
// Runs a command-line tool and returns its standard output as UTF-8 text.
QString runTool(const QString &program, const QStringList &arguments);
int pageCount(const QString &path);
// The size of the first page in points, as pdfinfo reports it; empty when it cannot be read.
QSizeF pageSize(const QString &path);
// The text of each page in content-stream order (pdftotext -raw), the order it was written in.
QStringList pageTexts(const QString &path);
// The text of each page as pdftotext gives it in reading order (no option) or with extra
// options such as -layout or -raw.
QStringList pageTexts(const QString &path, const QStringList &options);
// The Thai words of `linesByPage` (each page's laid-out lines, split at white space) that
// pdftotext does not find on their page in its reading-order, -layout or -raw mode, each as
// "mode, page N: word"; empty when every word is found in every mode.
QStringList missingThaiWords(const QString &path, const QList<QStringList> &linesByPage);

} // namespace PdfTools
