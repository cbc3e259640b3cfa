#pragma once

#include "consignment/OfflineJournal.h"
#include "consignment/OfflineSettings.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <atomic>
#include <memory>

class CompanyLink;
class CompanyThread;
class LineStore;
class OfflineSender;
class OfflineStatusStrip;
class OfflineWorkstation;
class QWidget;

// The offline mode of a workstation (QLM.INI [OFFLINE] Enabled=yes), on the GUI thread: the
// workstation's files and link state (OfflineWorkstation, which the screen reads from), the
// sender of the journal's waiting lines on a thread of its own, and the refresh of the scan copy
// on another. At its start the lines a crash left under way
// are put back to wait (once, before the sender starts), the sender sends what waits and the
// scan copy is refreshed. After that the sender runs after each save and every minute while a
// line waits or the link is down (then its question to the server is the probe); the copy is
// refreshed every 15 minutes while the link is up. Its end waits for a send under way, closes
// the threads' connections on their threads and ends the threads.
class OfflineMode : public QObject
{
    Q_OBJECT
public:
    struct Setup {
        OfflineSettings settings;  // the files
        QStringList companyParams; // the company database's connection parameters
        QString iniPath;           // the settings file whose [DATABASE] section completes them
    };
    explicit OfflineMode(const Setup &setup, QObject *parent = nullptr);
    ~OfflineMode() override;

    static constexpr int sendIntervalMs = 60 * 1000;
    static constexpr int refreshIntervalMs = 15 * 60 * 1000;

    OfflineWorkstation &workstation() { return *m_station; }
    CompanyLink &link();
    OfflineJournal &journal(); // this thread's object on the journal file
    const OfflineSettings &settings() const { return m_setup.settings; }
    QDateTime copyRefreshedAt() const { return m_copyRefreshedAt; }

    // The store the screen saves through (JournalStore), and the strip that shows the state.
    std::unique_ptr<LineStore> makeStore();
    OfflineStatusStrip *makeStatusStrip(QWidget *parent);

    // A round of the sender as soon as it is free (one waits at most: a round reads the waiting
    // lines when it starts, so one more asked for meanwhile adds nothing, and rounds piling up
    // behind a link that takes its login time-out to fail would hold up the program's end); a
    // refresh of the scan copy.
    void sendSoon();
    void refreshCopySoon();
    // Waits for the sender's rounds asked for so far to end.
    void waitForSender();

Q_SIGNALS:
    void lineSettled(const JournalEntry &entry);
    void journalChanged();
    void copyRefreshed(const QDateTime &at);

private:
    void minuteTick();

    Setup m_setup;
    std::unique_ptr<OfflineWorkstation> m_station;
    QDateTime m_copyRefreshedAt;
    std::unique_ptr<CompanyThread> m_senderThread;
    std::unique_ptr<CompanyThread> m_refreshThread;
    std::unique_ptr<OfflineSender> m_sender; // made, used and freed on the sender's thread
    std::atomic<bool> m_roundWaiting{false}; // a round is posted to the sender and not begun
    std::atomic<bool> m_probe{false};        // that round asks the server even with nothing waiting
    QTimer m_sendTimer;
    QTimer m_refreshTimer;
};
