// The error report dialog: its look, its countdown, and the report it mails to an SMTP server on
// loopback ("QLM.INI" in the current directory names the server).
#include "data/Dm_Config.h"
#include "data/LaunchContext.h"
#include "forms/Fr_ShowError.h"
#include "support/ScriptedDialogService.h"

#include "platform/mail/SmtpSink.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

const QString cr = QStringLiteral("\r");
const QString thai = QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว");
const QString upper = QStringLiteral("VIOLATION OF PRIMARY KEY CONSTRAINT 'PK_TARVOCONSIGNMENT'. "
                                     "CANNOT INSERT DUPLICATE KEY IN OBJECT 'DBO.TARVOCONSIGNMENT'.");
const QString errorText = thai + cr + upper + cr;

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

} // namespace

class TestShowError : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_oldDir;
    SmtpSink *m_sink = nullptr;
    TDMConfig *m_cfg = nullptr;

    void writeIni(quint16 port)
    {
        QFile ini("QLM.INI");
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[ERRORMAIL]\nHost=127.0.0.1\nPort=" + QByteArray::number(port) +
                  "\nSender=errors@maker.example\nRecipient=support@maker.example\n"
                  "UserId=reports@maker.example\n");
    }

    // Shows the dialog as the error handler does (created, shown modally, freed) and runs
    // whileShown once it is up. Returns whether the dialog was freed after it closed.
    bool runModal(const QString &text, const std::function<void(TFrShowError *)> &whileShown)
    {
        QPointer<TFrShowError> seen;
        QTimer::singleShot(0, this, [&] {
            seen = qobject_cast<TFrShowError *>(QApplication::activeModalWidget());
            if (!seen) {
                qWarning("no modal error dialog");
                return;
            }
            whileShown(seen);
        });
        TFrShowError::showError(text);
        return !seen;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_oldDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        m_sink = new SmtpSink;
        const QString error = m_sink->start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_cfg = new TDMConfig;
        DMConfig = m_cfg;
        LaunchContext &c = launchContext();
        c.UserCode = QStringLiteral(" ANNA ");
        c.CompanyDatabase = QStringLiteral("DEMO ");
        c.MenuCaption = QStringLiteral("  Stock Count ");
    }
    void init() { writeIni(m_sink->port()); }
    void cleanupTestCase()
    {
        delete m_cfg;
        delete m_sink;
        QDir::setCurrent(m_oldDir);
    }

    void look()
    {
        TFrShowError dlg;
        QCOMPARE(dlg.windowTitle(), QString("Windows Error Message"));
        QCOMPARE(dlg.size(), QSize(344, 101));
        QVERIFY(!(dlg.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint | Qt::WindowSystemMenuHint)));
        QCOMPARE(dlg.BOk->text(), QString("Send Error"));
        QCOMPARE(dlg.BCancel->text(), QString("Don't Send"));
        QCOMPARE(dlg.BOk->geometry(), QRect(94, 70, 75, 25));
        QCOMPARE(dlg.BCancel->geometry(), QRect(198, 70, 75, 25));
        for (QPushButton *b : {dlg.BOk, dlg.BCancel}) {
            QVERIFY(b->font().bold());
            QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
        }
        QCOMPARE(dlg.ErrorBox->geometry(), QRect(0, 0, 344, 65));
        QVERIFY(dlg.ErrorBox->isReadOnly());
        QCOMPARE(dlg.TimeCount->pos(), QPoint(32, 75));
        QVERIFY(dlg.TimeCount->font().bold());
        QCOMPARE(dlg.TimeCount->font().pixelSize(), 16);
        QCOMPARE(dlg.Timer1->interval(), 1000);

        dlg.ErrorText = errorText;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QImage image = dlg.grab().toImage();
        const QString png = qEnvironmentVariable("TARVO_BINARY_DIR", ".") + "/tests/Fr_ShowError.png";
        image.save(png);
        // Red around the buttons and behind the text; the text itself in the window colour.
        QVERIFY(isRed(image.pixel(10, 90)));
        QVERIFY(isRed(image.pixel(335, 80)));
        const QColor textColour = QApplication::palette().color(QPalette::Base);
        QCOMPARE(dlg.ErrorBox->palette().color(QPalette::Text), textColour);
        int red = 0;
        int text = 0;
        for (int y = 2; y < 63; ++y)
            for (int x = 2; x < 330; ++x) {
                const QRgb p = image.pixel(x, y);
                red += isRed(p);
                text += QColor(p) == textColour;
            }
        QVERIFY2(red > 10000, qPrintable(png));
        QVERIFY2(text > 200, qPrintable(png)); // two lines of text
    }

    void showing()
    {
        // A dialog that sent a report leaves the shared state behind; the next one starts afresh.
        writeIni(SmtpSink::closedPort());
        TFrShowError first;
        first.show();
        first.TimeCount->setText("7");
        QTest::mouseClick(first.BOk, Qt::LeftButton);
        QVERIFY(TFrShowError::sending());

        TFrShowError dlg;
        dlg.ErrorText = errorText;
        dlg.TimeCount->setText("7");
        dlg.show();
        QCOMPARE(dlg.pos(), QPoint(50, 100));
        QCOMPARE(dlg.ErrorBox->toPlainText(), thai + "\n" + upper + "\n");
        QCOMPARE(dlg.focusWidget(), dlg.BCancel);
        QCOMPARE(dlg.TimeCount->text(), QString());
        QCOMPARE(TFrShowError::counter(), 10);
        QVERIFY(!TFrShowError::sending());
        QVERIFY(dlg.Timer1->isActive());
        dlg.close();
        QVERIFY(!dlg.Timer1->isActive());
    }

    void countdownClosesWithoutSending()
    {
        const int before = m_sink->messageCount();
        bool openAfterEight = false;
        bool openAfterNine = true;
        const bool freed = runModal(errorText, [&](TFrShowError *dlg) {
            for (int tick = 1; tick <= 8; ++tick)
                dlg->Timer1Timer();
            openAfterEight = dlg->isVisible();
            dlg->Timer1Timer();
            openAfterNine = dlg->isVisible();
        });
        QVERIFY(openAfterEight);
        QVERIFY(!openAfterNine);
        QVERIFY(freed);
        QCOMPARE(m_sink->messageCount(), before);
    }

    // "Send Error" on the eighth second still sends, with the report's subject and three parts.
    void sendOnEighthTick()
    {
        const int before = m_sink->messageCount();
        bool closed = false;
        int counterAfterSend = 0;
        int counterAfterTick = -1;
        runModal(errorText, [&](TFrShowError *dlg) {
            for (int tick = 1; tick <= 8; ++tick)
                dlg->Timer1Timer();
            QTest::mouseClick(dlg->BOk, Qt::LeftButton);
            closed = !dlg->isVisible();
            counterAfterSend = TFrShowError::counter();
            dlg->Timer1Timer(); // ticks are ignored once sending has begun
            counterAfterTick = TFrShowError::counter();
        });
        QVERIFY(closed);
        QCOMPARE(counterAfterTick, counterAfterSend);
        QCOMPARE(m_sink->messageCount(), before + 1);
        const QJsonObject info = m_sink->info(before + 1);
        QCOMPARE(info["subject"].toString(), QString("Error DEMO Stock Count"));
        QCOMPARE(info["mail_from"].toString(), QString("errors@maker.example"));
        QCOMPARE(info["body_charset"].toString(), QString("utf-8"));
        QCOMPARE(info["body"].toString().split("\r\n"),
                 QStringList({"[User = ANNA] ", "Local IP = " + TDMConfig::GetLocalIP(), thai, upper, ""}));
    }

    void dontSend()
    {
        const int before = m_sink->messageCount();
        bool closed = false;
        const bool freed = runModal(errorText, [&](TFrShowError *dlg) {
            QTest::mouseClick(dlg->BCancel, Qt::LeftButton);
            closed = !dlg->isVisible();
        });
        QVERIFY(closed);
        QVERIFY(freed);
        QCOMPARE(m_sink->messageCount(), before);
    }

    void unreachableHostClosesSilently()
    {
        ScriptedDialogService dialogs;
        writeIni(SmtpSink::closedPort());
        bool closed = false;
        runModal(errorText, [&](TFrShowError *dlg) {
            QTest::mouseClick(dlg->BOk, Qt::LeftButton);
            closed = !dlg->isVisible();
        });
        QVERIFY(closed);
        QCOMPARE(dialogs.count(), 0);
        QVERIFY(!m_cfg->NMSMTP1->connected());
    }
};

QTEST_MAIN(TestShowError)
#include "tst_showerror.moc"
