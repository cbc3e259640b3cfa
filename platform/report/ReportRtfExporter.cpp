#include "platform/report/ReportRtfExporter.h"

#include "platform/core/Exceptions.h"

#include <QSaveFile>
#include <algorithm>

namespace platform {

namespace {

constexpr qreal twipsPerMillimetre = 1440.0 / 25.4;
constexpr qreal rowTolerance = 0.5; // mm: texts starting this close in height share a row
constexpr qreal ruleReach = 1.5;    // mm: a line this far above a row is that row's top rule

int twips(qreal millimetres)
{
    return qRound(millimetres * twipsPerMillimetre);
}

QByteArray number(int value)
{
    return QByteArray::number(value);
}

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
            out += "\\u" + number(qint16(code));
            if (code >= 0x0E01 && code <= 0x0E5B)
                out += "\\'" + QByteArray::number(0xA1 + code - 0x0E01, 16);
            else
                out += '?';
        }
    }
    return out;
}

// One cell of a row: a text item, or the empty space between two.
struct Cell {
    Cell(qreal l, qreal r, const ReportPageItem *i = nullptr)
        : left(l)
        , right(r)
        , item(i)
    {}
    qreal left = 0;
    qreal right = 0;
    const ReportPageItem *item = nullptr;
    QColor fill;
    qreal top = 0, bottom = 0, leftSide = 0, rightSide = 0; // border widths in mm, 0: none
};

struct Row {
    qreal top = 0;
    qreal height = 0;
    QList<const ReportPageItem *> items;
    QList<Cell> cells;
};

// The fonts and colours a document uses, for the tables at the head of the file.
struct Tables {
    QStringList fonts;
    QList<QColor> colours{QColor(Qt::black)};

    int font(const QString &family)
    {
        qsizetype at = fonts.indexOf(family);
        if (at < 0) {
            fonts.append(family);
            at = fonts.size() - 1;
        }
        return int(at);
    }
    int colour(const QColor &colour)
    {
        qsizetype at = colours.indexOf(colour.toRgb());
        if (at < 0) {
            colours.append(colour.toRgb());
            at = colours.size() - 1;
        }
        return int(at) + 1; // colour 0 is the reader's own
    }
};

// The page's texts in rows by height, each row's cells from the left edge of the content to its
// right edge, and the rules and boxes of the page as the cells' borders and shading.
QList<Row> rowsOf(const ReportPage &page, qreal contentLeft, qreal contentRight)
{
    QList<const ReportPageItem *> texts;
    for (const ReportPageItem &item : page.items) {
        if (item.kind == ReportPageItem::Kind::Text && !item.text.isEmpty())
            texts.append(&item);
    }
    std::stable_sort(texts.begin(), texts.end(),
                     [](const ReportPageItem *a, const ReportPageItem *b) { return a->rect.top() < b->rect.top(); });
    QList<Row> rows;
    for (const ReportPageItem *item : std::as_const(texts)) {
        if (rows.isEmpty() || item->rect.top() - rows.last().top > rowTolerance)
            rows.append({item->rect.top(), 0, {}, {}});
        rows.last().items.append(item);
        rows.last().height = std::max(rows.last().height, item->rect.bottom() - rows.last().top);
    }
    for (int r = 0; r + 1 < rows.size(); ++r)
        rows[r].height = rows.at(r + 1).top - rows.at(r).top;

    for (Row &row : rows) {
        std::stable_sort(row.items.begin(), row.items.end(),
                         [](const ReportPageItem *a, const ReportPageItem *b) { return a->rect.left() < b->rect.left(); });
        qreal x = contentLeft;
        for (int i = 0; i < row.items.size(); ++i) {
            const ReportPageItem *item = row.items.at(i);
            const qreal left = std::max(item->rect.left(), x);
            qreal right = std::min(item->rect.right(), contentRight);
            if (i + 1 < row.items.size())
                right = std::min(right, row.items.at(i + 1)->rect.left());
            if (right - left < 0.5)
                continue; // covered by the text before it
            if (left - x >= 0.5)
                row.cells.append(Cell(x, left));
            row.cells.append(Cell(left, right, item));
            x = right;
        }
        if (contentRight - x >= 0.5)
            row.cells.append(Cell(x, contentRight));
    }

    // A text's own frame.
    for (Row &row : rows) {
        for (Cell &cell : row.cells) {
            if (!cell.item || !cell.item->frameSides)
                continue;
            const int sides = cell.item->frameSides;
            const qreal width = cell.item->frameWidth;
            cell.top = sides & ReportObjectDefinition::TopSide ? width : 0;
            cell.bottom = sides & ReportObjectDefinition::BottomSide ? width : 0;
            cell.leftSide = sides & ReportObjectDefinition::LeftSide ? width : 0;
            cell.rightSide = sides & ReportObjectDefinition::RightSide ? width : 0;
            if (cell.item->fillColor.isValid())
                cell.fill = cell.item->fillColor;
        }
    }
    // Boxes: shading and a frame around the rows they hold.
    for (const ReportPageItem &box : page.items) {
        if (box.kind != ReportPageItem::Kind::Rectangle && box.kind != ReportPageItem::Kind::RoundedRectangle)
            continue;
        QList<int> inside;
        for (int r = 0; r < rows.size(); ++r) {
            if (rows.at(r).top >= box.rect.top() - rowTolerance && rows.at(r).top < box.rect.bottom() - rowTolerance)
                inside.append(r);
        }
        const qreal frame = box.frameSides ? box.frameWidth : 0;
        for (int r : std::as_const(inside)) {
            for (Cell &cell : rows[r].cells) {
                if (cell.right <= box.rect.left() + 0.1 || cell.left >= box.rect.right() - 0.1)
                    continue;
                if (box.fillColor.isValid())
                    cell.fill = box.fillColor;
                if (r == inside.first() && (box.frameSides & ReportObjectDefinition::TopSide))
                    cell.top = frame;
                if (r == inside.last() && (box.frameSides & ReportObjectDefinition::BottomSide))
                    cell.bottom = frame;
                if (qAbs(cell.left - box.rect.left()) < 1 && (box.frameSides & ReportObjectDefinition::LeftSide))
                    cell.leftSide = frame;
                if (qAbs(cell.right - box.rect.right()) < 1 && (box.frameSides & ReportObjectDefinition::RightSide))
                    cell.rightSide = frame;
            }
        }
    }
    // Horizontal rules: the top border of the row just below them.
    for (const ReportPageItem &line : page.items) {
        if (line.kind != ReportPageItem::Kind::Line || qAbs(line.segment.dy()) > 0.1)
            continue;
        const qreal y = line.segment.y1();
        const qreal from = std::min(line.segment.x1(), line.segment.x2());
        const qreal to = std::max(line.segment.x1(), line.segment.x2());
        for (Row &row : rows) {
            if (row.top < y - 0.1 || row.top > y + ruleReach)
                continue;
            for (Cell &cell : row.cells) {
                if (cell.left >= from - 0.5 && cell.right <= to + 0.5)
                    cell.top = std::max(cell.top, line.frameWidth);
            }
            break;
        }
    }
    return rows;
}

QByteArray border(const char *side, qreal width)
{
    // \brdrwN is in twips, at most 75.
    return QByteArray("\\clbrdr") + side + "\\brdrs\\brdrw" + number(std::clamp(twips(width), 1, 75));
}

QByteArray alignment(Qt::Alignment align)
{
    if (align & Qt::AlignRight)
        return "\\qr";
    if (align & Qt::AlignHCenter)
        return "\\qc";
    if (align & Qt::AlignJustify)
        return "\\qj";
    return "\\ql";
}

QByteArray rowOf(const Row &row, qreal contentLeft, Tables &tables)
{
    QByteArray out = "\\trowd\\trgaph0\\trleft0\\trrh-" + number(std::max(twips(row.height), 1)) + "\n";
    for (const Cell &cell : row.cells) {
        if (cell.item && (cell.item->alignment & Qt::AlignVCenter))
            out += "\\clvertalc";
        else if (cell.item && (cell.item->alignment & Qt::AlignBottom))
            out += "\\clvertalb";
        if (cell.top > 0)
            out += border("t", cell.top);
        if (cell.bottom > 0)
            out += border("b", cell.bottom);
        if (cell.leftSide > 0)
            out += border("l", cell.leftSide);
        if (cell.rightSide > 0)
            out += border("r", cell.rightSide);
        if (cell.fill.isValid())
            out += "\\clcbpat" + number(tables.colour(cell.fill));
        out += "\\cellx" + number(twips(cell.right - contentLeft)) + "\n";
    }
    for (const Cell &cell : row.cells) {
        out += "\\pard\\plain\\intbl\\sb0\\sa0";
        const ReportPageItem *item = cell.item;
        if (!item) {
            out += "\\fs2\\cell\n";
            continue;
        }
        // The text's own box inside the item: its padding as indents, the first line's top as
        // space before it.
        const QRectF inner = item->lines.isEmpty() ? item->rect : item->lines.first().rect;
        out += alignment(item->alignment) + "\\li" + number(std::max(0, twips(inner.left() - cell.left))) + "\\ri" +
            number(std::max(0, twips(cell.right - inner.right())));
        if (!(item->alignment & (Qt::AlignVCenter | Qt::AlignBottom)))
            out += "\\sb" + number(std::max(0, twips(inner.top() - row.top)));
        const int font = tables.font(item->font.family());
        const QByteArray size = number(qRound(item->font.pointSizeF() * 2));
        // Thai is complex script text: word processors take its font, size and weight from the
        // associated (\af) properties.
        QByteArray format = "\\rtlch\\af" + number(font) + "\\afs" + size + (item->font.bold() ? "\\ab" : "") +
            (item->font.italic() ? "\\ai" : "") + "\\ltrch\\f" + number(font) + "\\fs" + size + (item->font.bold() ? "\\b" : "") +
            (item->font.italic() ? "\\i" : "") + (item->font.underline() ? "\\ul" : "");
        if (item->textColor.isValid() && item->textColor != QColor(Qt::black))
            format += "\\cf" + number(tables.colour(item->textColor));
        QStringList lines;
        for (const ReportTextLine &line : item->lines)
            lines << line.text;
        out += format + ' ' + escaped(lines.isEmpty() ? item->text : lines.join(QLatin1Char('\n'))) + "\\cell\n";
    }
    out += "\\row\n";
    return out;
}

} // namespace

QByteArray ReportRtfExporter::toRtf(const ReportDocument &document)
{
    const QSizeF paper = document.pages.isEmpty() ? QSizeF(210, 297) : document.pages.first().size;
    const QMarginsF margins = document.pageLayout.margins(QPageLayout::Millimeter);
    const qreal contentLeft = margins.left();
    const qreal contentRight = paper.width() - margins.right();

    Tables tables;
    QByteArray body;
    for (int p = 0; p < document.pages.size(); ++p) {
        if (p > 0)
            body += "\\pard\\plain\\fs2\\page\\par\n";
        const QList<Row> rows = rowsOf(document.pages.at(p), contentLeft, contentRight);
        // The space above the first row keeps every row at its height on the page.
        const qreal firstTop = rows.isEmpty() ? margins.top() : rows.first().top;
        if (firstTop - margins.top() > 0.2) {
            Row spacer{margins.top(), firstTop - margins.top(), {}, {Cell(contentLeft, contentRight)}};
            body += rowOf(spacer, contentLeft, tables);
        }
        for (const Row &row : rows)
            body += rowOf(row, contentLeft, tables);
    }
    if (tables.fonts.isEmpty())
        tables.fonts.append(QStringLiteral("Garuda"));

    QByteArray out = "{\\rtf1\\ansi\\ansicpg874\\deff0\\uc1\n{\\fonttbl";
    for (int f = 0; f < tables.fonts.size(); ++f)
        out += "{\\f" + number(f) + "\\fnil\\fcharset222 " + escaped(tables.fonts.at(f)) + ";}";
    out += "}\n{\\colortbl;";
    for (const QColor &colour : std::as_const(tables.colours))
        out += "\\red" + number(colour.red()) + "\\green" + number(colour.green()) + "\\blue" + number(colour.blue()) + ';';
    out += "}\n";
    out += "\\paperw" + number(twips(paper.width())) + "\\paperh" + number(twips(paper.height()));
    out += "\\margl" + number(twips(margins.left())) + "\\margr" + number(twips(margins.right())) + "\\margt" +
        number(twips(margins.top())) + "\\margb" + number(std::max(0, twips(margins.bottom()) - 60));
    if (paper.width() > paper.height())
        out += "\\landscape";
    out += "\n\\sectd\\pgwsxn" + number(twips(paper.width())) + "\\pghsxn" + number(twips(paper.height())) + "\n";
    out += body + "\\pard\\fs2\n}\n";
    return out;
}

void ReportRtfExporter::write(const ReportDocument &document, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toRtf(document)) < 0 || !file.commit())
        throw EInOutError(QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString()));
}

} // namespace platform
