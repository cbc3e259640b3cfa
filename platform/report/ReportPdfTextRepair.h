#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// Makes the Thai text of a PDF written by QPdfWriter or a PDF QPrinter extract as written.
// Qt maps each glyph back to a character through the font's character map only, so the
// positioned forms of Thai marks that the shaper picks (a tone mark lowered over a consonant,
// a vowel moved left) come out as private-use characters, and SARA AM, which the shaper draws
// as NIKHAHIT and SARA AA, comes out as those two. This rewrites the fonts' ToUnicode maps to
// the standard Thai characters and marks each drawn Thai word with its actual text, so search,
// copy and text extraction (in reading order, by layout or as drawn) see the words that were
// laid out. A PDF it does not understand is
// returned unchanged.
class ReportPdfTextRepair
{
public:
    static QByteArray repair(const QByteArray &pdf);
    // Repairs a file in place; raises EInOutError when it cannot be read or written.
    static void repairFile(const QString &path);
};

} // namespace platform
