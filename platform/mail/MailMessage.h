#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The message an SmtpClient sends. Addresses are plain ("desk@example.com") or with a display
// name ("Support Desk <desk@example.com>"); only the address part goes into the envelope.
// Blind copies reach their addresses but appear in no header.
struct MailMessage {
    QString sender;
    QStringList recipients;
    QStringList carbonCopies;
    QStringList blindCopies;
    QString subject;
    // Joined with line breaks. A line may itself hold line breaks in any convention (CR, LF or
    // CRLF); each becomes one CRLF on the wire.
    QStringList bodyLines;
    // Paths of files sent as attachments.
    QStringList attachments;

    void clear() { *this = MailMessage(); }
};

} // namespace platform
