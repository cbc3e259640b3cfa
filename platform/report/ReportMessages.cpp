#include "platform/report/ReportMessages.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace ReportMessages {

QString noDefinition(ReportLanguage language)
{
    return byLanguage(language, QStringLiteral("ยังไม่ได้เปิดไฟล์รายงาน"), QStringLiteral("No report file has been opened"));
}

QString cannotOpen(ReportLanguage language, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo::exists(path)) {
        return byLanguage(language, QStringLiteral("ไม่พบไฟล์รายงาน \"%1\"").arg(shown),
                          QStringLiteral("The report file \"%1\" does not exist").arg(shown));
    }
    return byLanguage(language, QStringLiteral("เปิดไฟล์รายงาน \"%1\" ไม่ได้ (ไม่มีสิทธิ์อ่านไฟล์)").arg(shown),
                      QStringLiteral("The report file \"%1\" cannot be read (no permission to read it)").arg(shown));
}

QString badDefinition(ReportLanguage language, const QString &path, int line, const QString &cause)
{
    const QString shown = QDir::toNativeSeparators(path);
    return byLanguage(language, QStringLiteral("ไฟล์รายงาน \"%1\" ไม่ถูกต้อง บรรทัดที่ %2: %3").arg(shown).arg(line).arg(cause),
                      QStringLiteral("The report file \"%1\" is not valid: line %2: %3").arg(shown).arg(line).arg(cause));
}

QString cannotPrepare(ReportLanguage language, const QString &path, const QString &cause)
{
    const QString shown = QDir::toNativeSeparators(path);
    return byLanguage(language, QStringLiteral("สร้างรายงานจากไฟล์ \"%1\" ไม่ได้: %2").arg(shown, cause),
                      QStringLiteral("The report of \"%1\" cannot be prepared: %2").arg(shown, cause));
}

QString cannotWrite(ReportLanguage language, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo file(path);
    if (!file.absoluteDir().exists()) {
        const QString folder = QDir::toNativeSeparators(file.absolutePath());
        return byLanguage(language, QStringLiteral("บันทึกไฟล์ \"%1\" ไม่ได้: ไม่พบโฟลเดอร์ \"%2\"").arg(shown, folder),
                          QStringLiteral("Cannot write \"%1\": the folder \"%2\" does not exist").arg(shown, folder));
    }
    return byLanguage(
        language, QStringLiteral("บันทึกไฟล์ \"%1\" ไม่ได้: ไม่มีสิทธิ์เขียน หรือไฟล์เปิดอยู่ในโปรแกรมอื่น").arg(shown),
        QStringLiteral("Cannot write \"%1\": no permission to write, or the file is open in another program").arg(shown));
}

QString cannotPrint(ReportLanguage language, const QString &printer)
{
    if (printer.isEmpty()) {
        return byLanguage(language, QStringLiteral("ยังไม่ได้เลือกเครื่องพิมพ์ กรุณากำหนดเครื่องพิมพ์ก่อน"),
                          QStringLiteral("No printer has been chosen: set up the printer first"));
    }
    return byLanguage(language, QStringLiteral("เริ่มพิมพ์ที่เครื่องพิมพ์ \"%1\" ไม่ได้").arg(printer),
                      QStringLiteral("Cannot start printing on \"%1\"").arg(printer));
}

} // namespace ReportMessages

} // namespace platform
