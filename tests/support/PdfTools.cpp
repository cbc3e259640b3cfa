#include "support/PdfTools.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace PdfTools {

bool available()
{
    for (const char *tool : {"pdfinfo", "pdftotext", "pdftoppm"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    }
    return true;
}

QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString &path)
{
    const QString info = runTool(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QSizeF pageSize(const QString &path)
{
    const QString info = runTool(QStringLiteral("pdfinfo"), {path});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

QStringList pageTexts(const QString &path)
{
    return pageTexts(path, {QStringLiteral("-raw")});
}

QStringList pageTexts(const QString &path, const QStringList &options)
{
    QStringList pages =
        runTool(QStringLiteral("pdftotext"), options + QStringList{path, QStringLiteral("-")}).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QStringList missingThaiWords(const QString &path, const QList<QStringList> &linesByPage)
{
    static const QRegularExpression thai(QStringLiteral("[\u0E00-\u0E7F]"));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    QStringList missing;
    for (const QString &mode : {QString(), QStringLiteral("-layout"), QStringLiteral("-raw")}) {
        const QStringList pages = pageTexts(path, mode.isEmpty() ? QStringList() : QStringList{mode});
        for (qsizetype p = 0; p < linesByPage.size(); ++p) {
            const QString page = pages.value(p);
            for (const QString &line : linesByPage.at(p)) {
                for (const QString &word : line.split(space, Qt::SkipEmptyParts)) {
                    if (word.contains(thai) && !page.contains(word))
                        missing << QStringLiteral("%1, page %2: %3")
                                       .arg(mode.isEmpty() ? QStringLiteral("default") : mode)
                                       .arg(p + 1)
                                       .arg(word);
                }
            }
        }
    }
    return missing;
}

} // namespace PdfTools
