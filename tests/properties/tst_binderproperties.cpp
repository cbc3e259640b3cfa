// Properties of the named-parameter binder over pseudo-random statements built from fragments:
// quoted literals, quoted identifiers, bracketed names and comments that contain ":Name", "::"
// casts, literal "?" and real markers. The binder must find exactly the real markers, replace
// each by "?" and leave every other character as it was.

#include "platform/core/Exceptions.h"
#include "platform/sql/NamedParams.h"

#include <QRandomGenerator>
#include <QTest>

using namespace platform;

namespace {

// A statement under construction, with what the binder should make of it.
struct Expected {
    QString sql;
    QString positional;
    QStringList names;

    void text(const QString &part)
    {
        sql += part;
        positional += part;
    }
    void marker(const QString &name)
    {
        sql += u':' + name;
        positional += u'?';
        names << name;
    }
};

class StatementGenerator
{
public:
    explicit StatementGenerator(quint32 seed)
        : m_random(seed)
    {}

    Expected next()
    {
        Expected e;
        const int fragments = int(m_random.bounded(1, 14));
        for (int i = 0; i < fragments; ++i)
            addFragment(e);
        // Sometimes the statement ends inside an unclosed literal or comment: no marker there.
        if (m_random.bounded(6) == 0) {
            static const QStringList openers = {QStringLiteral("'"), QStringLiteral("\""), QStringLiteral("["),
                                                QStringLiteral("--"), QStringLiteral("/*")};
            e.text(pick(openers) + QStringLiteral(" :") + name() + QStringLiteral(" and :") + name());
        }
        return e;
    }

private:
    QString pick(const QStringList &list) { return list.at(int(m_random.bounded(int(list.size())))); }

    QString name()
    {
        static const QStringList names = {QStringLiteral("Code"), QStringLiteral("code"),  QStringLiteral("DocDate"),
                                          QStringLiteral("_x"),   QStringLiteral("A1_b2"), QStringLiteral("GetUnit"),
                                          QStringLiteral("ราคา"), QStringLiteral("BEGIN"), QStringLiteral("p"),
                                          QStringLiteral("Name"), QStringLiteral("x_"),    QStringLiteral("CusCode2")};
        return pick(names);
    }

    // Text inside a quoted or commented piece: ":Name" markers, the other piece openers, and
    // newlines where the piece allows them.
    QString inner(const QString &forbidden)
    {
        static const QStringList parts = {
            QStringLiteral(":Name"), QStringLiteral(" "),  QStringLiteral(":"),  QStringLiteral("--"), QStringLiteral("/*"),
            QStringLiteral("*/"),    QStringLiteral("'"),  QStringLiteral("\""), QStringLiteral("["),  QStringLiteral("]"),
            QStringLiteral("\n"),    QStringLiteral("\r"), QStringLiteral("::"), QStringLiteral("?"),  QStringLiteral("สินค้า"),
            QStringLiteral("''"),    QStringLiteral("*"),  QStringLiteral("/")};
        QString text;
        const int count = int(m_random.bounded(0, 6));
        for (int i = 0; i < count; ++i) {
            QString part = pick(parts);
            if (part == QStringLiteral(":Name"))
                part = u':' + name();
            // A doubled quote inside a literal stays part of it; other closers are left out.
            const bool doubledQuote = part == QStringLiteral("''") && forbidden == QStringLiteral("'");
            if (!doubledQuote && (forbidden.contains(part.front()) || forbidden.contains(part.back())))
                continue;
            text += part;
        }
        return text;
    }

    void addFragment(Expected &e)
    {
        static const QStringList plain = {QStringLiteral("Select A, B From T Where X = "),
                                          QStringLiteral(" And "),
                                          QStringLiteral("("),
                                          QStringLiteral(") "),
                                          QStringLiteral(", "),
                                          QStringLiteral(" = "),
                                          QStringLiteral("\n"),
                                          QStringLiteral("Exec P "),
                                          QStringLiteral(" ? "),
                                          QStringLiteral("ราคา > "),
                                          QStringLiteral("1"),
                                          QStringLiteral(" * "),
                                          QStringLiteral("\r\n")};
        static const QStringList afterMarker = {QStringLiteral(" "),  QStringLiteral(","), QStringLiteral(")"),
                                                QStringLiteral("\n"), QStringLiteral("+"), QStringLiteral("=")};
        switch (m_random.bounded(9)) {
        case 0:
        case 1:
            e.marker(name());
            e.text(pick(afterMarker));
            break;
        case 2:
            e.text(u'\'' + inner(QStringLiteral("'")) + u'\'');
            break;
        case 3:
            e.text(u'"' + inner(QStringLiteral("\"")) + u'"');
            break;
        case 4:
            e.text(u'[' + inner(QStringLiteral("]")) + u']');
            break;
        case 5:
            e.text(QStringLiteral("--") + inner(QStringLiteral("\n\r")) +
                   (m_random.bounded(2) ? QStringLiteral("\n") : QStringLiteral("\r\n")));
            break;
        case 6: // no "*" inside, so nothing closes the comment early
            e.text(QStringLiteral("/*") + inner(QStringLiteral("*")) + QStringLiteral(" */"));
            break;
        case 7:
            e.text(QStringLiteral("X::") + name() + u' ');
            break;
        default:
            e.text(pick(plain));
            break;
        }
    }

    QRandomGenerator m_random;
};

QString shown(const Expected &e)
{
    return QStringLiteral("statement: ") + e.sql;
}

} // namespace

class TestBinderProperties : public QObject
{
    Q_OBJECT

private slots:
    // Only the real markers bind; every other character, "?" included, stays where it was.
    void bindsExactlyTheRealMarkers()
    {
        StatementGenerator generator(0x5EED0101u);
        int markers = 0;
        for (int i = 0; i < 5000; ++i) {
            const Expected e = generator.next();
            const PositionalStatement statement = toPositional(e.sql);
            QVERIFY2(statement.names == e.names,
                     qPrintable(shown(e) + QStringLiteral("\nnames: ") + statement.names.join(u',') +
                                QStringLiteral("\nexpected: ") + e.names.join(u',')));
            QVERIFY2(statement.text == e.positional, qPrintable(shown(e) + QStringLiteral("\ngot: ") + statement.text));
            markers += int(e.names.size());
        }
        QVERIFY(markers > 5000); // the sample really exercises binding
    }

    // The distinct names, upper-cased, in order of first occurrence; one value per occurrence,
    // matched without regard to case; a name without a value is refused.
    void namesAndValuesFollowTheMarkers()
    {
        StatementGenerator generator(0x5EED0102u);
        for (int i = 0; i < 2000; ++i) {
            const Expected e = generator.next();
            QStringList distinct;
            for (const QString &name : e.names) {
                if (!distinct.contains(name.toUpper()))
                    distinct << name.toUpper();
            }
            QCOMPARE(markerNames(e.sql), distinct);

            ParamList params;
            for (int k = 0; k < distinct.size(); ++k)
                params.set(distinct.at(k).toLower(), k * 10);
            const QVariantList values = positionalValues(toPositional(e.sql).names, params, SqlDialect::SqlServer);
            QCOMPARE(values.size(), e.names.size());
            for (int k = 0; k < values.size(); ++k)
                QCOMPARE(values.at(k).toInt(), int(distinct.indexOf(e.names.at(k).toUpper())) * 10);

            if (!distinct.isEmpty()) {
                ParamList partial;
                for (int k = 0; k + 1 < distinct.size(); ++k)
                    partial.set(distinct.at(k), k);
                QVERIFY_THROWS_EXCEPTION(EDatabaseError, positionalValues(e.names, partial, SqlDialect::Sqlite));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestBinderProperties)
#include "tst_binderproperties.moc"
