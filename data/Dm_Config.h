#pragma once

#include "data/LaunchContext.h"
#include "platform/mail/SmtpClient.h"

#include <QObject>
#include <functional>
#include <memory>

namespace platform {
class Database;
class Query;
class StoredProc;
} // namespace platform

// The configuration data module: the connection to the shared configuration database
// QLM_CONFIG, the launch context, the rights check, the company lookup and the error log.
class TDMConfig : public QObject
{
    Q_OBJECT
public:
    explicit TDMConfig(QObject *parent = nullptr);
    ~TDMConfig() override;

    platform::Database *DmCfg;
    platform::Query *QCompanyConfig;
    platform::Query *QCompany;
    platform::Query *QSoftware;
    platform::Query *QUser;
    platform::StoredProc *SpMenuCaption;
    platform::StoredProc *SpErrorLog;

    LaunchContext &context() { return launchContext(); }

    // The first line of "Server.Dat" in the current directory, unchanged; "" when the file
    // cannot be opened. A read error after a successful open raises EInOutError.
    static QString ReadServerName();

    void DmCfgBeforeConnect(platform::Database &db);
    void DmCfgAfterConnect(platform::Database &db);

    // Fills MenuId, UserId, MenuCaption, UserCode, AccessRight and ThaiLanguage.
    void CheckRight(int menuId, int userId);

    // Looks the company database up by its upper-cased name. An unregistered name shows
    // "Not Found Database : " and the name, then ends the program with exit code 1 (ProgramEnd):
    // it could not start.
    void GetCompanyConfig(const QString &name);

    // Writes one error-log row for the raw message, with the computer and log-on names.
    void WriteErrorLog(const QString &message);

    // How the module shows a plain message (wired by the program to the dialog service).
    std::function<void(const QString &)> showMessage;

    // Error mail (defined in ErrorMail.cpp).
    // The mail client of the error reports.
    const std::unique_ptr<platform::SmtpClient> NMSMTP1 = std::make_unique<platform::SmtpClient>();
    // Mails one error report to the support desk named in section ERRORMAIL of "QLM.INI" in the
    // current directory; with no host there, nothing is sent. Never raises: a failure of any
    // kind is dropped without a message.
    void SendErrorMail(const QString &subject, const QString &body);
    // The workstation's address in dotted form (the last IPv4 address of the host name), or "".
    static QString GetLocalIP();

private:
    void runMenuVersionScript();
};

// The program's configuration data module, created at start-up.
extern TDMConfig *DMConfig;
