#pragma once

#include "consignment/OfflineJournal.h"

#include <QDateTime>
#include <QLabel>
#include <QTimer>

// The offline mode's line on the consignment screen: whether the company database answers, how
// many lines wait to be sent, how many it refused (parked for a person), and how old the scan copy
// is. The age is written again every minute.
class OfflineStatusStrip : public QLabel
{
    Q_OBJECT
public:
    explicit OfflineStatusStrip(QWidget *parent = nullptr);

    void setOnline(bool online);
    void setCounts(const QMap<JournalState, int> &counts);
    void setCopyRefreshedAt(const QDateTime &at);

    // The strip's text for a state, at the time now.
    static QString describe(bool online, int waiting, int refused, const QDateTime &copyAt, const QDateTime &now);

private:
    void render();

    bool m_online = true;
    int m_waiting = 0; // new, under way, or held behind a refused line
    int m_refused = 0;
    QDateTime m_copyAt;
    QTimer m_minute;
};
