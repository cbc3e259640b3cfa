// The error report mail of the configuration data module.

#include "data/Dm_Config.h"

#include "data/HostInfo.h"
#include "platform/mail/MailSettings.h"

#include <QtGlobal>

using namespace platform;

namespace {

// The mail is sent on the user-interface thread, which it blocks: whatever the settings say,
// a dead or silent host holds the program for at most the connect limit, and a host that stalls
// in mid-message for at most both limits together.
constexpr int longestConnectMs = 5000;
constexpr int longestTransferMs = 10000;

} // namespace

void TDMConfig::SendErrorMail(const QString &subject, const QString &body)
{
    try {
        const MailSettings settings = MailSettings::fromIniFile(QStringLiteral("QLM.INI"));
        if (!settings.isConfigured())
            return;
        settings.applyTo(*NMSMTP1);
        NMSMTP1->setConnectTimeoutMs(qMin(settings.connectTimeoutMs, longestConnectMs));
        NMSMTP1->setTimeoutMs(qMin(settings.timeoutMs, longestTransferMs));
        NMSMTP1->setClearParams(true);
        NMSMTP1->connect();
        if (!NMSMTP1->connected())
            return;
        MailMessage &message = NMSMTP1->message();
        message.sender = settings.sender;
        message.recipients = QStringList{settings.recipient};
        message.carbonCopies.clear();
        message.blindCopies.clear();
        // The body keeps its single carriage returns; the client sends each line break as CRLF
        // and the text as UTF-8, so Thai arrives intact.
        message.bodyLines = QStringList{body};
        message.attachments.clear();
        message.subject = subject;
        NMSMTP1->SendMail();
        NMSMTP1->disconnect();
    } catch (...) {
        // A report that cannot be mailed is dropped without a message; leave no session open.
        try {
            NMSMTP1->disconnect();
        } catch (...) {}
    }
}

QString TDMConfig::GetLocalIP()
{
    return HostInfo::localIp();
}
