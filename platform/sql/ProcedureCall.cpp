#include "platform/sql/ProcedureCall.h"

#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/SqliteServerObjects.h"

#include <QRegularExpression>

namespace platform {

namespace {

const SqliteServerObjects::Procedure &procedureNamed(const QString &name)
{
    QString bare = name;
    // "dbo.Name" and "[Name]" address the same procedure.
    bare.remove(u'[').remove(u']');
    if (bare.contains(u'.'))
        bare = bare.section(u'.', -1);
    const SqliteServerObjects::Procedure *p = SqliteServerObjects::findProcedure(bare);
    if (!p)
        throw EDatabaseError(QStringLiteral("Could not find stored procedure '%1'.").arg(name));
    return *p;
}

QList<QString> splitArguments(const QString &text)
{
    QList<QString> parts;
    QString current;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'') {
            quoted = !quoted;
            current += c;
        } else if (c == u',' && !quoted) {
            parts << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.trimmed().isEmpty() || !parts.isEmpty())
        parts << current.trimmed();
    return parts;
}

} // namespace

ProcedureCall ProcedureCall::parseExec(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*exec(?:ute)?\\s+([\\w.\\[\\]]+)\\s*(.*?)\\s*;?\\s*$"),
                                       QRegularExpression::CaseInsensitiveOption |
                                           QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        throw EDatabaseError(QStringLiteral("Incorrect syntax near '%1'.").arg(text.trimmed().left(30)));
    ProcedureCall call;
    call.name = m.captured(1);
    for (const QString &part : splitArguments(m.captured(2))) {
        Argument arg;
        if (part.startsWith(u':')) {
            arg.isMarker = true;
            arg.text = part.mid(1).trimmed();
        } else if (part.startsWith(u'\'') || part.startsWith(QStringLiteral("N'"), Qt::CaseInsensitive)) {
            QString body = part.mid(part.indexOf(u'\'') + 1);
            body.chop(1);
            arg.literal = body.replace(QStringLiteral("''"), QStringLiteral("'"));
        } else if (part.compare(QStringLiteral("NULL"), Qt::CaseInsensitive) == 0) {
            arg.literal = QVariant();
        } else {
            bool ok = false;
            const qint64 i = part.toLongLong(&ok);
            if (ok) {
                arg.literal = i;
            } else {
                const double d = part.toDouble(&ok);
                if (!ok)
                    throw EDatabaseError(QStringLiteral("Incorrect syntax near '%1'.").arg(part));
                arg.literal = d;
            }
        }
        call.arguments << arg;
    }
    return call;
}

QStringList ProcedureCall::inputNames() const
{
    QStringList names;
    for (const SqliteServerObjects::ProcedureParam &p : procedureNamed(name).params)
        if (!p.output)
            names << p.name;
    return names;
}

void ProcedureCall::run(Database &db, ParamList &params, ResultRows *rows) const
{
    const SqliteServerObjects::Procedure &procedure = procedureNamed(name);
    ResultRows answered;
    db.beginTransaction();
    try {
        if (procedure.rowsBody)
            procedure.rowsBody(db, params, answered);
        else
            procedure.body(db, params);
        db.commit();
        if (rows)
            *rows = std::move(answered);
    } catch (...) {
        db.rollback();
        throw;
    }
}

} // namespace platform
