#include "platform/report/ReportLayoutEngine.h"

#include "platform/report/ReportError.h"
#include "platform/report/ReportScript.h"
#include "platform/report/ReportTemplateText.h"
#include "platform/report/ReportTextMeasurer.h"
#include "platform/report/ReportValueText.h"

namespace platform {

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
    case Band::Kind::Summary:
        scope.kind = ReportScript::AggregateScope::Report;
        break;
    case Band::Kind::PageHeader:
        scope.kind = ReportScript::AggregateScope::Page;
        scope.early = true;
        break;
    case Band::Kind::PageFooter:
        scope.kind = ReportScript::AggregateScope::Page;
        break;
    case Band::Kind::MasterData:
        scope.kind = ReportScript::AggregateScope::Running;
        break;
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
        return !text.isEmpty() && text != QLatin1String("0") && text != QLatin1String("false") && text != QLatin1String("n") &&
            text != QLatin1String("no");
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
{}

ReportLayoutEngine::CompiledBand ReportLayoutEngine::compileBand(const Band &band, int group)
{
    CompiledBand compiled;
    compiled.band = &band;
    compiled.group = group;
    const ReportScript::AggregateScope scope = scopeOf(band, group);
    for (const Object &object : band.objects) {
        CompiledObject compiledObject;
        compiledObject.object = &object;
        const ReportScript::Owner owner{QStringLiteral("object %1").arg(object.name), object.line};
        if (object.kind == Object::Kind::Text) {
            QFont font(object.fontFamily.isEmpty() ? m_definition.fontFamily : object.fontFamily);
            font.setPointSizeF(object.fontSize > 0 ? object.fontSize : m_definition.fontSize);
            font.setBold(object.bold);
            font.setItalic(object.italic);
            font.setUnderline(object.underline);
            compiledObject.font = font;
            compiledObject.fontKey = font.key();
            QList<ReportTemplateText::Part> parts;
            try {
                parts = ReportTemplateText::parse(object.text);
            } catch (const ReportError &error) {
                throw ReportError(QStringLiteral("Line %1: object %2: %3").arg(object.line).arg(object.name, error.message()));
            }
            for (const ReportTemplateText::Part &part : parts) {
                Part compiledPart{part.isExpression, part.text, -1};
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
        case Band::Kind::ReportTitle:
            m_title = compileBand(band, -1);
            break;
        case Band::Kind::PageHeader:
            m_pageHeader = compileBand(band, -1);
            break;
        case Band::Kind::ColumnHeader:
            m_columnHeader = compileBand(band, -1);
            break;
        case Band::Kind::MasterData:
            m_master = compileBand(band, -1);
            break;
        case Band::Kind::GroupHeader:
            m_groupHeaders.append(compileBand(band, int(m_groupHeaders.size())));
            break;
        case Band::Kind::GroupFooter:
            footers.append(&band);
            break;
        case Band::Kind::Summary:
            m_summary = compileBand(band, -1);
            break;
        case Band::Kind::PageFooter:
            m_pageFooter = compileBand(band, -1);
            break;
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
    document.pageLayout = m_definition.pageLayout();
    return document;
}

ReportDocument ReportLayoutEngine::pass(int totalPages)
{
    m_script.beginPass();
    m_script.setTotalPages(totalPages);
    m_pages.clear();
    m_inData = false;
    m_columnHeaderShown = false;
    m_flowHeight = 0;
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
    m_keys.clear();
    m_keys.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        m_script.setRow(row);
        QVariantList keys;
        for (const CompiledBand &header : std::as_const(m_groupHeaders))
            keys.append(m_script.evaluate(header.expression));
        m_keys.append(keys);
    }
    runRows(0, 0, rows);
    m_inData = false;
}

// The rows [from, to) at a level of grouping: the groups of that level one after the other,
// or, below the innermost group, the master rows.
void ReportLayoutEngine::runRows(int level, int from, int to)
{
    if (level < m_groupHeaders.size()) {
        for (int row = from; row < to;) {
            const int end = groupEnd(level, row, to);
            runGroup(level, row, end);
            row = end;
        }
        return;
    }
    for (int row = from; row < to; ++row) {
        m_script.setRow(row);
        m_script.accumulateRow();
        place(m_master, false, row == to - 1 ? heightOfFootersAfter(row) : 0);
        m_script.accumulatePage();
    }
}

int ReportLayoutEngine::groupEnd(int group, int from, int to) const
{
    int row = from + 1;
    while (row < to && m_keys.at(row).at(group) == m_keys.at(from).at(group))
        ++row;
    return row;
}

void ReportLayoutEngine::runGroup(int group, int from, int to)
{
    if (!m_groupHeaders.at(group).band->keepTogether) {
        placeGroup(group, from, to);
        return;
    }
    const Mark before = mark();
    const bool belowTop = m_y > m_bodyTop + epsilon;
    placeGroup(group, from, to);
    // A group that broke over a page but fits on one starts again on a new page.
    if (!belowTop || m_pages.size() == before.pages || m_flowHeight - before.flowHeight > m_freshCapacity + epsilon)
        return;
    restore(before);
    finishPage();
    startPage();
    placeGroup(group, from, to);
}

void ReportLayoutEngine::placeGroup(int group, int from, int to)
{
    const CompiledBand &header = m_groupHeaders.at(group);
    m_script.setRow(from);
    m_script.startGroup(group);
    place(header, false, header.band->keepWithNext ? heightAfterHeader(group) : 0);
    m_groupOpen[group] = true;
    runRows(group + 1, from, to);
    m_script.setRow(to - 1);
    if (m_groupFooters.at(group).band)
        place(m_groupFooters.at(group));
    m_groupOpen[group] = false;
}

quint64 ReportLayoutEngine::builtKey(const CompiledBand &band, bool repeated) const
{
    return (quint64(band.band - m_definition.bands.constData()) << 33) | (quint64(m_script.row() + 1) << 1) | (repeated ? 1 : 0);
}

// The height a band will take at the current row: as built before when it was, else built now.
qreal ReportLayoutEngine::heightOf(const CompiledBand &band)
{
    const auto built = m_built.constFind(builtKey(band, false));
    return built != m_built.constEnd() ? built->height : build(band, false).height;
}

// The height of what a header kept with the next band needs below it: the next group's
// header (and what that one keeps), or the group's first row.
qreal ReportLayoutEngine::heightAfterHeader(int group)
{
    if (group + 1 < m_groupHeaders.size()) {
        const CompiledBand &next = m_groupHeaders.at(group + 1);
        if (next.band->startNewPage)
            return 0;
        const qreal height = heightOf(next);
        return next.band->keepWithNext ? height + heightAfterHeader(group + 1) : height;
    }
    return heightOf(m_master);
}

// The height of the footers that follow the last row of a group, as far out as a footer kept
// together with that row reaches; 0 when none is.
qreal ReportLayoutEngine::heightOfFootersAfter(int row)
{
    const int groups = int(m_groupHeaders.size());
    int outermost = 0; // the outermost group that ends with this row
    if (row + 1 < m_keys.size()) {
        outermost = groups;
        for (int g = 0; g < groups; ++g) {
            if (m_keys.at(row + 1).at(g) != m_keys.at(row).at(g)) {
                outermost = g;
                break;
            }
        }
    }
    qreal height = 0;
    qreal kept = 0;
    for (int g = groups - 1; g >= outermost; --g) {
        const CompiledBand &footer = m_groupFooters.at(g);
        if (!footer.band)
            continue;
        height += heightOf(footer);
        if (footer.band->keepTogether)
            kept = height;
    }
    return kept;
}

ReportLayoutEngine::Mark ReportLayoutEngine::mark() const
{
    Mark mark;
    mark.pages = m_pages.size();
    mark.items = m_pages.isEmpty() ? 0 : m_pages.last().items.size();
    mark.y = m_y;
    mark.limit = m_limit;
    mark.bodyTop = m_bodyTop;
    mark.footerTop = m_footerTop;
    mark.freshCapacity = m_freshCapacity;
    mark.flowHeight = m_flowHeight;
    mark.columnHeaderShown = m_columnHeaderShown;
    mark.dataOnPage = m_dataOnPage;
    mark.groupOpen = m_groupOpen;
    mark.script = m_script.saveState();
    return mark;
}

void ReportLayoutEngine::restore(const Mark &mark)
{
    m_pages.resize(mark.pages);
    m_pages.last().items.resize(mark.items);
    m_y = mark.y;
    m_limit = mark.limit;
    m_bodyTop = mark.bodyTop;
    m_footerTop = mark.footerTop;
    m_freshCapacity = mark.freshCapacity;
    m_flowHeight = mark.flowHeight;
    m_columnHeaderShown = mark.columnHeaderShown;
    m_dataOnPage = mark.dataOnPage;
    m_groupOpen = mark.groupOpen;
    m_script.restoreState(mark.script);
}

void ReportLayoutEngine::startPage()
{
    const QSizeF size = m_definition.orientedPageSize();
    m_pages.append(ReportPage{size, {}});
    const int number = int(m_pages.size());
    m_script.setPage(number);
    m_y = m_definition.marginTop;
    const qreal footerHeight = m_pageFooter.band ? build(m_pageFooter, false).height : 0;
    m_footerTop = size.height() - m_definition.marginBottom - footerHeight;
    m_limit = m_footerTop;
    m_bodyTop = m_y;

    // A title that repeats heads every page as a page header: marked as repeated, so exports
    // keep it once.
    if (m_title.band && (number == 1 || m_title.band->repeatOnNewPage)) {
        put(build(m_title, number > 1));
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
    m_freshCapacity = m_limit - m_bodyTop;
    m_dataOnPage = false;
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

void ReportLayoutEngine::place(const CompiledBand &band, bool repeated, qreal keep)
{
    const Band::Kind kind = band.band->kind;
    const bool data =
        !repeated && (kind == Band::Kind::GroupHeader || kind == Band::Kind::MasterData || kind == Band::Kind::GroupFooter);
    // A band of the data run built in the first run, or before a group was started again, is
    // the same the next time unless it read something bound to the page: it is built once.
    // The second run then costs little more than placing, and the host's functions are not
    // asked twice for the same row.
    const quint64 key = builtKey(band, repeated);
    auto built = m_built.constFind(key);
    Content content;
    bool pageBound = false;
    if (built != m_built.constEnd()) {
        content = built.value();
    } else {
        const int reads = m_script.pageBoundReads();
        content = build(band, repeated);
        pageBound = m_script.pageBoundReads() != reads;
        if (!pageBound && m_inData)
            m_built.insert(key, content);
    }
    const bool bodyOnPage = m_y > m_bodyTop + epsilon;
    // A band that starts a new page does so only after data: the first group does not leave
    // the title and the column header alone on a page of their own.
    const bool newPageFirst = band.band->startNewPage && (data ? m_dataOnPage : bodyOnPage);
    if (newPageFirst || (m_y + content.height + keep > m_limit + epsilon && bodyOnPage)) {
        finishPage();
        startPage();
        if (pageBound)
            content = build(band, repeated);
    }
    if (data) {
        m_flowHeight += content.height;
        m_dataOnPage = true;
    }
    while (m_y + content.height > m_limit + epsilon) {
        const qreal available = m_limit - m_y;
        if (available <= 1)
            break; // headers fill the page: let the band run over rather than loop
        auto [head, rest] = split(content, available);
        put(head);
        finishPage();
        startPage();
        m_dataOnPage = data;
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

std::pair<ReportLayoutEngine::Content, ReportLayoutEngine::Content> ReportLayoutEngine::split(const Content &content,
                                                                                              qreal available)
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
    const bool oneField = compiled.parts.size() == 1 && compiled.parts.first().isExpression;
    for (const Part &part : compiled.parts) {
        if (part.isExpression) {
            const QVariant value = m_script.evaluate(part.expression);
            text += ReportValueText::text(value, object.numberFormat, object.dateFormat);
            if (oneField)
                item.value = value;
        } else {
            text += part.text;
        }
    }
    item.text = text;
    item.numberFormat = object.numberFormat;
    item.font = compiled.font;

    const qreal innerWidth = object.rect.width() - 2 * object.padding;
    const QList<ReportTextMeasurer::Line> lines = measure(compiled, text, innerWidth);
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
    item.lines.reserve(lines.size());
    for (const ReportTextMeasurer::Line &line : lines) {
        // A text that may not grow keeps the lines that fit (always the first).
        if (!item.lines.isEmpty() && y + line.height > bottom + epsilon)
            break;
        item.lines.append({line.text, QRectF(object.rect.x() + object.padding, y, innerWidth, line.height)});
        y += line.height;
    }
    return item;
}

// Breaking a text into lines is the costly part of the layout, and reports repeat their texts
// (headers on every page, the same names on many rows, both passes): each text is broken once.
QList<ReportTextMeasurer::Line> ReportLayoutEngine::measure(const CompiledObject &compiled, const QString &text, qreal width)
{
    const bool wrap = compiled.object->wordWrap;
    const QString key = compiled.fontKey + QLatin1Char('\x1f') + QString::number(width, 'g', 10) +
        (wrap ? QLatin1Char('w') : QLatin1Char('n')) + text;
    auto found = m_measured.constFind(key);
    if (found == m_measured.constEnd())
        found = m_measured.insert(key, ReportTextMeasurer::lines(text, compiled.font, width, wrap));
    return found.value();
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

} // namespace platform
