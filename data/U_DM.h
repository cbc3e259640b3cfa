#pragma once

#include <QDateTime>
#include <QObject>
#include <functional>

namespace platform {
class Database;
class Exception;
class Query;
class StoredProc;
} // namespace platform

// The company data module: the connection to the company database (alias "DMDATA"), the
// settings read when it connects, and the shared queries, logs and texts the screens use.
class TDM : public QObject
{
    Q_OBJECT
public:
    explicit TDM(QObject *parent = nullptr);
    ~TDM() override;

    platform::Database *DMdata;
    platform::Query *QConfig;
    platform::Query *QchkPeriod;
    platform::Query *QProgramSetup;
    platform::Query *QUnitFraction;
    platform::StoredProc *SpAddLog;
    platform::StoredProc *SpServerTime;

    bool IvRefSO = false;
    bool MrRefPO = false;
    bool EditPricePO = false;
    bool ShowProductPriceList = false;
    QString LastSearchName;
    static constexpr int ReportActionCode = 6;

    void DMdataBeforeConnect(platform::Database &db);
    void DMdataAfterConnect(platform::Database &db);

    void OpenSettings();
    void AddUserLog(int actionCode, int documentId, const QString &remark);
    QDateTime GetServerTime();

    // On-hand quantity as text in large and small units of a product unit.
    QString OnhandQuantityText(int unitId, double quantity);
    QString OnhandQuantityLSUnitText(int unitId, int part, double quantity);

    // Frees the start-up splash; called once, on the first connect only.
    std::function<void()> freeSplash;

    // Error handling (defined in ErrorHandler.cpp).
    // The application-wide handler of every exception that no screen handled: writes the raw
    // message to the error log, explains it in Thai and shows the error dialog.
    void ApplicationEvents1Exception(const QString &message);
    // The handler's second half, without the log: explains the message in Thai and shows the
    // error dialog. For a start-up that failed to reach the configuration database, where
    // writing the log would only wait for the same server a second time.
    void showExplainedError(const QString &message);
    // Shows the error dialog modally with the composed error text and frees it after it closes
    // (wired by the program to TFrShowError).
    std::function<void(const QString &errorText)> showErrorDialog;

private:
    bool m_splashFreed = false;
};

// The program's company data module, created at start-up.
extern TDM *DM;
