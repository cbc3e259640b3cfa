#include "support/XlsxReader.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <zlib.h>

namespace {

// A little-endian number of `bytes` bytes at `at`; 0 past the end.
quint32 littleEndian(const QByteArray &data, qsizetype at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | (at + i < data.size() ? quint8(data.at(at + i)) : 0);
    return value;
}
quint16 u16(const QByteArray &data, qsizetype at)
{
    return quint16(littleEndian(data, at, 2));
}
quint32 u32(const QByteArray &data, qsizetype at)
{
    return littleEndian(data, at, 4);
}

// Inflates a raw deflate stream (zip method 8).
QByteArray inflateRaw(const QByteArray &data, qsizetype size)
{
    QByteArray out(size, Qt::Uninitialized);
    z_stream stream{};
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return QByteArray();
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

// "BC12" -> column 54 (from 0), row 11 (from 0).
std::pair<int, int> cellPosition(const QString &reference)
{
    int column = 0;
    qsizetype i = 0;
    while (i < reference.size() && reference.at(i).isLetter())
        column = column * 26 + (reference.at(i++).toUpper().unicode() - 'A' + 1);
    return {column - 1, reference.mid(i).toInt() - 1};
}

} // namespace

bool XlsxReader::fail(const QString &why)
{
    m_error = why;
    return false;
}

bool XlsxReader::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot open %1").arg(path));
    const QByteArray zip = file.readAll();
    // The central directory, found through its end record.
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size())
        return fail(QStringLiteral("not a zip file"));
    const int count = u16(zip, end + 10);
    qsizetype at = u32(zip, end + 16);
    for (int i = 0; i < count; ++i) {
        if (at + 46 > zip.size() || u32(zip, at) != 0x02014b50)
            return fail(QStringLiteral("damaged central directory"));
        const int method = u16(zip, at + 10);
        const quint32 compressed = u32(zip, at + 20);
        const quint32 size = u32(zip, at + 24);
        const int nameLength = u16(zip, at + 28);
        const int extraLength = u16(zip, at + 30);
        const int commentLength = u16(zip, at + 32);
        const quint32 local = u32(zip, at + 42);
        const QString name = QString::fromUtf8(zip.mid(at + 46, nameLength));
        at += 46 + nameLength + extraLength + commentLength;
        if (local + 30 > quint32(zip.size()))
            return fail(QStringLiteral("damaged entry %1").arg(name));
        const qsizetype data = local + 30 + u16(zip, local + 26) + u16(zip, local + 28);
        const QByteArray raw = zip.mid(data, compressed);
        const QByteArray content = method == 0 ? raw : method == 8 ? inflateRaw(raw, size) : QByteArray();
        if (qsizetype(content.size()) != qsizetype(size))
            return fail(QStringLiteral("entry %1 does not inflate").arg(name));
        m_entries.insert(name, content);
    }

    QXmlStreamReader workbook(m_entries.value(QStringLiteral("xl/workbook.xml")));
    while (!workbook.atEnd() && m_sheetName.isEmpty()) {
        workbook.readNext();
        if (workbook.isStartElement() && workbook.name() == QLatin1String("sheet"))
            m_sheetName = workbook.attributes().value(QLatin1String("name")).toString();
    }

    QStringList shared;
    QXmlStreamReader strings(m_entries.value(QStringLiteral("xl/sharedStrings.xml")));
    QString current;
    while (!strings.atEnd()) {
        strings.readNext();
        if (strings.isStartElement() && strings.name() == QLatin1String("si"))
            current.clear();
        else if (strings.isStartElement() && strings.name() == QLatin1String("t"))
            current += strings.readElementText();
        else if (strings.isEndElement() && strings.name() == QLatin1String("si"))
            shared.append(current);
    }

    // Styles: the number format and boldness of each cell format.
    QHash<int, QString> formats{{0, QStringLiteral("General")},  {1, QStringLiteral("0")},
                                {2, QStringLiteral("0.00")},     {3, QStringLiteral("#,##0")},
                                {4, QStringLiteral("#,##0.00")}, {14, QStringLiteral("mm-dd-yy")}};
    QList<bool> fontBold;
    QList<std::pair<int, int>> cellFormats; // number format id, font id
    QXmlStreamReader styles(m_entries.value(QStringLiteral("xl/styles.xml")));
    QString section;
    while (!styles.atEnd()) {
        styles.readNext();
        if (!styles.isStartElement())
            continue;
        const QStringView element = styles.name();
        const QXmlStreamAttributes a = styles.attributes();
        if (element == QLatin1String("fonts") || element == QLatin1String("cellXfs") || element == QLatin1String("cellStyleXfs"))
            section = element.toString();
        else if (element == QLatin1String("numFmt"))
            formats.insert(a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("formatCode")).toString());
        else if (element == QLatin1String("font") && section == QLatin1String("fonts"))
            fontBold.append(false);
        else if (element == QLatin1String("b") && section == QLatin1String("fonts") && !fontBold.isEmpty())
            fontBold.last() = true;
        else if (element == QLatin1String("xf") && section == QLatin1String("cellXfs"))
            cellFormats.append({a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("fontId")).toInt()});
    }

    QXmlStreamReader sheet(m_entries.value(QStringLiteral("xl/worksheets/sheet1.xml")));
    Cell cell;
    int row = -1;
    int column = -1;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (sheet.isStartElement() && sheet.name() == QLatin1String("c")) {
            const QXmlStreamAttributes a = sheet.attributes();
            cell = Cell();
            cell.type = a.hasAttribute(QLatin1String("t")) ? a.value(QLatin1String("t")).toString() : QStringLiteral("n");
            const auto [c, r] = cellPosition(a.value(QLatin1String("r")).toString());
            column = c;
            row = r;
            const auto style = cellFormats.value(a.value(QLatin1String("s")).toInt(), {0, 0});
            cell.numberFormat = formats.value(style.first, QStringLiteral("General"));
            cell.bold = fontBold.value(style.second);
        } else if (sheet.isStartElement() && (sheet.name() == QLatin1String("v") || sheet.name() == QLatin1String("t"))) {
            const QString value = sheet.readElementText();
            cell.text = cell.type == QLatin1String("s") ? shared.value(value.toInt()) : value;
            cell.number = value.toDouble();
        } else if (sheet.isEndElement() && sheet.name() == QLatin1String("c") && row >= 0) {
            while (m_rows.size() <= row)
                m_rows.append(QHash<int, Cell>());
            m_rows[row].insert(column, cell);
        }
    }
    if (sheet.hasError())
        return fail(sheet.errorString());
    return true;
}

QString XlsxReader::rowText(int index) const
{
    const QHash<int, Cell> cells = m_rows.value(index);
    int last = -1;
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        last = std::max(last, it.key());
    QStringList texts;
    for (int c = 0; c <= last; ++c)
        texts.append(cells.value(c).text);
    return texts.join(QLatin1Char('|'));
}
