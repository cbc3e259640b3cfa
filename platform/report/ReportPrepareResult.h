#pragma once

#include <QString>

namespace platform {

// Whether a report could be prepared, and why not.
struct ReportPrepareResult {
    bool ok = false;
    QString message;

    explicit operator bool() const { return ok; }
};

} // namespace platform
