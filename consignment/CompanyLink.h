#pragma once

#include <QDateTime>
#include <QObject>

// What this workstation knows of its link to the company database, for the offline mode: the
// last statement sent on it, by the screen or by the sender, got an answer (online; a refusal
// is an answer too) or failed on the link (offline: refused connection, broken link, no answer
// in time). The screen scans from the local copy while it is offline and the status strip shows
// it. It lives on the GUI thread; a worker thread reports through queued calls of its slots.
class CompanyLink : public QObject
{
    Q_OBJECT
public:
    explicit CompanyLink(QObject *parent = nullptr);

    bool online() const { return m_online; }
    QDateTime changedAt() const { return m_changedAt; } // UTC; null while it never changed

public Q_SLOTS:
    void reportAnswered();
    void reportLost();

Q_SIGNALS:
    void changed(bool online);

private:
    void set(bool online);

    bool m_online = true;
    QDateTime m_changedAt;
};
