#include "platform/core/IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace platform {

namespace {

const QByteArray utf8Bom("\xEF\xBB\xBF");

// Code page 874 beyond ASCII: Thai letters at 0xA1..0xFB map onto U+0E01..U+0E5B; a few
// punctuation marks sit at 0x80..0x97.
constexpr struct {
    unsigned char byte;
    char16_t unicode;
} cp874Punctuation[] = {
    {0x80, u'\u20AC'}, {0x85, u'\u2026'}, {0x91, u'\u2018'}, {0x92, u'\u2019'}, {0x93, u'\u201C'},
    {0x94, u'\u201D'}, {0x95, u'\u2022'}, {0x96, u'\u2013'}, {0x97, u'\u2014'}, {0xA0, u'\u00A0'},
};

bool isThaiByte(unsigned char b)
{
    return (b >= 0xA1 && b <= 0xDA) || (b >= 0xDF && b <= 0xFB);
}

QString fromCp874(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        QChar ch = QChar::ReplacementCharacter;
        if (b < 0x80)
            ch = QChar(b);
        else if (isThaiByte(b))
            ch = QChar(char16_t(0x0E01 + (b - 0xA1)));
        else
            for (const auto &p : cp874Punctuation)
                if (p.byte == b)
                    ch = QChar(p.unicode);
        text.append(ch);
    }
    return text;
}

QByteArray toCp874(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        char b = '?';
        if (u < 0x80)
            b = char(u);
        else if (u >= 0x0E01 && u <= 0x0E5B && isThaiByte(static_cast<unsigned char>(u - 0x0E01 + 0xA1)))
            b = char(u - 0x0E01 + 0xA1);
        else
            for (const auto &p : cp874Punctuation)
                if (p.unicode == u)
                    b = char(p.byte);
        bytes.append(b);
    }
    return bytes;
}

bool isComment(const QString &trimmed)
{
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

// "[Name]" gives Name; anything else a null string.
QString sectionName(const QString &trimmed)
{
    if (!trimmed.startsWith(u'['))
        return QString();
    const int close = trimmed.indexOf(u']');
    return close > 0 ? trimmed.mid(1, close - 1).trimmed() : QString();
}

QString unquoted(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// A value as it must be written so that it reads back unchanged.
QString quotedIfNeeded(const QString &value)
{
    if (value != value.trimmed() || unquoted(value) != value)
        return u'"' + value + u'"';
    return value;
}

} // namespace

IniFile::IniFile(const QString &path)
    : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString decoded = utf8.decode(bytes); // decoding is what finds invalid sequences
    m_utf8 = !utf8.hasError();
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        Line line{bytes.mid(start, end - start), QByteArray()};
        if (end < bytes.size())
            line.ending = bytes.mid(end, bytes.at(end) == '\r' && end + 1 < bytes.size() && bytes.at(end + 1) == '\n' ? 2 : 1);
        start = end + line.ending.size();
        m_lines.append(line);
    }
}

QString IniFile::decode(const QByteArray &bytes) const
{
    return m_utf8 ? QString::fromUtf8(bytes) : fromCp874(bytes);
}

QByteArray IniFile::encode(const QString &text) const
{
    return m_utf8 ? text.toUtf8() : toCp874(text);
}

QByteArray IniFile::lineEnding() const
{
    for (const Line &line : m_lines)
        if (!line.ending.isEmpty())
            return line.ending;
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

IniFile::Found IniFile::find(const QString &section, const QString &key) const
{
    Found found;
    bool inSection = false;
    for (int i = 0; i < m_lines.size(); ++i) {
        QByteArray bytes = m_lines.at(i).bytes;
        if (i == 0 && bytes.startsWith(utf8Bom))
            bytes.remove(0, utf8Bom.size());
        const QString trimmed = decode(bytes).trimmed();
        if (trimmed.isEmpty() || isComment(trimmed))
            continue;
        const QString name = sectionName(trimmed);
        if (!name.isNull()) {
            if (inSection)
                break; // only the first section of a name counts
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                found.sectionLine = found.lastLine = i;
            continue;
        }
        if (!inSection)
            continue;
        found.lastLine = i;
        const int eq = trimmed.indexOf(u'=');
        if (found.keyLine < 0 && eq > 0 && trimmed.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            found.keyLine = i;
    }
    return found;
}

bool IniFile::contains(const QString &section, const QString &key) const
{
    return find(section, key).keyLine >= 0;
}

QString IniFile::value(const QString &section, const QString &key) const
{
    const int line = find(section, key).keyLine;
    if (line < 0)
        return QString();
    const QString text = decode(m_lines.at(line).bytes);
    const QString result = unquoted(text.mid(text.indexOf(u'=') + 1).trimmed());
    return result.isNull() ? QStringLiteral("") : result; // an empty value is given, not missing
}

QString IniFile::value(const QString &section, const QString &key, const QString &fallback) const
{
    const QString found = value(section, key);
    return found.isNull() ? fallback : found;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const Found found = find(section, key);
    if (found.keyLine >= 0 && this->value(section, key) == value)
        return;
    m_changed = true;
    if (found.keyLine >= 0) {
        // Keep the key as the file spells it and whatever stood before it on the line.
        Line &line = m_lines[found.keyLine];
        const qsizetype eq = line.bytes.indexOf('=');
        line.bytes = line.bytes.left(eq + 1) + encode(quotedIfNeeded(value));
        return;
    }
    const QByteArray newLine = encode(key + u'=' + quotedIfNeeded(value));
    const QByteArray ending = lineEnding();
    if (found.sectionLine >= 0) {
        const int at = found.lastLine + 1;
        if (m_lines.at(found.lastLine).ending.isEmpty())
            m_lines[found.lastLine].ending = ending;
        m_lines.insert(at, Line{newLine, ending});
        return;
    }
    if (!m_lines.isEmpty() && m_lines.last().ending.isEmpty())
        m_lines.last().ending = ending;
    if (!m_lines.isEmpty() && !m_lines.last().bytes.trimmed().isEmpty())
        m_lines.append(Line{QByteArray(), ending});
    m_lines.append(Line{encode(u'[' + section + u']'), ending});
    m_lines.append(Line{newLine, ending});
}

bool IniFile::save(QString *error)
{
    if (!m_changed)
        return true;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    for (const Line &line : std::as_const(m_lines)) {
        file.write(line.bytes);
        file.write(line.ending);
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    m_changed = false;
    return true;
}

} // namespace platform
