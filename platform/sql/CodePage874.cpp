#include "platform/sql/CodePage874.h"

namespace platform {

namespace {

// Code page 874 (Windows): ASCII and the C1 controls' bytes not given to characters map as
// themselves; 0xA1-0xDA and 0xDF-0xFB are U+0E01-U+0E3A and U+0E3F-U+0E5B; a few
// punctuation marks sit in 0x80-0x9F and 0xA0 is the no-break space.
bool encodable(char32_t c)
{
    if (c < 0x80)
        return true;
    if ((c >= 0x0E01 && c <= 0x0E3A) || (c >= 0x0E3F && c <= 0x0E5B))
        return true;
    switch (c) {
    case 0x00A0: // no-break space
    case 0x20AC: // euro sign
    case 0x2026: // horizontal ellipsis
    case 0x2018:
    case 0x2019:
    case 0x201C:
    case 0x201D: // quotation marks
    case 0x2022: // bullet
    case 0x2013:
    case 0x2014: // en and em dash
        return true;
    default:
        return false;
    }
}

} // namespace

qsizetype CodePage874::firstUnencodable(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isSurrogate())
            return i;
        if (!encodable(c.unicode()))
            return i;
    }
    return -1;
}

} // namespace platform
