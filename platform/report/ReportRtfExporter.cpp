#include "platform/report/ReportRtfExporter.h"

#include "platform/core/Exceptions.h"
#include "platform/report/ReportTable.h"

#include <QSaveFile>

namespace {

constexpr qreal twipsPerMillimetre = 1440.0 / 25.4;

QByteArray escaped(const QString &text)
{
    QByteArray out;
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}')) {
            out += '\\';
            out += char(code);
        } else if (c == QLatin1Char('\n')) {
            out += "\\line ";
        } else if (code >= 0x20 && code < 0x80) {
            out += char(code);
        } else if (code >= 0x80) {
            // Readers without Unicode take the fallback: the Thai code page's byte for Thai.
            out += "\\u" + QByteArray::number(qint16(code));
            if (code >= 0x0E01 && code <= 0x0E5B)
                out += "\\'" + QByteArray::number(0xA1 + code - 0x0E01, 16);
            else
                out += '?';
        }
    }
    return out;
}

} // namespace

QByteArray ReportRtfExporter::toRtf(const ReportDocument &document)
{
    const ReportTable table = ReportTable::fromDocument(document);
    const QList<qreal> lefts = table.columnLefts();
    QString font = QStringLiteral("Garuda");
    qreal pageWidth = 210;
    if (!document.pages.isEmpty())
        pageWidth = document.pages.first().size.width();
    for (const ReportPage &page : document.pages) {
        for (const ReportPageItem &item : page.items) {
            if (item.kind == ReportPageItem::Kind::Text) {
                font = item.font.family();
                break;
            }
        }
    }

    QByteArray out;
    out += "{\\rtf1\\ansi\\ansicpg874\\deff0\\uc1\n";
    out += "{\\fonttbl{\\f0\\fnil\\fcharset222 " + escaped(font) + ";}}\n";
    out += "\\paperw" + QByteArray::number(qRound(pageWidth * twipsPerMillimetre));
    if (!document.pages.isEmpty())
        out += "\\paperh" + QByteArray::number(qRound(document.pages.first().size.height() * twipsPerMillimetre));
    out += "\\margl567\\margr567\\margt567\\margb567\n";

    const qreal origin = lefts.isEmpty() ? 0 : lefts.first();
    int page = 0;
    for (const ReportTable::Row &row : table.rows()) {
        if (page != 0 && row.page != page)
            out += "\\pard\\page\n";
        page = row.page;
        out += "\\trowd\\trgaph60";
        for (int c = 0; c < lefts.size(); ++c) {
            const qreal right = c + 1 < lefts.size() ? lefts.at(c + 1) : std::max(table.right(), lefts.at(c) + 5);
            out += "\\cellx" + QByteArray::number(qRound((right - origin) * twipsPerMillimetre));
        }
        out += "\n";
        for (const QString &cell : row.cells)
            out += "\\pard\\intbl\\f0\\fs20 " + escaped(cell) + "\\cell\n";
        out += "\\row\n";
    }
    out += "\\pard\n}\n";
    return out;
}

void ReportRtfExporter::write(const ReportDocument &document, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toRtf(document)) < 0 || !file.commit())
        throw EInOutError(QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
}
