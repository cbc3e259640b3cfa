// The named-parameter binder on arbitrary SQL text: no crash; the statement gets one "?" per
// marker name; the text outside the markers is kept exactly; every name is a well-formed name;
// the distinct upper-cased names are what markerNames reports; and the values bound follow the
// names, one per occurrence, matched without regard to case.

#include "FuzzCheck.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/NamedParams.h"

#include <QSet>

#include <cstring>

using namespace platform;

namespace {

// A character the binder treats like '?' (neither quote, bracket, comment, colon nor name
// character) that does not occur in sql: private-use characters are neither letters nor digits.
QChar absentCharacter(const QString &sql)
{
    QSet<char16_t> present;
    for (QChar c : sql)
        present.insert(c.unicode());
    char16_t candidate = 0xE000;
    while (present.contains(candidate))
        ++candidate;
    return QChar(candidate);
}

QString toggledAsciiCase(QString name)
{
    for (QChar &c : name) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
        else if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return name;
}

void checkStatement(const QString &sql)
{
    const PositionalStatement statement = toPositional(sql);
    const auto detail = [&] {
        return quoted(sql) + QStringLiteral(" -> ") + quoted(statement.text) + QStringLiteral(" names ") +
            statement.names.join(u',');
    };

    // Put the '?' already in the text aside, so that every '?' left stands for a marker.
    const QChar stand = absentCharacter(sql);
    QString withoutQuestionMarks = sql;
    withoutQuestionMarks.replace(u'?', stand);
    const PositionalStatement plain = toPositional(withoutQuestionMarks);
    FUZZ_CHECK(plain.names == statement.names, detail());
    FUZZ_CHECK(QString(plain.text).replace(stand, u'?') == statement.text, detail());
    FUZZ_CHECK(plain.text.count(u'?') == plain.names.size(), detail());

    // Writing each marker back in place of its '?' gives the original text: nothing else changed.
    QString rebuilt;
    qsizetype next = 0;
    for (QChar c : plain.text) {
        if (c == u'?') {
            const QString &name = plain.names.at(next++);
            FUZZ_CHECK(!name.isEmpty() && (name.at(0).isLetter() || name.at(0) == u'_'), detail());
            for (QChar n : name)
                FUZZ_CHECK(n.isLetterOrNumber() || n == u'_', detail());
            rebuilt += u':' + name;
        } else {
            rebuilt += c;
        }
    }
    FUZZ_CHECK(rebuilt == withoutQuestionMarks, detail() + QStringLiteral(" rebuilt ") + quoted(rebuilt));

    // A marker takes the whole name: no name character follows its '?'.
    for (qsizetype i = 0; i + 1 < plain.text.size(); ++i) {
        if (plain.text.at(i) == u'?') {
            const QChar after = plain.text.at(i + 1);
            FUZZ_CHECK(!(after.isLetterOrNumber() || after == u'_'), detail());
        }
    }

    QStringList distinct;
    for (const QString &name : statement.names)
        if (!distinct.contains(name.toUpper()))
            distinct << name.toUpper();
    FUZZ_CHECK(markerNames(sql) == distinct, detail());

    // Values: each name set once, its ASCII letters in the other case; every occurrence gets the
    // value of its name. (Names compare as ParamList compares them, which is not the same as
    // comparing upper-cased names for letters such as U+00DF or U+0149.)
    QStringList setNames;
    ParamList params;
    for (const QString &name : statement.names) {
        if (params.contains(name))
            continue;
        params.set(toggledAsciiCase(name), int(setNames.size()));
        setNames << name;
    }
    const QVariantList values = positionalValues(statement.names, params, SqlDialect::Sqlite);
    FUZZ_CHECK(values.size() == statement.names.size(), detail());
    for (int i = 0; i < values.size(); ++i) {
        const QString &name = statement.names.at(i);
        int expected = 0;
        while (setNames.at(expected).compare(name, Qt::CaseInsensitive) != 0)
            ++expected;
        FUZZ_CHECK(values.at(i).toInt() == expected, detail());
    }
    if (!setNames.isEmpty()) {
        ParamList missingOne;
        for (int i = 1; i < setNames.size(); ++i)
            missingOne.set(setNames.at(i), i);
        bool refused = false;
        try {
            positionalValues(statement.names, missingOne, SqlDialect::SqlServer);
        } catch (const EDatabaseError &) {
            refused = true;
        }
        FUZZ_CHECK(refused, detail());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkStatement(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size / 2 * 2);
    checkStatement(utf16);
    return 0;
}
