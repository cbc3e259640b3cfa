#include "platform/report/ReportCsvExporter.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportTable.h"

#include <QSaveFile>

namespace platform {

namespace {

QString field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QByteArray ReportCsvExporter::toCsv(const ReportDocument &document)
{
    QString out;
    const ReportTable table = ReportTable::fromDocument(document);
    for (const ReportTable::Row &row : table.rows()) {
        QStringList fields;
        for (const QString &cell : row.cells)
            fields.append(field(cell));
        out += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

void ReportCsvExporter::write(const ReportDocument &document, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toCsv(document)) < 0 || !file.commit())
        throw EInOutError(QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
}

} // namespace platform
