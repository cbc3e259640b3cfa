#pragma once

#include "platform/report/ReportDataResult.h"
#include "platform/report/ReportExpressionEvaluator.h"
#include "platform/report/ReportExpressionTranslator.h"
#include "platform/report/ReportFunctionHandler.h"

#include <QHash>
#include <QJSEngine>
#include <QJSValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>

namespace platform {

class ReportScriptBridge;

// Compiles report expressions once with QJSEngine and evaluates them against the report's
// state: the datasets and the current master row, the variables, page numbers, group instances
// and aggregates. Compile faults and run-time faults raise ReportError naming the expression's
// owner; exceptions from the host's function handler pass through unchanged.
class ReportScript : public ReportExpressionEvaluator
{
public:
    // Where an aggregate collects its rows.
    struct AggregateScope {
        enum Kind { None, Report, Group, Page, Running } kind = None;
        int group = -1;
        bool early = false; // read before all of its rows have been laid out
    };
    struct Owner {
        QString name; // "object Total", "variable RPTITLE", "group Branch"
        int line = 0;
    };

    explicit ReportScript(const QStringList &datasetNames);
    ~ReportScript() override;

    void setFunctionHandler(ReportFunctionHandler handler);
    void setDataset(const QString &name, const ReportDataResult &data);
    void setMasterDataset(const QString &name);
    void setVariable(const QString &name, const QString &expression, const Owner &owner);

    int compile(const QString &expression, const AggregateScope &scope, const Owner &owner);
    QVariant evaluate(int expression);
    QVariant evaluate(const QString &expression) override;

    // Report state, set by the layout engine.
    int rowCount() const;
    void setRow(int row);
    int row() const { return m_row; }
    void setPage(int page) { m_page = page; }
    void setTotalPages(int pages) { m_totalPages = pages; }
    void beginPass();
    void startGroup(int group);
    void accumulateRow();
    void accumulatePage();
    // What the layout may take back: the aggregates collected so far, the group instances, the
    // row and the page. The layout saves it before a group it may have to start again on a
    // new page.
    struct Accumulator {
        double sum = 0;
        qint64 count = 0;
        double min = 0;
        double max = 0;
    };
    struct State {
        QHash<quint64, Accumulator> current;
        QList<int> groupInstance;
        QList<int> groupCounter;
        int row = -1;
        int page = 0;
    };
    State saveState() const;
    void restoreState(const State &state);
    // True when a run read the page count or an aggregate before its rows: the layout must
    // then run again with the values the first run found.
    bool needsSecondPass() const { return m_totalPagesRead || m_earlyAggregates; }
    // Counts the reads of values that differ between layout runs or from page to page: the
    // page number, the page count, a page's aggregates and aggregates read before their rows.
    // What was built without such a read is the same in every run.
    int pageBoundReads() const { return m_pageBoundReads; }

    // Called by the bridge.
    QVariant resolveName(const QString &name);
    QVariant resolveField(const QString &dataset, const QString &field);
    QVariant callHost(int call);
    QVariant aggregateValue(int aggregate);
    QVariant callBuiltIn(const QString &name, const QVariantList &arguments);
    void keepException(std::exception_ptr exception);
    QJSEngine &engine() { return m_engine; }

    static QVariant fromScript(const QJSValue &value);

private:
    struct Dataset {
        QString name;
        QStringList columns;
        QHash<QString, int> index; // lower-case column name
        QList<QVariantList> rows;
    };
    struct Compiled {
        QJSValue function;
        QString text;
        Owner owner;
    };
    struct HostCall {
        QString name;
        QStringList arguments;
        QList<int> argumentIds;
    };
    struct Aggregate {
        QString function;
        int argument = -1;
        AggregateScope scope;
        Owner owner;
    };
    QString translate(const QString &expression, const AggregateScope &scope, const Owner &owner);
    QVariant run(int expression);
    quint64 aggregateKey(int aggregate) const;
    void accumulate(int aggregate);
    QVariant rowValue(const Dataset &dataset, int row, const QString &field, bool *found) const;

    QJSEngine m_engine;
    std::unique_ptr<ReportScriptBridge> m_bridge;
    ReportExpressionTranslator m_translator;
    ReportFunctionHandler m_handler;
    QHash<QString, Dataset> m_datasets; // lower-case name
    QString m_master;
    QHash<QString, int> m_variables; // lower-case name -> expression
    QSet<QString> m_evaluatingVariables;
    QList<Compiled> m_compiled;
    QList<HostCall> m_hostCalls;
    QList<int> m_hostCallStack;
    QHash<QString, int> m_adHoc;
    QList<Aggregate> m_aggregates;
    QHash<quint64, Accumulator> m_current;
    QHash<quint64, Accumulator> m_finals;
    QList<int> m_groupInstance;
    QList<int> m_groupCounter;
    std::exception_ptr m_pending;
    Owner m_owner;
    int m_row = -1;
    int m_page = 0;
    int m_totalPages = 0;
    bool m_totalPagesRead = false;
    bool m_earlyAggregates = false;
    int m_pageBoundReads = 0;
};

} // namespace platform
