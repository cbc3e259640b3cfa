#include "platform/reportview/ReportFileDialog.h"

#include "platform/ui/DialogService.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace platform {

namespace {

QString filterOf(const QString &extension)
{
    const QString name = extension == QLatin1String("xlsx") ? QStringLiteral("Excel") : extension.toUpper();
    return QStringLiteral("%1 (*.%2)").arg(name, extension);
}

} // namespace

namespace ReportFileDialog {

QString saveFileName(QWidget *parent, ReportLanguage language, const QString &title, const QString &suggestedName,
                     const QStringList &extensions)
{
    QStringList filters;
    for (const QString &extension : extensions)
        filters.append(filterOf(extension));
    QFileDialog dialog(parent, title, QDir::currentPath());
    dialog.setObjectName(QStringLiteral("ReportFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The list view has no column titles, and replacing a file is asked in the user's language.
    dialog.setViewMode(QFileDialog::List);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters);
    dialog.selectFile(suggestedName);
    dialog.setLabelText(QFileDialog::LookIn, byLanguage(language, QStringLiteral("ค้นหาใน"), QStringLiteral("Look in")));
    dialog.setLabelText(QFileDialog::FileName, byLanguage(language, QStringLiteral("ชื่อไฟล์"), QStringLiteral("File name")));
    dialog.setLabelText(QFileDialog::FileType, byLanguage(language, QStringLiteral("ชนิดไฟล์"), QStringLiteral("File type")));
    dialog.setLabelText(QFileDialog::Accept, byLanguage(language, QStringLiteral("บันทึก"), QStringLiteral("Save")));
    dialog.setLabelText(QFileDialog::Reject, byLanguage(language, QStringLiteral("ยกเลิก"), QStringLiteral("Cancel")));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();

    QString path = dialog.selectedFiles().first();
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!extensions.contains(suffix)) {
        const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
        path += QLatin1Char('.') + extensions.value(chosen < 0 ? 0 : int(chosen));
    }
    if (QFileInfo::exists(path)) {
        const QString shown = QDir::toNativeSeparators(path);
        const QString question = byLanguage(language, QStringLiteral("มีไฟล์ \"%1\" อยู่แล้ว ต้องการบันทึกทับหรือไม่ ?").arg(shown),
                                            QStringLiteral("\"%1\" already exists. Replace it ?").arg(shown));
        if (!DialogService::instance().confirm(question))
            return QString();
    }
    return path;
}

} // namespace ReportFileDialog

} // namespace platform
