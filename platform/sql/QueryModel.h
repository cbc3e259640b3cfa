#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <functional>

namespace platform {

class Query;

// A read-only table model over an open query's rows. It reads the rows where the query keeps
// them (no copy), so a grid over tens of thousands of rows costs only what it shows.
// Column titles default to the field names; a column may get its own display text.
class QueryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using Formatter = std::function<QString(const QVariant &)>;

    explicit QueryModel(Query *query, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setTitle(const QString &field, const QString &title);
    void setFormatter(const QString &field, const Formatter &formatter);
    void setAlignment(const QString &field, Qt::Alignment alignment);

    // Called by the query when it opens and closes.
    void reload();
    void clearRows();

    // The display text of a value as a grid shows it by default.
    static QString displayText(const QVariant &value);

private:
    Query *m_query;
    int m_rows = 0;
    int m_columns = 0;
    QHash<QString, QString> m_titles;       // key: upper-cased field name
    QHash<QString, Formatter> m_formatters; // key: upper-cased field name
    QHash<QString, Qt::Alignment> m_alignments;
};

} // namespace platform
