#include "support/OfficeTools.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace OfficeTools {

bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty();
}

QString convertToPdf(const QString &path, const QString &outputDir, QString *error)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        *error = QStringLiteral("soffice (LibreOffice) is not installed");
        return QString();
    }
    QTemporaryDir profile;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(soffice,
                  {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                   QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                   QStringLiteral("pdf"), QStringLiteral("--outdir"), outputDir, path});
    const bool finished = process.waitForFinished(240000);
    const QString output = QString::fromLocal8Bit(process.readAll());
    const QString pdf = QDir(outputDir).filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".pdf"));
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !QFileInfo::exists(pdf)) {
        process.kill();
        *error = QStringLiteral("soffice did not convert %1 (exit %2): %3").arg(path).arg(process.exitCode()).arg(output);
        return QString();
    }
    return pdf;
}

QList<Word> words(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<Word> result;
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return result;
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression item(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = -1;
    for (const QRegularExpressionMatch &m : item.globalMatch(html)) {
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QLatin1String("&amp;"), QLatin1String("&")).replace(QLatin1String("&lt;"), QLatin1String("<"));
        text.replace(QLatin1String("&gt;"), QLatin1String(">")).replace(QLatin1String("&quot;"), QLatin1String("\""));
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        result.append({page, text, QRectF(topLeft, QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return result;
}

} // namespace OfficeTools
