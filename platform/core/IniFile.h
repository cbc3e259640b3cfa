#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {

// The suite's settings file (QLM.INI), read and written the way the suite's other programs
// read and write it, so that this program never damages what they keep there.
//
// Reading: sections and keys match without regard to case; the first section and the first key
// of a name count. A value is everything after the first '=' up to the line end, blanks around
// it removed: ';', '#', ',', '\' and '"' inside a value are part of it. A value enclosed in a
// pair of double or single quotes loses the two quotes. Lines that start with ';' or '#' are
// comments. A file that is not UTF-8 is read as Thai code page 874.
//
// Writing: setValue() changes the one line of that key (or adds a line at the end of its
// section, or the section at the end of the file); save() writes the file back with every other
// byte as it was, in the file's own line endings and encoding, and only when something changed.
class IniFile
{
public:
    // Reads the file; a missing or unreadable file reads as empty.
    explicit IniFile(const QString &path);

    const QString &path() const { return m_path; }

    bool contains(const QString &section, const QString &key) const;

    // The key's value, or a null string when the section or the key is missing.
    QString value(const QString &section, const QString &key) const;

    // The key's value, or fallback when the key is missing (an empty value counts as given).
    QString value(const QString &section, const QString &key, const QString &fallback) const;

    void setValue(const QString &section, const QString &key, const QString &value);

    // Writes the file back when setValue() changed it (atomically: a failed write leaves the
    // old file). Returns false, with the reason in *error, when the file cannot be written.
    bool save(QString *error = nullptr);

private:
    struct Line {
        QByteArray bytes;  // the line as stored, without its line end
        QByteArray ending; // "\r\n", "\n", "\r" or "" (last line without one)
    };
    struct Found {
        int sectionLine = -1; // the section's header line, -1 when there is no such section
        int keyLine = -1;     // the key's line, -1 when the section lacks it
        int lastLine = -1;    // the section's last line that is not blank
    };

    Found find(const QString &section, const QString &key) const;
    QString decode(const QByteArray &bytes) const;
    QByteArray encode(const QString &text) const;
    QByteArray lineEnding() const;

    QString m_path;
    QList<Line> m_lines;
    bool m_utf8 = true;
    bool m_changed = false;
};

} // namespace platform
