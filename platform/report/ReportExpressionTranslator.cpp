#include "platform/report/ReportExpressionTranslator.h"

#include "platform/report/ReportError.h"

#include <QSet>

namespace platform {

namespace {

struct Token {
    enum Kind { Identifier, Number, String, Punctuation } kind;
    QString text;
    qsizetype start = 0; // offset in the expression
    qsizetype end = 0;
};

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('$') || c.category() == QChar::Mark_NonSpacing;
}

bool isIdentifierPart(QChar c)
{
    return isIdentifierStart(c) || c.isDigit() || c.isMark();
}

QList<Token> tokenize(const QString &s)
{
    static const QStringList operators{
        QStringLiteral("==="), QStringLiteral("!=="), QStringLiteral(">>>"), QStringLiteral("=="), QStringLiteral("!="),
        QStringLiteral("<="),  QStringLiteral(">="),  QStringLiteral("<>"),  QStringLiteral("&&"), QStringLiteral("||"),
        QStringLiteral("??"),  QStringLiteral("=>"),  QStringLiteral("++"),  QStringLiteral("--"), QStringLiteral("<<"),
        QStringLiteral(">>"),  QStringLiteral("?."),  QStringLiteral("+="),  QStringLiteral("-="), QStringLiteral("*="),
        QStringLiteral("/="),
    };
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        if (isIdentifierStart(c)) {
            while (i < n && isIdentifierPart(s.at(i)))
                ++i;
            tokens.append({Token::Identifier, s.mid(start, i - start), start, i});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s.at(i + 1).isDigit())) {
            while (i < n &&
                   (s.at(i).isLetterOrNumber() || s.at(i) == QLatin1Char('.') ||
                    ((s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-')) &&
                     (s.at(i - 1) == QLatin1Char('e') || s.at(i - 1) == QLatin1Char('E')))))
                ++i;
            tokens.append({Token::Number, s.mid(start, i - start), start, i});
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            ++i;
            while (i < n && s.at(i) != c) {
                if (s.at(i) == QLatin1Char('\\'))
                    ++i;
                ++i;
            }
            if (i >= n)
                throw ReportError(QStringLiteral("a text literal is not closed"));
            ++i;
            tokens.append({Token::String, s.mid(start, i - start), start, i});
        } else if (c == QLatin1Char('`')) {
            throw ReportError(QStringLiteral("template literals are not allowed"));
        } else {
            QString op = c;
            for (const QString &candidate : operators) {
                if (s.mid(i, candidate.size()) == candidate) {
                    op = candidate;
                    break;
                }
            }
            i += op.size();
            tokens.append({Token::Punctuation, op, start, i});
        }
    }
    return tokens;
}

const QSet<QString> &keptNames()
{
    // JavaScript words and globals that keep their meaning in a report expression.
    static const QSet<QString> names{
        QStringLiteral("true"),     QStringLiteral("false"),    QStringLiteral("null"),       QStringLiteral("undefined"),
        QStringLiteral("NaN"),      QStringLiteral("Infinity"), QStringLiteral("typeof"),     QStringLiteral("instanceof"),
        QStringLiteral("new"),      QStringLiteral("in"),       QStringLiteral("void"),       QStringLiteral("Math"),
        QStringLiteral("Number"),   QStringLiteral("String"),   QStringLiteral("Boolean"),    QStringLiteral("Date"),
        QStringLiteral("JSON"),     QStringLiteral("parseInt"), QStringLiteral("parseFloat"), QStringLiteral("isNaN"),
        QStringLiteral("isFinite"),
    };
    return names;
}

const QSet<QString> &forbiddenNames()
{
    static const QSet<QString> names{
        QStringLiteral("function"), QStringLiteral("var"),   QStringLiteral("let"),    QStringLiteral("const"),
        QStringLiteral("return"),   QStringLiteral("this"),  QStringLiteral("class"),  QStringLiteral("delete"),
        QStringLiteral("yield"),    QStringLiteral("await"), QStringLiteral("import"), QStringLiteral("eval"),
        QStringLiteral("while"),    QStringLiteral("for"),   QStringLiteral("if"),     QStringLiteral("throw"),
    };
    return names;
}

const QSet<QString> &aggregateNames()
{
    static const QSet<QString> names{QStringLiteral("SUM"), QStringLiteral("COUNT"), QStringLiteral("AVG"), QStringLiteral("MIN"),
                                     QStringLiteral("MAX")};
    return names;
}

const QSet<QString> &builtInNames()
{
    static const QSet<QString> names{
        QStringLiteral("FORMATFLOAT"), QStringLiteral("FORMATDATETIME"), QStringLiteral("STR"),    QStringLiteral("UPPERCASE"),
        QStringLiteral("LOWERCASE"),   QStringLiteral("TRIM"),           QStringLiteral("LENGTH"), QStringLiteral("ROUND"),
    };
    return names;
}

QString quoted(const QString &text)
{
    QString result = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            result.append(QLatin1Char('\\'));
        result.append(c);
    }
    result.append(QLatin1Char('"'));
    return result;
}

class Translation
{
public:
    Translation(const QString &source, const QStringList &datasets, const ReportExpressionTranslator::Hooks &hooks)
        : m_source(source)
        , m_tokens(tokenize(source))
        , m_datasets(datasets)
        , m_hooks(hooks)
    {}

    QString run()
    {
        if (m_tokens.isEmpty())
            throw ReportError(QStringLiteral("the expression is empty"));
        return range(0, m_tokens.size());
    }

private:
    // Index of the bracket that closes the one at `open`.
    qsizetype closing(qsizetype open) const
    {
        int depth = 0;
        for (qsizetype i = open; i < m_tokens.size(); ++i) {
            const QString &t = m_tokens.at(i).text;
            if (m_tokens.at(i).kind != Token::Punctuation)
                continue;
            if (t == QLatin1String("(") || t == QLatin1String("[") || t == QLatin1String("{"))
                ++depth;
            else if (t == QLatin1String(")") || t == QLatin1String("]") || t == QLatin1String("}"))
                --depth;
            if (depth == 0)
                return i;
        }
        throw ReportError(QStringLiteral("a bracket is not closed"));
    }

    // Argument texts of the call whose parentheses are at `open` and `close`.
    QStringList arguments(qsizetype open, qsizetype close) const
    {
        QStringList result;
        if (close == open + 1)
            return result;
        qsizetype argumentStart = open + 1;
        int depth = 0;
        for (qsizetype i = open + 1; i <= close; ++i) {
            const Token &t = m_tokens.at(i);
            if (t.kind == Token::Punctuation) {
                if (t.text == QLatin1String("(") || t.text == QLatin1String("[") || t.text == QLatin1String("{"))
                    ++depth;
                else if (i < close &&
                         (t.text == QLatin1String(")") || t.text == QLatin1String("]") || t.text == QLatin1String("}")))
                    --depth;
            }
            if ((depth == 0 && t.text == QLatin1String(",") && t.kind == Token::Punctuation) || i == close) {
                if (i == argumentStart)
                    throw ReportError(QStringLiteral("an argument is missing"));
                const qsizetype from = m_tokens.at(argumentStart).start;
                const qsizetype to = m_tokens.at(i - 1).end;
                result.append(m_source.mid(from, to - from).trimmed());
                argumentStart = i + 1;
            }
        }
        return result;
    }

    QString translateArgument(const QString &text) const { return Translation(text, m_datasets, m_hooks).run(); }

    QString call(const Token &name, qsizetype open, qsizetype close)
    {
        const QString upper = name.text.toUpper();
        const QStringList args = arguments(open, close);
        auto expectCount = [&](qsizetype least, qsizetype most) {
            if (args.size() < least || args.size() > most) {
                throw ReportError(
                    QStringLiteral("%1 takes %2 argument(s), not %3")
                        .arg(name.text)
                        .arg(least == most ? QString::number(least) : QStringLiteral("%1 to %2").arg(least).arg(most))
                        .arg(args.size()));
            }
        };
        if (aggregateNames().contains(upper)) {
            if (!m_hooks.aggregate)
                throw ReportError(QStringLiteral("%1 cannot be used here").arg(name.text));
            expectCount(upper == QLatin1String("COUNT") ? 0 : 1, 1);
            return QStringLiteral("__ragg(%1)").arg(m_hooks.aggregate(upper, args.value(0)));
        }
        if (upper == QLatin1String("IIF")) {
            expectCount(3, 3);
            return QStringLiteral("((%1) ? (%2) : (%3))")
                .arg(translateArgument(args.at(0)), translateArgument(args.at(1)), translateArgument(args.at(2)));
        }
        if (builtInNames().contains(upper)) {
            QStringList translated;
            for (const QString &arg : args)
                translated.append(translateArgument(arg));
            return QStringLiteral("__rfn(%1, [%2])").arg(quoted(upper), translated.join(QStringLiteral(", ")));
        }
        if (args.size() > 3)
            throw ReportError(QStringLiteral("function %1 takes at most three arguments").arg(name.text));
        return QStringLiteral("__rh(%1)").arg(m_hooks.hostCall(name.text, args));
    }

    QString range(qsizetype from, qsizetype to)
    {
        QString out;
        for (qsizetype i = from; i < to; ++i) {
            const Token &t = m_tokens.at(i);
            if (i > from)
                out.append(m_source.mid(m_tokens.at(i - 1).end, t.start - m_tokens.at(i - 1).end));
            const bool afterDot = i > 0 && m_tokens.at(i - 1).kind == Token::Punctuation &&
                (m_tokens.at(i - 1).text == QLatin1String(".") || m_tokens.at(i - 1).text == QLatin1String("?."));
            const bool beforeOpen =
                i + 1 < to && m_tokens.at(i + 1).text == QLatin1String("(") && m_tokens.at(i + 1).kind == Token::Punctuation;
            if (t.kind == Token::Punctuation) {
                if (t.text == QLatin1String("="))
                    out.append(QStringLiteral("=="));
                else if (t.text == QLatin1String("<>"))
                    out.append(QStringLiteral("!="));
                else if (t.text == QLatin1String("{") || t.text == QLatin1String(";"))
                    throw ReportError(QStringLiteral("\"%1\" is not allowed in an expression").arg(t.text));
                else
                    out.append(t.text);
                continue;
            }
            if (t.kind != Token::Identifier || afterDot) {
                out.append(t.text);
                continue;
            }
            if (forbiddenNames().contains(t.text))
                throw ReportError(QStringLiteral("\"%1\" is not allowed in an expression").arg(t.text));
            const bool afterNew = i > 0 && m_tokens.at(i - 1).text == QLatin1String("new");
            if (keptNames().contains(t.text) || afterNew) {
                out.append(t.text);
                continue;
            }
            if (beforeOpen) {
                const qsizetype close = closing(i + 1);
                if (close >= to)
                    throw ReportError(QStringLiteral("a bracket is not closed"));
                out.append(call(t, i + 1, close));
                i = close;
                continue;
            }
            const bool dotted =
                i + 2 < to && m_tokens.at(i + 1).text == QLatin1String(".") && m_tokens.at(i + 2).kind == Token::Identifier;
            if (dotted) {
                const QString dataset = datasetNamed(t.text);
                if (!dataset.isEmpty()) {
                    out.append(QStringLiteral("__rf(%1, %2)").arg(quoted(dataset), quoted(m_tokens.at(i + 2).text)));
                    i += 2;
                    continue;
                }
            }
            out.append(QStringLiteral("__rv(%1)").arg(quoted(t.text)));
        }
        return out;
    }

    QString datasetNamed(const QString &name) const
    {
        for (const QString &dataset : m_datasets) {
            if (dataset.compare(name, Qt::CaseInsensitive) == 0)
                return dataset;
        }
        return QString();
    }

    const QString &m_source;
    QList<Token> m_tokens;
    const QStringList &m_datasets;
    const ReportExpressionTranslator::Hooks &m_hooks;
};

} // namespace

ReportExpressionTranslator::ReportExpressionTranslator(QStringList datasetNames)
    : m_datasetNames(std::move(datasetNames))
{}

QString ReportExpressionTranslator::translate(const QString &expression, const Hooks &hooks) const
{
    return Translation(expression, m_datasetNames, hooks).run();
}

bool ReportExpressionTranslator::isBuiltInFunction(const QString &name)
{
    const QString upper = name.toUpper();
    return aggregateNames().contains(upper) || builtInNames().contains(upper) || upper == QLatin1String("IIF");
}

} // namespace platform
