#pragma once

#include "platform/report/ReportBandDefinition.h"
#include "platform/report/ReportDatasetDefinition.h"

#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>

namespace platform {

// A report definition as loaded from its file: page set-up, datasets, default variables and
// bands. Lengths in millimetres.
struct ReportDefinition {
    struct Variable {
        QString name;
        QString expression;
        int line = 0;
    };

    QString name;
    QString fileName;
    QSizeF pageSize{210, 297}; // portrait size; orientation swaps it
    bool landscape = false;
    qreal marginLeft = 10;
    qreal marginTop = 10;
    qreal marginRight = 10;
    qreal marginBottom = 10;
    QString fontFamily = QStringLiteral("Garuda");
    qreal fontSize = 10;
    QList<ReportDatasetDefinition> datasets;
    QList<Variable> variables;
    QList<ReportBandDefinition> bands;

    QSizeF orientedPageSize() const { return landscape ? QSizeF(pageSize.height(), pageSize.width()) : pageSize; }
    // The paper as a page layout (millimetres), and the other way round.
    QPageLayout pageLayout() const
    {
        return QPageLayout(QPageSize(pageSize, QPageSize::Millimeter), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                           QMarginsF(marginLeft, marginTop, marginRight, marginBottom), QPageLayout::Millimeter);
    }
    void setPageLayout(const QPageLayout &layout)
    {
        pageSize = layout.pageSize().size(QPageSize::Millimeter);
        landscape = layout.orientation() == QPageLayout::Landscape;
        const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
        marginLeft = margins.left();
        marginTop = margins.top();
        marginRight = margins.right();
        marginBottom = margins.bottom();
    }
    const ReportBandDefinition *band(ReportBandDefinition::Kind kind) const
    {
        for (const ReportBandDefinition &b : bands) {
            if (b.kind == kind)
                return &b;
        }
        return nullptr;
    }
};

} // namespace platform
