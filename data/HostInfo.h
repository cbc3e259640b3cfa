#pragma once

#include <QString>

// What the error log and the error mail say about the workstation, from Qt's portable calls.
namespace HostInfo {

// The computer's name with leading and trailing blanks and control characters removed.
QString computerName();

// The log-on name of the account the program runs as, from the operating system, upper-cased;
// the environment's USERNAME, USER or LOGNAME only when the system can't tell, and "UNKNOWN"
// when neither can.
QString logOnName();

// The workstation's address in dotted form: the last IPv4 address the host name resolves to
// (falling back to the machine's interfaces), or "" when there is none.
QString localIp();

} // namespace HostInfo
