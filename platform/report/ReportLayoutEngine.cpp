#include "platform/report/ReportLayoutEngine.h"

#include "platform/report/ReportError.h"
#include "platform/report/ReportScript.h"
#include "platform/report/ReportTemplateText.h"
#include "platform/report/ReportTextMeasurer.h"
#include "platform/report/ReportValueText.h"

namespace {

using Band = ReportBandDefinition;
using Object = ReportObjectDefinition;
constexpr qreal epsilon = 0.01;

ReportScript::AggregateScope scopeOf(const Band &band, int group)
{
    ReportScript::AggregateScope scope;
    switch (band.kind) {
    case Band::Kind::ReportTitle:
    case Band::Kind::ColumnHeader:
        scope.kind = ReportScript::AggregateScope::Report;
        scope.early = true;
        break;
    case Band::Kind::Summary: scope.kind = ReportScript::AggregateScope::Report; break;
    case Band::Kind::PageHeader:
        scope.kind = ReportScript::AggregateScope::Page;
        scope.early = true;
        break;
    case Band::Kind::PageFooter: scope.kind = ReportScript::AggregateScope::Page; break;
    case Band::Kind::MasterData: scope.kind = ReportScript::AggregateScope::Running; break;
    case Band::Kind::GroupHeader:
    case Band::Kind::GroupFooter:
        scope.kind = ReportScript::AggregateScope::Group;
        scope.group = group;
        scope.early = band.kind == Band::Kind::GroupHeader;
        break;
    }
    return scope;
}

bool truthy(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return false;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        return !text.isEmpty() && text != QLatin1String("0") && text != QLatin1String("false")
            && text != QLatin1String("n") && text != QLatin1String("no");
    }
    return value.toDouble() != 0;
}

void translate(ReportPageItem &item, qreal dx, qreal dy)
{
    item.rect.translate(dx, dy);
    item.segment.translate(dx, dy);
    for (ReportTextLine &line : item.lines)
        line.rect.translate(dx, dy);
}

qreal itemBottom(const ReportPageItem &item)
{
    if (item.kind == ReportPageItem::Kind::Line)
        return std::max(item.segment.y1(), item.segment.y2());
    return item.rect.bottom();
}

qreal itemTop(const ReportPageItem &item)
{
    if (item.kind == ReportPageItem::Kind::Line)
        return std::min(item.segment.y1(), item.segment.y2());
    return item.rect.top();
}

} // namespace

ReportLayoutEngine::ReportLayoutEngine(const ReportDefinition &definition, ReportScript &script)
    : m_definition(definition)
    , m_script(script)
{
}

ReportLayoutEngine::CompiledBand ReportLayoutEngine::compileBand(const Band &band, int group)
{
    CompiledBand compiled;
    compiled.band = &band;
    compiled.group = group;
    const ReportScript::AggregateScope scope = scopeOf(band, group);
    for (const Object &object : band.objects) {
        CompiledObject compiledObject;
        compiledObject.object = &object;
        const ReportScript::Owner owner {QStringLiteral("object %1").arg(object.name), object.line};
        if (object.kind == Object::Kind::Text) {
            QList<ReportTemplateText::Part> parts;
            try {
                parts = ReportTemplateText::parse(object.text);
            } catch (const ReportError &error) {
                throw ReportError(QStringLiteral("Line %1: object %2: %3").arg(object.line).arg(object.name, error.message()));
            }
            for (const ReportTemplateText::Part &part : parts) {
                Part compiledPart {part.isExpression, part.text, -1};
                if (part.isExpression)
                    compiledPart.expression = m_script.compile(part.text, scope, owner);
                compiledObject.parts.append(compiledPart);
            }
        } else if (object.kind == Object::Kind::CheckBox) {
            compiledObject.expression = m_script.compile(object.expression, scope, owner);
        }
        compiled.objects.append(compiledObject);
    }
    if (band.kind == Band::Kind::GroupHeader) {
        compiled.expression = m_script.compile(band.expression, ReportScript::AggregateScope(),
                                               {QStringLiteral("group %1").arg(band.name), band.line});
    }
    return compiled;
}

void ReportLayoutEngine::compile()
{
    QList<const Band *> footers;
    for (const Band &band : m_definition.bands) {
        switch (band.kind) {
        case Band::Kind::ReportTitle: m_title = compileBand(band, -1); break;
        case Band::Kind::PageHeader: m_pageHeader = compileBand(band, -1); break;
        case Band::Kind::ColumnHeader: m_columnHeader = compileBand(band, -1); break;
        case Band::Kind::MasterData: m_master = compileBand(band, -1); break;
        case Band::Kind::GroupHeader: m_groupHeaders.append(compileBand(band, int(m_groupHeaders.size()))); break;
        case Band::Kind::GroupFooter: footers.append(&band); break;
        case Band::Kind::Summary: m_summary = compileBand(band, -1); break;
        case Band::Kind::PageFooter: m_pageFooter = compileBand(band, -1); break;
        }
    }
    m_groupFooters.resize(m_groupHeaders.size());
    for (const Band *footer : footers) {
        for (int g = 0; g < m_groupHeaders.size(); ++g) {
            if (m_groupHeaders.at(g).band->name.compare(footer->group, Qt::CaseInsensitive) == 0)
                m_groupFooters[g] = compileBand(*footer, g);
        }
    }
}

ReportDocument ReportLayoutEngine::run()
{
    ReportDocument document = pass(0);
    int pages = int(document.pages.size());
    for (int attempt = 0; attempt < 3 && m_script.needsSecondPass(); ++attempt) {
        document = pass(pages);
        if (document.pages.size() == pages)
            break;
        pages = int(document.pages.size());
    }
    document.title = m_definition.name;
    return document;
}

ReportDocument ReportLayoutEngine::pass(int totalPages)
{
    m_script.beginPass();
    m_script.setTotalPages(totalPages);
    m_pages.clear();
    m_inData = false;
    m_columnHeaderShown = false;
    m_groupOpen = QList<bool>(m_groupHeaders.size(), false);

    startPage();
    if (m_master.band)
        runData();
    if (m_summary.band)
        place(m_summary);
    finishPage();

    ReportDocument document;
    document.pages = m_pages;
    return document;
}

void ReportLayoutEngine::runData()
{
    m_inData = true;
    if (m_columnHeader.band) {
        place(m_columnHeader, m_columnHeaderShown);
        m_columnHeaderShown = true;
    }
    const int rows = m_script.rowCount();
    const int groups = int(m_groupHeaders.size());
    QVariantList previous;
    for (int row = 0; row < rows; ++row) {
        m_script.setRow(row);
        QVariantList keys;
        for (const CompiledBand &header : std::as_const(m_groupHeaders))
            keys.append(m_script.evaluate(header.expression));
        int changed = groups;
        for (int g = 0; g < groups; ++g) {
            if (row == 0 || keys.at(g) != previous.at(g)) {
                changed = g;
                break;
            }
        }
        if (row > 0 && changed < groups) {
            m_script.setRow(row - 1);
            for (int g = groups - 1; g >= changed; --g) {
                if (m_groupFooters.at(g).band)
                    place(m_groupFooters.at(g));
                m_groupOpen[g] = false;
            }
            m_script.setRow(row);
        }
        for (int g = changed; g < groups; ++g) {
            m_script.startGroup(g);
            openGroupHeader(g, false);
        }
        previous = keys;
        m_script.accumulateRow();
        place(m_master);
        m_script.accumulatePage();
    }
    if (rows > 0) {
        for (int g = groups - 1; g >= 0; --g) {
            if (m_groupFooters.at(g).band)
                place(m_groupFooters.at(g));
            m_groupOpen[g] = false;
        }
    }
    m_inData = false;
}

void ReportLayoutEngine::openGroupHeader(int group, bool repeated)
{
    place(m_groupHeaders.at(group), repeated);
    m_groupOpen[group] = true;
}

void ReportLayoutEngine::startPage()
{
    const QSizeF size = m_definition.orientedPageSize();
    m_pages.append(ReportPage {size, {}});
    const int number = int(m_pages.size());
    m_script.setPage(number);
    m_y = m_definition.marginTop;
    const qreal footerHeight = m_pageFooter.band ? build(m_pageFooter, false).height : 0;
    m_footerTop = size.height() - m_definition.marginBottom - footerHeight;
    m_limit = m_footerTop;
    m_bodyTop = m_y;

    if (number == 1 && m_title.band) {
        put(build(m_title, false));
        m_bodyTop = m_y;
    }
    if (m_pageHeader.band)
        put(build(m_pageHeader, number > 1));
    if (m_inData && m_columnHeader.band) {
        put(build(m_columnHeader, m_columnHeaderShown));
        m_columnHeaderShown = true;
    }
    if (m_inData) {
        for (int g = 0; g < m_groupHeaders.size(); ++g) {
            if (m_groupOpen.at(g) && m_groupHeaders.at(g).band->repeatOnNewPage)
                put(build(m_groupHeaders.at(g), true));
        }
    }
    m_bodyTop = std::max(m_bodyTop, m_y);
}

void ReportLayoutEngine::finishPage()
{
    if (!m_pageFooter.band)
        return;
    const qreal saved = m_y;
    m_y = m_footerTop;
    put(build(m_pageFooter, m_pages.size() > 1));
    m_y = saved;
}

void ReportLayoutEngine::place(const CompiledBand &band, bool repeated)
{
    Content content = build(band, repeated);
    const bool bodyOnPage = m_y > m_bodyTop + epsilon;
    if ((band.band->startNewPage && bodyOnPage) || (m_y + content.height > m_limit + epsilon && bodyOnPage)) {
        finishPage();
        startPage();
        content = build(band, repeated);
    }
    while (m_y + content.height > m_limit + epsilon) {
        const qreal available = m_limit - m_y;
        if (available <= 1)
            break;  // headers fill the page: let the band run over rather than loop
        auto [head, rest] = split(content, available);
        put(head);
        finishPage();
        startPage();
        content = rest;
    }
    put(content);
}

void ReportLayoutEngine::put(const Content &content)
{
    ReportPage &page = m_pages.last();
    for (ReportPageItem item : content.items) {
        translate(item, m_definition.marginLeft, m_y);
        page.items.append(item);
    }
    m_y += content.height;
}

std::pair<ReportLayoutEngine::Content, ReportLayoutEngine::Content>
ReportLayoutEngine::split(const Content &content, qreal available)
{
    // Cut above any text line that would be cut through.
    qreal cut = available;
    for (const ReportPageItem &item : content.items) {
        for (const ReportTextLine &line : item.lines) {
            if (line.rect.top() < cut - epsilon && line.rect.bottom() > cut + epsilon)
                cut = std::min(cut, line.rect.top());
        }
    }
    if (cut <= epsilon)
        cut = available;

    Content head;
    Content rest;
    head.height = cut;
    rest.height = content.height - cut;
    for (const ReportPageItem &item : content.items) {
        if (itemBottom(item) <= cut + epsilon) {
            head.items.append(item);
            continue;
        }
        if (itemTop(item) >= cut - epsilon) {
            ReportPageItem moved = item;
            translate(moved, 0, -cut);
            rest.items.append(moved);
            continue;
        }
        ReportPageItem upper = item;
        ReportPageItem lower = item;
        if (item.kind == ReportPageItem::Kind::Line) {
            // A line crossing the cut is drawn in two pieces.
            const QLineF &s = item.segment;
            const qreal t = (cut - s.y1()) / (s.y2() - s.y1());
            const QPointF at = s.pointAt(t);
            upper.segment = QLineF(s.p1(), at);
            lower.segment = QLineF(at, s.p2());
            if (s.y1() > s.y2()) {
                upper.segment = QLineF(at, s.p2());
                lower.segment = QLineF(s.p1(), at);
            }
        } else {
            upper.rect.setBottom(cut);
            lower.rect.setTop(cut);
            upper.lines.clear();
            lower.lines.clear();
            for (const ReportTextLine &line : item.lines)
                (line.rect.bottom() <= cut + epsilon ? upper.lines : lower.lines).append(line);
            if (item.frameSides & Object::BottomSide)
                upper.frameSides &= ~Object::BottomSide;
            if (item.frameSides & Object::TopSide)
                lower.frameSides &= ~Object::TopSide;
        }
        head.items.append(upper);
        translate(lower, 0, -cut);
        rest.items.append(lower);
    }
    return {head, rest};
}

ReportPageItem ReportLayoutEngine::buildText(const CompiledObject &compiled)
{
    const Object &object = *compiled.object;
    ReportPageItem item;
    QString text;
    for (const Part &part : compiled.parts) {
        if (part.isExpression)
            text += ReportValueText::text(m_script.evaluate(part.expression), object.numberFormat, object.dateFormat);
        else
            text += part.text;
    }
    item.text = text;
    QFont font(object.fontFamily.isEmpty() ? m_definition.fontFamily : object.fontFamily);
    font.setPointSizeF(object.fontSize > 0 ? object.fontSize : m_definition.fontSize);
    font.setBold(object.bold);
    font.setItalic(object.italic);
    font.setUnderline(object.underline);
    item.font = font;

    const qreal innerWidth = object.rect.width() - 2 * object.padding;
    const QList<ReportTextMeasurer::Line> lines = ReportTextMeasurer::lines(text, font, innerWidth, object.wordWrap);
    qreal textHeight = 0;
    for (const ReportTextMeasurer::Line &line : lines)
        textHeight += line.height;
    qreal height = object.rect.height();
    if (object.canGrow)
        height = std::max(height, textHeight + 2 * object.padding);
    item.rect = QRectF(object.rect.x(), object.rect.y(), object.rect.width(), height);

    qreal y = object.rect.y() + object.padding;
    if (object.alignment & Qt::AlignVCenter)
        y = object.rect.y() + (height - textHeight) / 2;
    else if (object.alignment & Qt::AlignBottom)
        y = object.rect.y() + height - object.padding - textHeight;
    const qreal bottom = item.rect.bottom();
    for (const ReportTextMeasurer::Line &line : lines) {
        // A text that may not grow keeps the lines that fit (always the first).
        if (!item.lines.isEmpty() && y + line.height > bottom + epsilon)
            break;
        item.lines.append({line.text, QRectF(object.rect.x() + object.padding, y, innerWidth, line.height)});
        y += line.height;
    }
    return item;
}

ReportLayoutEngine::Content ReportLayoutEngine::build(const CompiledBand &band, bool repeated)
{
    Content content;
    content.height = band.band->height;
    for (const CompiledObject &compiled : band.objects) {
        const Object &object = *compiled.object;
        ReportPageItem item;
        if (object.kind == Object::Kind::Text) {
            item = buildText(compiled);
        } else {
            item.rect = object.rect;
            item.segment = object.segment;
            if (object.kind == Object::Kind::CheckBox)
                item.checked = truthy(m_script.evaluate(compiled.expression));
        }
        item.kind = object.kind;
        item.objectName = object.name;
        item.band = band.band->kind;
        item.repeated = repeated;
        item.alignment = object.alignment;
        item.textColor = object.textColor;
        item.frameSides = object.frameSides;
        item.frameWidth = object.frameWidth;
        item.frameColor = object.frameColor;
        item.fillColor = object.fillColor;
        item.cornerRadius = object.kind == Object::Kind::RoundedRectangle ? object.cornerRadius : 0;
        item.picture = object.picture;
        item.scaling = object.scaling;
        content.height = std::max(content.height, itemBottom(item));
        content.items.append(item);
    }
    for (int i = 0; i < content.items.size(); ++i) {
        const Object &object = *band.objects.at(i).object;
        if (!object.stretchToBand)
            continue;
        ReportPageItem &item = content.items[i];
        if (item.kind == Object::Kind::Line) {
            if (item.segment.y2() >= item.segment.y1())
                item.segment.setP2(QPointF(item.segment.x2(), content.height));
            else
                item.segment.setP1(QPointF(item.segment.x1(), content.height));
        } else {
            item.rect.setBottom(content.height);
        }
    }
    return content;
}
