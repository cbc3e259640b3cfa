#pragma once

#include "platform/core/Exceptions.h"

namespace platform {

// Sending mail failed: the mail host could not be reached, did not answer in time, refused the
// message, or the message itself could not be put together. The text is libcurl's own, followed
// by the server's last reply where there was one.
class EMailError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace platform
