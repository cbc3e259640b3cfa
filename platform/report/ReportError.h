#pragma once

#include "platform/core/Exceptions.h"

namespace platform {

// A fault in a report definition or in evaluating one of its expressions. The engine turns it
// into a failed prepare with this message; the host never sees it as an exception.
class ReportError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace platform
