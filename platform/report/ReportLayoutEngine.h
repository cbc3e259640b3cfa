#pragma once

#include "platform/report/ReportDefinition.h"
#include "platform/report/ReportDocument.h"
#include "platform/report/ReportScript.h"
#include "platform/report/ReportTextMeasurer.h"

#include <QFont>
#include <QHash>
#include <QList>

namespace platform {

// Lays a definition out over its data and produces the page model. Bands are placed top to
// bottom: the report title once, the page header and (while data runs) the column header and
// repeating group headers on every page, group headers and footers around the master rows, the
// summary after them and the page footer at the foot of every page. A band that does not fit
// in what is left of a page moves to the next page; one taller than a whole page is split
// between lines. A group header kept with the next band moves with it, a group kept together
// starts a new page rather than break where it fits on one, and a footer kept together takes
// the group's last row along. The whole run is repeated once the page count is known, so that
// totals and "page N of M" can be shown before the rows they count.
class ReportLayoutEngine
{
public:
    ReportLayoutEngine(const ReportDefinition &definition, ReportScript &script);

    // Compiles every expression of the bands; raises ReportError naming the line.
    void compile();
    ReportDocument run();

private:
    struct Part {
        bool isExpression = false;
        QString text;
        int expression = -1;
    };
    struct CompiledObject {
        const ReportObjectDefinition *object = nullptr;
        QList<Part> parts;
        int expression = -1;
        QFont font;
        QString fontKey;
    };
    struct CompiledBand {
        const ReportBandDefinition *band = nullptr;
        QList<CompiledObject> objects;
        int expression = -1; // group header: the group's value
        int group = -1;      // group header and footer: index of the group
    };
    struct Content {
        qreal height = 0;
        QList<ReportPageItem> items; // relative to the band's top-left corner
    };
    // Where the layout stands, to go back to when a group must start again on a new page.
    struct Mark {
        qsizetype pages = 0;
        qsizetype items = 0;
        qreal y = 0;
        qreal limit = 0;
        qreal bodyTop = 0;
        qreal footerTop = 0;
        qreal freshCapacity = 0;
        qreal flowHeight = 0;
        bool columnHeaderShown = false;
        bool dataOnPage = false;
        QList<bool> groupOpen;
        ReportScript::State script;
    };

    CompiledBand compileBand(const ReportBandDefinition &band, int group);
    ReportDocument pass(int totalPages);
    void runData();
    void runRows(int level, int from, int to);
    void runGroup(int group, int from, int to);
    void placeGroup(int group, int from, int to);
    int groupEnd(int group, int from, int to) const;
    quint64 builtKey(const CompiledBand &band, bool repeated) const;
    qreal heightOf(const CompiledBand &band);
    qreal heightAfterHeader(int group);
    qreal heightOfFootersAfter(int row);
    Content build(const CompiledBand &band, bool repeated);
    ReportPageItem buildText(const CompiledObject &compiled);
    QList<ReportTextMeasurer::Line> measure(const CompiledObject &compiled, const QString &text, qreal width);
    // Places a band; `keep` is the height of what must stand below it on the same page.
    void place(const CompiledBand &band, bool repeated = false, qreal keep = 0);
    void put(const Content &content);
    static std::pair<Content, Content> split(const Content &content, qreal available);
    void startPage();
    void finishPage();
    Mark mark() const;
    void restore(const Mark &mark);

    const ReportDefinition &m_definition;
    ReportScript &m_script;

    CompiledBand m_title;
    CompiledBand m_pageHeader;
    CompiledBand m_columnHeader;
    CompiledBand m_master;
    QList<CompiledBand> m_groupHeaders;
    QList<CompiledBand> m_groupFooters; // by group; band null when the group has none
    CompiledBand m_summary;
    CompiledBand m_pageFooter;

    QList<ReportPage> m_pages;
    QList<QVariantList> m_keys; // by master row: the value of each group
    qreal m_y = 0;
    qreal m_limit = 0;
    qreal m_bodyTop = 0;
    qreal m_footerTop = 0;
    qreal m_freshCapacity = 0; // room for data on the page last started
    qreal m_flowHeight = 0;    // height of the data bands placed so far
    bool m_inData = false;
    bool m_columnHeaderShown = false;
    bool m_dataOnPage = false; // a group header, row or footer stands on this page
    QList<bool> m_groupOpen;
    QHash<QString, QList<ReportTextMeasurer::Line>> m_measured; // lines of texts already broken
    QHash<quint64, Content> m_built;                            // by band and row: what place() built without page-bound reads
};

} // namespace platform
