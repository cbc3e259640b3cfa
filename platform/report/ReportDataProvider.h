#pragma once

#include "platform/report/ReportDataResult.h"

#include <QString>
#include <QVariantMap>

namespace platform {

// Runs the queries of a report's datasets for the engine. The engine knows nothing about
// connections: the host hands it a provider. `sql` is the dataset's main text, `alternativeSql`
// the text for an embedded engine when the dataset carries one (empty otherwise), and
// `parameters` the value of every `:Name` found in the texts, keyed by the name as written.
// A provider that fails throws (for example EDatabaseError); the engine lets it through.
class ReportDataProvider
{
public:
    virtual ~ReportDataProvider() = default;
    virtual ReportDataResult fetch(const QString &sql, const QString &alternativeSql, const QVariantMap &parameters) = 0;
};

} // namespace platform
