#pragma once

#include "platform/report/ReportDefinition.h"

#include <QByteArray>
#include <QString>

class QXmlStreamReader;

namespace platform {

// Reads a report definition file (our XML format, see README.md) into a ReportDefinition.
// Every fault names the line it was found on: a file that is not well-formed, an unknown
// element or attribute, a value that is not a number, a footer for a group that does not exist.
class ReportDefinitionLoader
{
public:
    enum class Fault { None, CannotOpen, Invalid };
    struct Result {
        Fault fault = Fault::Invalid;
        int line = 0;  // where an invalid definition went wrong
        QString cause; // what is wrong, for the definition's author
        ReportDefinition definition;

        bool ok() const { return fault == Fault::None; }
        // "Line N: cause" for an invalid definition; the system's reason for a file not opened.
        QString error() const;
    };

    static Result loadFile(const QString &path);
    // `baseDirectory` resolves relative picture files.
    static Result loadData(const QByteArray &xml, const QString &baseDirectory);
};

} // namespace platform
