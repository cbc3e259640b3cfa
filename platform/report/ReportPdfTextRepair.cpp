#include "platform/report/ReportPdfTextRepair.h"

#include "platform/core/Exceptions.h"

#include <QFile>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>

namespace platform {

namespace {

struct PdfObject {
    int number = 0;
    qsizetype offset = 0;
    QByteArray dictionary; // everything between "obj" and "stream"/"endobj"
    bool hasStream = false;
    QByteArray data; // the stream as stored
    bool compressed = false;
    bool changed = false;
};

QByteArray inflate(const QByteArray &data)
{
    QByteArray framed(4, '\0');
    qToBigEndian<quint32>(quint32(std::max<qsizetype>(data.size() * 4, 1024)), framed.data());
    return qUncompress(framed + data);
}

QByteArray deflate(const QByteArray &data)
{
    return qCompress(data).mid(4);
}

// Thai presentation forms in the private-use area, as the shaper's fallback uses them.
char16_t standardThai(char16_t code)
{
    static const char16_t forms[] = {
        0x0E10, 0x0E34, 0x0E35, 0x0E36, 0x0E37, 0x0E48, 0x0E49, 0x0E4A, 0x0E4B, 0x0E4C, 0x0E48, 0x0E49, 0x0E4A, 0x0E4B,
        0x0E4C, 0x0E0D, 0x0E31, 0x0E4D, 0x0E47, 0x0E48, 0x0E49, 0x0E4A, 0x0E4B, 0x0E4C, 0x0E38, 0x0E39, 0x0E3A,
    };
    if (code >= 0xF700 && code <= 0xF71A)
        return forms[code - 0xF700];
    if (code == 0x0009)
        return 0x0020;
    return code;
}

QString hexText(const QByteArray &hex)
{
    QString text;
    for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
        text.append(QChar(char16_t(hex.mid(i, 4).toUInt(nullptr, 16))));
    return text;
}

QByteArray textHex(const QString &text)
{
    QByteArray hex;
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex;
}

using CMap = QMap<uint, QString>;

CMap parseCMap(const QByteArray &cmap)
{
    CMap map;
    static const QRegularExpression range(
        QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>\\s*(\\[[^\\]]*\\]|<[0-9A-Fa-f]+>)"));
    static const QRegularExpression single(QStringLiteral("<([0-9A-Fa-f]+)>\\s*<([0-9A-Fa-f]+)>"));
    static const QRegularExpression hexItem(QStringLiteral("<([0-9A-Fa-f]+)>"));
    const QString text = QString::fromLatin1(cmap);
    qsizetype at = 0;
    while ((at = text.indexOf(QLatin1String("beginbfrange"), at)) >= 0) {
        const qsizetype end = text.indexOf(QLatin1String("endbfrange"), at);
        const QString block = text.mid(at + 12, end - at - 12);
        for (const QRegularExpressionMatch &m : range.globalMatch(block)) {
            const uint first = m.captured(1).toUInt(nullptr, 16);
            const uint last = m.captured(2).toUInt(nullptr, 16);
            const QString target = m.captured(3);
            if (target.startsWith(QLatin1Char('['))) {
                uint code = first;
                for (const QRegularExpressionMatch &item : hexItem.globalMatch(target))
                    map.insert(code++, hexText(item.captured(1).toLatin1()));
            } else {
                QString base = hexText(target.mid(1, target.size() - 2).toLatin1());
                for (uint code = first; code <= last && !base.isEmpty(); ++code) {
                    map.insert(code, base);
                    base.back() = QChar(char16_t(base.back().unicode() + 1));
                }
            }
        }
        at = end;
    }
    at = 0;
    while ((at = text.indexOf(QLatin1String("beginbfchar"), at)) >= 0) {
        const qsizetype end = text.indexOf(QLatin1String("endbfchar"), at);
        const QString block = text.mid(at + 11, end - at - 11);
        for (const QRegularExpressionMatch &m : single.globalMatch(block))
            map.insert(m.captured(1).toUInt(nullptr, 16), hexText(m.captured(2).toLatin1()));
        at = end;
    }
    return map;
}

QByteArray writeCMap(const CMap &map)
{
    QByteArray out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    const QList<uint> codes = map.keys();
    for (qsizetype i = 0; i < codes.size(); i += 100) {
        const qsizetype count = std::min<qsizetype>(100, codes.size() - i);
        out += QByteArray::number(count) + " beginbfchar\n";
        for (qsizetype j = i; j < i + count; ++j) {
            out += '<' + QByteArray::number(codes.at(j), 16).rightJustified(4, '0').toUpper() + "> <" +
                textHex(map.value(codes.at(j))) + ">\n";
        }
        out += "endbfchar\n";
    }
    out += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

bool isThai(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x0E00 && c.unicode() <= 0x0E7F; });
}

// Wraps each drawn Thai word (the glyphs of one text run between spaces) in a span whose
// actual text is the word as written. Viewers' search and poppler's reading-order and layout
// modes group glyphs by position, and the upper marks, placed over or left of their consonant
// with no width of their own, would otherwise split a word or fall onto a line of their own.
// The drawn NIKHAHIT ... SARA AA pair of SARA AM becomes SARA AM again. Qt writes one glyph per
// line: "dx dy Td <code> Tj", between BT and ET.
QByteArray markWords(const QByteArray &content, const QMap<QByteArray, CMap> &fonts, bool *changed)
{
    static const QRegularExpression fontSelect(QStringLiteral("/(\\S+)\\s+[-\\d.]+\\s+Tf"));
    static const QRegularExpression glyph(QStringLiteral("<([0-9A-Fa-f]+)>\\s*Tj\\s*$"));
    static const QRegularExpression saraAm(QStringLiteral("\u0E4D([\u0E48-\u0E4B]*)\u0E32"));
    const QList<QByteArray> lines = content.split('\n');
    const CMap *font = nullptr;
    QByteArray out;
    QList<QByteArray> word;
    QString wordText;
    const auto flush = [&] {
        if (isThai(wordText)) {
            // The shaper draws a tone mark before a vowel below it; the text has them the other
            // way round, in canonical order.
            QString actual = wordText.normalized(QString::NormalizationForm_C);
            actual.replace(saraAm, QStringLiteral("\\1\u0E33"));
            out += "/Span <</ActualText <FEFF" + textHex(actual) + ">>> BDC\n";
            for (const QByteArray &line : std::as_const(word))
                out += line + '\n';
            out += "EMC\n";
            *changed = true;
        } else {
            for (const QByteArray &line : std::as_const(word))
                out += line + '\n';
        }
        word.clear();
        wordText.clear();
    };
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const QString latin = QString::fromLatin1(line);
        const QRegularExpressionMatch select = fontSelect.match(latin);
        if (select.hasMatch()) {
            const auto found = fonts.constFind(select.captured(1).toLatin1());
            font = found == fonts.constEnd() ? nullptr : &found.value();
        }
        const QRegularExpressionMatch m = glyph.match(latin);
        const QString text = font && m.hasMatch() ? font->value(m.captured(1).toUInt(nullptr, 16)) : QString();
        if (m.hasMatch() && (text.isEmpty() || !text.trimmed().isEmpty())) { // a space ends the word
            word.append(line);
            wordText += text;
            continue;
        }
        flush();
        out += line;
        if (i + 1 < lines.size())
            out += '\n';
    }
    flush();
    return out;
}

bool parse(const QByteArray &pdf, QList<PdfObject> &objects, QByteArray &trailer)
{
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        return false;
    const qsizetype trailerAt = pdf.lastIndexOf("trailer", startxref);
    if (trailerAt < 0)
        return false;
    trailer = pdf.mid(trailerAt, startxref - trailerAt);
    static const QRegularExpression header(QStringLiteral("(?:^|\\n)(\\d+) 0 obj"));
    const QString latin = QString::fromLatin1(pdf);
    QRegularExpressionMatchIterator it = header.globalMatch(latin);
    qsizetype resumeAt = 0;
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart(1) < resumeAt)
            continue; // "N 0 obj" inside stream data
        PdfObject object;
        object.number = m.captured(1).toInt();
        object.offset = m.capturedStart(1);
        const qsizetype bodyStart = m.capturedEnd(0);
        const qsizetype endobj = pdf.indexOf("endobj", bodyStart);
        const qsizetype stream = pdf.indexOf("stream", bodyStart);
        if (endobj < 0)
            return false;
        if (stream >= 0 && stream < endobj) {
            object.hasStream = true;
            object.dictionary = pdf.mid(bodyStart, stream - bodyStart);
            qsizetype dataStart = stream + 6;
            if (pdf.mid(dataStart, 2) == "\r\n")
                dataStart += 2;
            else if (pdf.at(dataStart) == '\n')
                dataStart += 1;
            const qsizetype dataEnd = pdf.indexOf("endstream", dataStart);
            if (dataEnd < 0)
                return false;
            qsizetype length = dataEnd - dataStart;
            if (length > 0 && pdf.at(dataStart + length - 1) == '\n')
                --length;
            object.data = pdf.mid(dataStart, length);
            object.compressed = object.dictionary.contains("/FlateDecode");
            resumeAt = pdf.indexOf("endobj", dataEnd);
        } else {
            object.dictionary = pdf.mid(bodyStart, endobj - bodyStart);
            resumeAt = endobj;
        }
        objects.append(object);
    }
    return !objects.isEmpty();
}

} // namespace

QByteArray ReportPdfTextRepair::repair(const QByteArray &pdf)
{
    QList<PdfObject> objects;
    QByteArray trailer;
    if (!pdf.startsWith("%PDF") || !parse(pdf, objects, trailer))
        return pdf;
    QMap<int, qsizetype> byNumber;
    for (qsizetype i = 0; i < objects.size(); ++i)
        byNumber.insert(objects.at(i).number, i);

    // Repair the ToUnicode maps and remember each font's map by object number.
    static const QRegularExpression toUnicode(QStringLiteral("/ToUnicode\\s+(\\d+)\\s+0\\s+R"));
    QMap<int, CMap> fontMaps;
    bool anyChange = false;
    for (const PdfObject &font : std::as_const(objects)) {
        const QRegularExpressionMatch m = toUnicode.match(QString::fromLatin1(font.dictionary));
        if (!m.hasMatch() || !byNumber.contains(m.captured(1).toInt()))
            continue;
        PdfObject &cmapObject = objects[byNumber.value(m.captured(1).toInt())];
        if (!cmapObject.hasStream)
            continue;
        const QByteArray text = cmapObject.compressed ? inflate(cmapObject.data) : cmapObject.data;
        CMap map = parseCMap(text);
        bool changed = false;
        for (auto it = map.begin(); it != map.end(); ++it) {
            QString fixed = it.value();
            for (QChar &c : fixed)
                c = QChar(standardThai(c.unicode()));
            if (fixed != it.value()) {
                it.value() = fixed;
                changed = true;
            }
        }
        fontMaps.insert(font.number, map);
        if (changed) {
            const QByteArray written = writeCMap(map);
            cmapObject.data = cmapObject.compressed ? deflate(written) : written;
            cmapObject.changed = true;
            anyChange = true;
        }
    }
    if (fontMaps.isEmpty())
        return pdf;

    // Font resource names ("/F7 7 0 R") to their maps.
    static const QRegularExpression resource(QStringLiteral("/(\\S+)\\s+(\\d+)\\s+0\\s+R"));
    QMap<QByteArray, CMap> fontsByName;
    for (const PdfObject &object : std::as_const(objects)) {
        const qsizetype fontAt = object.dictionary.indexOf("/Font");
        if (fontAt < 0)
            continue;
        const qsizetype open = object.dictionary.indexOf("<<", fontAt);
        const qsizetype close = object.dictionary.indexOf(">>", open);
        if (open < 0 || close < 0)
            continue;
        const QString entries = QString::fromLatin1(object.dictionary.mid(open + 2, close - open - 2));
        for (const QRegularExpressionMatch &m : resource.globalMatch(entries)) {
            if (fontMaps.contains(m.captured(2).toInt()))
                fontsByName.insert(m.captured(1).toLatin1(), fontMaps.value(m.captured(2).toInt()));
        }
    }

    // Page contents.
    static const QRegularExpression contents(QStringLiteral("/Contents\\s+(\\d+)\\s+0\\s+R"));
    for (const PdfObject &page : std::as_const(objects)) {
        const QRegularExpressionMatch m = contents.match(QString::fromLatin1(page.dictionary));
        if (!m.hasMatch() || !byNumber.contains(m.captured(1).toInt()))
            continue;
        PdfObject &content = objects[byNumber.value(m.captured(1).toInt())];
        if (!content.hasStream || content.changed)
            continue;
        const QByteArray text = content.compressed ? inflate(content.data) : content.data;
        bool changed = false;
        const QByteArray marked = markWords(text, fontsByName, &changed);
        if (changed) {
            content.data = content.compressed ? deflate(marked) : marked;
            content.changed = true;
            anyChange = true;
        }
    }
    if (!anyChange)
        return pdf;

    // Stream lengths, direct or in an object of their own.
    static const QRegularExpression indirectLength(QStringLiteral("/Length\\s+(\\d+)\\s+0\\s+R"));
    static const QRegularExpression directLength(QStringLiteral("/Length\\s+\\d+(?!\\s+\\d+\\s+R)"));
    for (PdfObject &object : objects) {
        if (!object.changed)
            continue;
        const QString dictionary = QString::fromLatin1(object.dictionary);
        const QRegularExpressionMatch indirect = indirectLength.match(dictionary);
        if (indirect.hasMatch() && byNumber.contains(indirect.captured(1).toInt())) {
            objects[byNumber.value(indirect.captured(1).toInt())].dictionary =
                "\n" + QByteArray::number(object.data.size()) + "\n";
        } else {
            QString replaced = dictionary;
            replaced.replace(directLength, QStringLiteral("/Length %1").arg(object.data.size()));
            object.dictionary = replaced.toLatin1();
        }
    }

    QByteArray out = pdf.left(objects.first().offset);
    QMap<int, qsizetype> offsets;
    for (const PdfObject &object : std::as_const(objects)) {
        offsets.insert(object.number, out.size());
        out += QByteArray::number(object.number) + " 0 obj" + object.dictionary;
        if (object.hasStream)
            out += "stream\n" + object.data + "\nendstream\n";
        out += "endobj\n";
    }
    const int size = offsets.isEmpty() ? 1 : offsets.lastKey() + 1;
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(size) + "\n0000000000 65535 f \n";
    for (int n = 1; n < size; ++n) {
        if (offsets.contains(n))
            out += QByteArray::number(offsets.value(n)).rightJustified(10, '0') + " 00000 n \n";
        else
            out += "0000000000 65535 f \n";
    }
    out += trailer + "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

void ReportPdfTextRepair::repairFile(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot read \"%1\": %2").arg(path, in.errorString()));
    const QByteArray original = in.readAll();
    in.close();
    const QByteArray repaired = repair(original);
    if (repaired == original)
        return;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(repaired) < 0 || !out.commit())
        throw EInOutError(QStringLiteral("Cannot write \"%1\": %2").arg(path, out.errorString()));
}

} // namespace platform
