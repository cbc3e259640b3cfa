#pragma once

#include "platform/report/ReportDefinition.h"
#include "platform/report/ReportDocument.h"

#include <QList>

class ReportScript;

// Lays a definition out over its data and produces the page model. Bands are placed top to
// bottom: the report title once, the page header and (while data runs) the column header and
// repeating group headers on every page, group headers and footers around the master rows, the
// summary after them and the page footer at the foot of every page. A band that does not fit
// in what is left of a page moves to the next page; one taller than a whole page is split
// between lines. The whole run is repeated once the page count is known, so that totals and
// "page N of M" can be shown before the rows they count.
class ReportLayoutEngine
{
public:
    ReportLayoutEngine(const ReportDefinition &definition, ReportScript &script);

    // Compiles every expression of the bands; raises ReportError naming the line.
    void compile();
    ReportDocument run();

private:
    struct Part
    {
        bool isExpression = false;
        QString text;
        int expression = -1;
    };
    struct CompiledObject
    {
        const ReportObjectDefinition *object = nullptr;
        QList<Part> parts;
        int expression = -1;
    };
    struct CompiledBand
    {
        const ReportBandDefinition *band = nullptr;
        QList<CompiledObject> objects;
        int expression = -1;   // group header: the group's value
        int group = -1;        // group header and footer: index of the group
    };
    struct Content
    {
        qreal height = 0;
        QList<ReportPageItem> items;  // relative to the band's top-left corner
    };

    CompiledBand compileBand(const ReportBandDefinition &band, int group);
    ReportDocument pass(int totalPages);
    void runData();
    Content build(const CompiledBand &band, bool repeated);
    ReportPageItem buildText(const CompiledObject &compiled);
    void place(const CompiledBand &band, bool repeated = false);
    void put(const Content &content);
    static std::pair<Content, Content> split(const Content &content, qreal available);
    void startPage();
    void finishPage();
    void openGroupHeader(int group, bool repeated);

    const ReportDefinition &m_definition;
    ReportScript &m_script;

    CompiledBand m_title;
    CompiledBand m_pageHeader;
    CompiledBand m_columnHeader;
    CompiledBand m_master;
    QList<CompiledBand> m_groupHeaders;
    QList<CompiledBand> m_groupFooters;  // by group; band null when the group has none
    CompiledBand m_summary;
    CompiledBand m_pageFooter;

    QList<ReportPage> m_pages;
    qreal m_y = 0;
    qreal m_limit = 0;
    qreal m_bodyTop = 0;
    qreal m_footerTop = 0;
    bool m_inData = false;
    bool m_columnHeaderShown = false;
    QList<bool> m_groupOpen;
};
