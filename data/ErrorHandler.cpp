#include "data/ErrorHandler.h"

#include "data/Dm_Config.h"
#include "data/SaveRequestAnswer.h"
#include "data/U_DM.h"
#include "platform/core/Exceptions.h"
#include "platform/sql/ServerErrors.h"

#include <QtGlobal>

using namespace platform;

namespace ErrorHandler {

const QList<TranslationRow> &translationTable()
{
    static const QString serverUnreachable = QStringLiteral("ระบบเครือข่าย หรือ คอมพิวเตอร์แม่ข่ายมีปัญหา ติดต่อเครื่องแม่ข่ายไม่ได้");
    static const QString serverTimedOut = QStringLiteral("เครื่องแม่ข่ายตัดการติดต่อ เพราะเครื่องนี้อาจเรียกข้อมูลปริมาณมากเกินไป");
    static const QList<TranslationRow> rows = {
        {QStringLiteral("is not a valid date"), QStringLiteral("ป้อนวันที่ไม่ถูกต้อง")},
        {QStringLiteral("Cannot insert the value NULL into column 'Transportation'"), QStringLiteral("ไม่ได้ป้อนข้อมูลการขนส่ง")},
        {QStringLiteral("Cannot insert the value NULL into column 'Price'"), QStringLiteral("กำหนดราคาไม่ครบถ้วน")},
        {QStringLiteral("Cannot insert the value NULL into column 'Warehouse'"), QStringLiteral("ไม่ได้ป้อนข้อมูลคลัง")},
        {QStringLiteral("Cannot insert the value NULL into column 'Customer'"), QStringLiteral("ไม่ได้ป้อนข้อมูลลูกค้า")},
        {QStringLiteral("Cannot insert the value NULL into column 'Vendor'"), QStringLiteral("ไม่ได้ป้อนข้อมูลเจ้าหนี้")},
        {QStringLiteral("Cannot insert the value NULL into column 'Fraction'"),
         QStringLiteral("ไม่ได้ป้อนข้อมูลหน่วย หรือ ข้อมูลหน่วยผิดพลาด")},
        {QStringLiteral("Cannot insert the value NULL into column 'Salesman'"), QStringLiteral("ไม่ได้ป้อนข้อมูลพนักงานขาย")},
        {QStringLiteral("Possible network error"), serverUnreachable},
        {QStringLiteral("DELETE statement conflicted with COLUMN REFERENCE"),
         QStringLiteral("ข้อมูลที่ลบถูกอ้างโดยข้อมูลอื่น ไม่สามารถลบข้อมูลนี้ได้")},
        {QStringLiteral("Printer selected is not valid"), QStringLiteral("ยังไม่ได้กำหนดเครื่องพิมพ์ หรือ เครื่องพิมพ์มีปัญหา")},
        {QStringLiteral("Insufficient memory"), QStringLiteral("Memory หน่วยความจำของเครื่องไม่เพียงพอ")},
        {QStringLiteral("SQL Server connection timed out"), serverTimedOut},
        {QStringLiteral("Cannot insert duplicate"), QStringLiteral("ข้อมูลที่เพิ่มซ้ำกับข้อมูลที่มีอยู่แล้ว")},
        // How today's engines and drivers word a lock, a time-out and a lost connection: the
        // embedded engine, FreeTDS and Microsoft's ODBC driver. A time-out reads as row 13, a
        // connection that cannot be made or is lost as row 9. The first row that matches
        // counts: a login that times out says "Timeout expired" and "Unable to connect", so the
        // connection rows come before the bare "Timeout expired" that ends every time-out.
        {QStringLiteral("database is locked"), QStringLiteral("ข้อมูลกำลังถูกใช้งานโดยเครื่องอื่น รอสักครู่แล้วลองใหม่อีกครั้ง")},
        {QStringLiteral("Adaptive Server connection timed out"), serverTimedOut},
        {QStringLiteral("Query timeout expired"), serverTimedOut},
        {QStringLiteral("Login timeout expired"), serverUnreachable},
        {QStringLiteral("Connection timeout expired"), serverUnreachable},
        {QStringLiteral("Unable to connect"), serverUnreachable},
        {QStringLiteral("Communication link failure"), serverUnreachable},
        {QStringLiteral("Unexpected EOF from the server"), serverUnreachable},
        {QStringLiteral("Read from the server failed"), serverUnreachable},
        {QStringLiteral("Write to the server failed"), serverUnreachable},
        {QStringLiteral("Timeout expired"), serverTimedOut},
        // A text refused before it was sent (a character such as a Chinese one that the Thai
        // code page of the database cannot store).
        {QStringLiteral("cannot hold; nothing was sent"),
         QStringLiteral("ข้อความมีตัวอักษรที่ฐานข้อมูลเก็บไม่ได้ กรุณาแก้ไขข้อความแล้วบันทึกใหม่")},
    };
    return rows;
}

const QList<TranslationRow> &programReportRows()
{
    static const QList<TranslationRow> rows = {
        {SaveRequestAnswer::lostKeptWithId(),
         QStringLiteral("ไม่ได้รับคำตอบจากเครื่องแม่ข่าย รายการนี้อาจยังไม่ได้บันทึก รายการยังอยู่บนหน้าจอ "
                        "กด F10 อีกครั้งเพื่อส่งใหม่ ระบบจะไม่บันทึกซ้ำ")},
        {SaveRequestAnswer::lostWithoutId(),
         QStringLiteral("ไม่ได้รับคำตอบจากเครื่องแม่ข่าย รายการนี้อาจบันทึกแล้ว ตรวจสอบที่หน้าสรุปสินค้าเข้าออกประจำวัน "
                        "ก่อนบันทึกอีกครั้ง")},
        {ECancelledByUser::words(), QStringLiteral("ยกเลิกการรอเครื่องแม่ข่ายแล้ว ตามที่กด Esc")},
    };
    return rows;
}

QString upperCaseAscii(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return result;
}

QString translateError(const QString &message)
{
    const QString upper = upperCaseAscii(message);
    for (const QList<TranslationRow> *rows : {&programReportRows(), &translationTable()})
        for (const TranslationRow &row : *rows)
            if (upper.contains(upperCaseAscii(row.trigger)))
                return row.thai;
    return QString();
}

QString composeErrorText(const QString &message)
{
    const QChar cr(u'\r');
    return translateError(message) + cr + upperCaseAscii(message) + cr;
}

} // namespace ErrorHandler

void TDM::ApplicationEvents1Exception(const QString &message)
{
    // The log comes first, for every exception, with the message as raised. When the log
    // itself cannot be written (the configuration database is unreachable, say), that second
    // failure must not hide the error being reported: it is noted on the console and the
    // dialog still shows the first one.
    QString logFailure;
    try {
        if (!DMConfig)
            throw Exception(QStringLiteral("No configuration data module"));
        // An exception without a message is logged as empty text, not as a missing one.
        DMConfig->WriteErrorLog(message.isNull() ? QStringLiteral("") : message);
    } catch (...) {
        logFailure = currentExceptionMessage();
    }
    if (!logFailure.isNull())
        qWarning("Error log not written: %s", qUtf8Printable(logFailure));
    showExplainedError(message);
}

void TDM::showExplainedError(const QString &message)
{
    const QString errorText = ErrorHandler::composeErrorText(message);
    if (showErrorDialog)
        showErrorDialog(errorText);
    else
        qWarning("%s", qUtf8Printable(errorText));
}
