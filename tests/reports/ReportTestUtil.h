#pragma once

#include "platform/report/ReportDocument.h"
#include "support/ProgramOnDemo.h"

// The launch of a report screen for a user: menu 2, selector 2.
inline ProgramOnDemo::Launch reportLaunch(int user)
{
    return {2, user, 2};
}

// The text of the object of that name on the prepared pages (the first placement); a null
// string when the report has none.
inline QString itemText(const platform::ReportDocument &document, const QString &objectName)
{
    for (const platform::ReportPage &page : document.pages) {
        for (const platform::ReportPageItem &item : page.items) {
            if (item.objectName == objectName)
                return item.text;
        }
    }
    return QString();
}
