#pragma once

#include "platform/mail/MailMessage.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace platform {

// Turns a MailMessage into the bytes of an Internet message (RFC 5322 with MIME) ready for the
// DATA phase of SMTP: every line ends in CRLF and is at most 76 characters long (only an
// attachment whose MIME type name alone is longer makes a longer header line).
//
// Text is always UTF-8. The subject and any non-ASCII display name travel as RFC 2047
// encoded-words (=?UTF-8?B?...?=, each at most 75 characters, never splitting a character or,
// where it fits, a Thai letter from its vowel and tone marks); the body is text/plain;
// charset=UTF-8 in base64; attachments make the message multipart/mixed with each file in
// base64. Because everything past the headers is base64, no line of the message can start with
// a dot, so SMTP's dot-stuffing never has to alter it (libcurl would stuff one anyway).
class MimeMessage
{
public:
    // Raises EMailError for an address or attachment that cannot be used (a line break inside an
    // address, an unreadable file). The date defaults to now; the Message-ID is made unique.
    static QByteArray compose(const MailMessage &message, const QDateTime &date = QDateTime());

    // The address part of "Name <addr>" or of a plain address, trimmed.
    static QString envelopeAddress(const QString &entry);

    // The header text as one or more encoded-words, folded with CRLF SP so that the first line,
    // which already holds `used` characters (e.g. 9 for "Subject: "), and every further line stay
    // within 76 characters.
    static QByteArray encodeHeaderText(const QString &text, int used);

    // CR, LF and CRLF all become CRLF.
    static QByteArray normaliseLineBreaks(const QByteArray &text);

    // Base64 in lines of 76 characters, each ending in CRLF.
    static QByteArray base64Lines(const QByteArray &data);
};

} // namespace platform
