#include "platform/mail/MimeMessage.h"

#include "platform/mail/EMailError.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QTextBoundaryFinder>
#include <QUuid>

namespace platform {

namespace {

constexpr int maxLineLength = 76;
constexpr int maxEncodedWordLength = 75;
const QByteArray crlf = QByteArrayLiteral("\r\n");
const QByteArray wordPrefix = QByteArrayLiteral("=?UTF-8?B?");
const QByteArray wordSuffix = QByteArrayLiteral("?=");

bool isAscii(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() > 0x7e || (c.unicode() < 0x20 && c != u'\t'))
            return false;
    }
    return true;
}

bool hasLineBreakOrNul(const QString &text)
{
    return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(0));
}

// Header text never carries a line break of its own: it would end the header.
QString flattenLineBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    text.remove(QChar(0));
    return text;
}

// How many UTF-8 bytes an encoded-word of the given total length can carry.
int payloadBytes(int wordLength)
{
    const int base64Chars = wordLength - int(wordPrefix.size() + wordSuffix.size());
    return base64Chars / 4 * 3;
}

QByteArray encodedWord(const QByteArray &utf8)
{
    return wordPrefix + utf8.toBase64() + wordSuffix;
}

// Splits text into pieces of whole user-perceived characters (a Thai consonant stays with its
// vowel and tone marks) of at most maxBytes UTF-8 bytes each; a character longer than that on
// its own is split between code points, which RFC 2047 still allows.
void splitForWords(const QString &text, int firstMax, int restMax, QList<QByteArray> &pieces)
{
    QByteArray current;
    int limit = firstMax;
    auto flush = [&] {
        pieces.append(current);
        current.clear();
        limit = restMax;
    };
    auto append = [&](const QByteArray &bytes) {
        if (!current.isEmpty() && current.size() + bytes.size() > limit)
            flush();
        current.append(bytes);
    };

    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = finder.toNextBoundary();
        // Qt 6.4 can report a grapheme boundary inside a surrogate pair (seen after Thai
        // text); such a boundary is no boundary at all.
        while (end > 0 && end < text.size() && text.at(end).isLowSurrogate() && text.at(end - 1).isHighSurrogate())
            end = finder.toNextBoundary();
        if (end <= start)
            end = text.size();
        const QString cluster = text.mid(start, end - start);
        const QByteArray bytes = cluster.toUtf8();
        if (bytes.size() <= restMax) {
            append(bytes);
        } else {
            for (qsizetype i = 0; i < cluster.size();) {
                const qsizetype n = (cluster.at(i).isHighSurrogate() && i + 1 < cluster.size()) ? 2 : 1;
                append(cluster.mid(i, n).toUtf8());
                i += n;
            }
        }
        start = end;
    }
    if (!current.isEmpty())
        pieces.append(current);
}

// The text as encoded-words; the first at most firstWordLength characters long, the others 75.
QList<QByteArray> encodedWords(const QString &text, int firstWordLength)
{
    QList<QByteArray> pieces;
    splitForWords(text, payloadBytes(firstWordLength), payloadBytes(maxEncodedWordLength), pieces);
    for (QByteArray &piece : pieces)
        piece = encodedWord(piece);
    return pieces;
}

QByteArray quotedString(const QString &text)
{
    QByteArray out = "\"";
    for (char c : text.toLatin1()) {
        if (c == '"' || c == '\\')
            out.append('\\');
        out.append(c);
    }
    return out + '"';
}

void checkAddress(const QString &address, const QString &entry)
{
    bool bad = address.isEmpty() || hasLineBreakOrNul(entry);
    for (QChar c : address) {
        if (c.isSpace() || c == u'<' || c == u'>' || c == u',')
            bad = true;
    }
    if (bad)
        throw EMailError(QStringLiteral("Invalid mail address: \"%1\"").arg(entry));
}

// The pieces of one address that a header may be folded between: the display name (quoted
// when plain ASCII, encoded-words otherwise), then the address, in angle brackets when there is
// a name.
QList<QByteArray> addressTokens(const QString &entry)
{
    const QString address = MimeMessage::envelopeAddress(entry);
    checkAddress(address, entry);
    QString name;
    const qsizetype open = entry.lastIndexOf(u'<');
    if (open >= 0) {
        name = entry.left(open).trimmed();
        if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
            name = name.mid(1, name.size() - 2);
    }
    if (name.isEmpty())
        return {address.toUtf8()};
    QList<QByteArray> tokens;
    if (isAscii(name))
        tokens.append(quotedString(name));
    else
        tokens = encodedWords(name, maxEncodedWordLength);
    tokens.append('<' + address.toUtf8() + '>');
    return tokens;
}

// "Name: a, b, c", folded between tokens wherever a line would pass 76 characters.
QByteArray addressHeader(const char *name, const QStringList &entries)
{
    QList<QByteArray> tokens;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        tokens += addressTokens(entries.at(i));
        if (i + 1 < entries.size())
            tokens.last() += ',';
    }
    QByteArray header = QByteArray(name) + ':';
    qsizetype lineLength = header.size();
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (i > 0 && lineLength + 1 + tokens.at(i).size() > maxLineLength) {
            header += crlf;
            lineLength = 0;
        }
        header += ' ' + tokens.at(i);
        lineLength += 1 + tokens.at(i).size();
    }
    return header;
}

QString messageIdDomain(const QString &sender)
{
    const QString address = MimeMessage::envelopeAddress(sender);
    const QString domain = address.mid(address.lastIndexOf(u'@') + 1);
    if (!address.contains(u'@') || domain.isEmpty())
        return QStringLiteral("localhost");
    for (QChar c : domain) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'.' && c != u'-')
            return QStringLiteral("localhost");
    }
    return domain;
}

// Content-Disposition with the file name: quoted when plain ASCII and short, otherwise as
// RFC 2231 percent-encoded UTF-8, continued over several lines when long.
QByteArray dispositionHeader(const QString &fileName)
{
    QByteArray header = "Content-Disposition: attachment;";
    if (isAscii(fileName) && fileName.size() <= 40)
        return header + crlf + " filename=" + quotedString(fileName);
    const QByteArray encoded = fileName.toUtf8().toPercentEncoding("!#$&+-.^_`|~");
    QList<QByteArray> chunks;
    for (qsizetype pos = 0; pos < encoded.size();) {
        qsizetype n = qMin<qsizetype>(48, encoded.size() - pos);
        // Do not cut a %XX triple.
        const qsizetype percent = encoded.lastIndexOf('%', pos + n - 1);
        if (percent >= pos && percent + 3 > pos + n)
            n = percent - pos;
        chunks.append(encoded.mid(pos, n));
        pos += n;
    }
    for (qsizetype i = 0; i < chunks.size(); ++i) {
        header += crlf + " filename*" + QByteArray::number(i) + "*=";
        if (i == 0)
            header += "UTF-8''";
        header += chunks.at(i);
        if (i + 1 < chunks.size())
            header += ';';
    }
    return header;
}

QByteArray attachmentPart(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EMailError(QStringLiteral("Cannot read attachment \"%1\": %2").arg(path, file.errorString()));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EMailError(QStringLiteral("Cannot read attachment \"%1\": %2").arg(path, file.errorString()));

    const QString mimeType = QMimeDatabase().mimeTypeForFileNameAndData(path, data).name();
    QByteArray part = "Content-Type: " + mimeType.toLatin1() + crlf;
    part += "Content-Transfer-Encoding: base64" + crlf;
    part += dispositionHeader(QFileInfo(path).fileName()) + crlf + crlf;
    part += MimeMessage::base64Lines(data);
    return part;
}

} // namespace

QString MimeMessage::envelopeAddress(const QString &entry)
{
    const qsizetype open = entry.lastIndexOf(u'<');
    const qsizetype close = entry.lastIndexOf(u'>');
    if (open >= 0 && close > open)
        return entry.mid(open + 1, close - open - 1).trimmed();
    return entry.trimmed();
}

QByteArray MimeMessage::encodeHeaderText(const QString &text, int used)
{
    // A first line with too little room still gets a word of a few characters rather than
    // none: one Thai letter with its marks fits in 9 bytes.
    const int firstWordLength = qBound(24, maxLineLength - used, maxEncodedWordLength);
    return encodedWords(text, firstWordLength).join(crlf + ' ');
}

QByteArray MimeMessage::normaliseLineBreaks(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\r') {
            if (i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
            out += crlf;
        } else if (c == '\n') {
            out += crlf;
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray MimeMessage::base64Lines(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / maxLineLength * 2 + 2);
    for (qsizetype pos = 0; pos < encoded.size(); pos += maxLineLength)
        out += encoded.mid(pos, maxLineLength) + crlf;
    return out;
}

QByteArray MimeMessage::compose(const MailMessage &message, const QDateTime &date)
{
    QByteArray head;
    const QDateTime when = date.isValid() ? date : QDateTime::currentDateTime();
    head += "Date: " + when.toString(Qt::RFC2822Date).toLatin1() + crlf;
    head += addressHeader("From", {message.sender}) + crlf;
    if (!message.recipients.isEmpty())
        head += addressHeader("To", message.recipients) + crlf;
    if (!message.carbonCopies.isEmpty())
        head += addressHeader("Cc", message.carbonCopies) + crlf;
    if (message.recipients.isEmpty() && message.carbonCopies.isEmpty())
        head += "To: undisclosed-recipients:;" + crlf;
    for (const QString &entry : message.blindCopies)
        checkAddress(envelopeAddress(entry), entry);

    const QString subject = flattenLineBreaks(message.subject);
    head += "Subject: " + encodeHeaderText(subject, 9) + crlf;
    head += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + '@' +
        messageIdDomain(message.sender).toLatin1() + '>' + crlf;
    head += "MIME-Version: 1.0" + crlf;

    const QByteArray textHeaders = "Content-Type: text/plain; charset=UTF-8" + crlf + "Content-Transfer-Encoding: base64" + crlf;
    const QByteArray text = normaliseLineBreaks(message.bodyLines.join(QLatin1String("\r\n")).toUtf8());

    if (message.attachments.isEmpty())
        return head + textHeaders + crlf + base64Lines(text);

    QList<QByteArray> parts;
    for (const QString &path : message.attachments)
        parts.append(attachmentPart(path));

    // "=_" never occurs in base64 text, so the boundary cannot clash with any part.
    const QByteArray boundary = "=_" + QUuid::createUuid().toString(QUuid::Id128).toLatin1();
    QByteArray out = head;
    out += "Content-Type: multipart/mixed;" + crlf + " boundary=\"" + boundary + '"' + crlf + crlf;
    out += "This is a multi-part message in MIME format." + crlf;
    out += "--" + boundary + crlf + textHeaders + crlf + base64Lines(text);
    for (const QByteArray &part : parts)
        out += "--" + boundary + crlf + part;
    out += "--" + boundary + "--" + crlf;
    return out;
}

} // namespace platform
