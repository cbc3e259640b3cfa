#include "platform/reportview/ReportPrintDialog.h"

#include "platform/core/Exceptions.h"
#include "platform/reportview/ReportFileDialog.h"
#include "platform/reportview/ReportPrinter.h"
#include "platform/ui/DialogService.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace platform {

ReportPrintDialog::ReportPrintDialog(const QPrinter &printer, int pageCount, int currentPage, ReportLanguage language,
                                     QWidget *parent)
    : QDialog(parent)
    , m_pageCount(pageCount)
    , m_currentPage(currentPage)
    , m_language(language)
{
    setObjectName(QStringLiteral("ReportPrintDialog"));
    setWindowTitle(byLanguage(language, QStringLiteral("พิมพ์รายงาน"), QStringLiteral("Print Report")));
    auto *box = new QVBoxLayout(this);

    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    auto *target = new QLabel(
        toFile ? byLanguage(language, QStringLiteral("พิมพ์ลงไฟล์ PDF:"), QStringLiteral("Print to the PDF file:"))
               : byLanguage(language, QStringLiteral("เครื่องพิมพ์: %1"), QStringLiteral("Printer: %1")).arg(printer.printerName()),
        this);
    target->setObjectName(QStringLiteral("target"));
    box->addWidget(target);
    if (toFile) {
        // The file is named here, so a print without one is refused before it starts.
        auto *fileRow = new QHBoxLayout;
        m_file = new QLineEdit(QDir::toNativeSeparators(printer.outputFileName()), this);
        m_file->setObjectName(QStringLiteral("pdfFile"));
        auto *browse = new QPushButton(byLanguage(language, QStringLiteral("เลือก..."), QStringLiteral("Browse...")), this);
        browse->setAutoDefault(false);
        connect(browse, &QPushButton::clicked, this, [this] {
            const QString path =
                ReportFileDialog::saveFileName(this, m_language, windowTitle(), m_file->text(), {QStringLiteral("pdf")});
            if (!path.isEmpty())
                m_file->setText(QDir::toNativeSeparators(path));
        });
        fileRow->addWidget(m_file, 1);
        fileRow->addWidget(browse);
        box->addLayout(fileRow);
    }

    auto *pages = new QGroupBox(byLanguage(language, QStringLiteral("หน้าที่พิมพ์"), QStringLiteral("Pages")), this);
    auto *grid = new QGridLayout(pages);
    m_all = new QRadioButton(byLanguage(language, QStringLiteral("ทุกหน้า"), QStringLiteral("All pages")), pages);
    m_current = new QRadioButton(
        byLanguage(language, QStringLiteral("หน้าปัจจุบัน (%1)"), QStringLiteral("Current page (%1)")).arg(currentPage + 1), pages);
    m_listButton = new QRadioButton(byLanguage(language, QStringLiteral("หน้าที่"), QStringLiteral("Pages")), pages);
    m_list = new QLineEdit(pages);
    m_list->setObjectName(QStringLiteral("pageList"));
    m_list->setPlaceholderText(byLanguage(language, QStringLiteral("เช่น 1,3-5"), QStringLiteral("e.g. 1,3-5")));
    m_all->setChecked(true);
    grid->addWidget(m_all, 0, 0, 1, 2);
    grid->addWidget(m_current, 1, 0, 1, 2);
    grid->addWidget(m_listButton, 2, 0);
    grid->addWidget(m_list, 2, 1);
    connect(m_list, &QLineEdit::textEdited, m_listButton, [this] { m_listButton->setChecked(true); });
    box->addWidget(pages);

    auto *copies = new QGridLayout;
    m_copies = new QSpinBox(this);
    m_copies->setObjectName(QStringLiteral("copies"));
    m_copies->setRange(1, 999);
    m_collate = new QCheckBox(byLanguage(language, QStringLiteral("เรียงชุด"), QStringLiteral("Collate")), this);
    m_collate->setObjectName(QStringLiteral("collate"));
    m_collate->setChecked(true);
    copies->addWidget(new QLabel(byLanguage(language, QStringLiteral("จำนวนชุด"), QStringLiteral("Copies")), this), 0, 0);
    copies->addWidget(m_copies, 0, 1);
    copies->addWidget(m_collate, 0, 2);
    box->addLayout(copies);

    auto *buttons = new QDialogButtonBox(this);
    m_print =
        buttons->addButton(byLanguage(language, QStringLiteral("พิมพ์"), QStringLiteral("Print")), QDialogButtonBox::AcceptRole);
    buttons->addButton(byLanguage(language, QStringLiteral("ยกเลิก"), QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
}

ReportPrintOptions ReportPrintDialog::options() const
{
    ReportPrintOptions options;
    if (m_current->isChecked())
        options.pageList = QString::number(m_currentPage + 1);
    else if (m_listButton->isChecked())
        options.pageList = m_list->text().trimmed();
    options.copies = m_copies->value();
    options.collate = m_collate->isChecked();
    return options;
}

QString ReportPrintDialog::pdfFileName() const
{
    return m_file ? QDir::fromNativeSeparators(m_file->text().trimmed()) : QString();
}

void ReportPrintDialog::accept()
{
    if (m_file && pdfFileName().isEmpty()) {
        DialogService::instance().showMessage(
            byLanguage(m_language, QStringLiteral("กรุณาระบุชื่อไฟล์ PDF"), QStringLiteral("Enter the name of the PDF file")));
        m_file->setFocus();
        return;
    }
    const ReportPrintOptions chosen = options();
    bool some = false;
    try {
        some = !(m_listButton->isChecked() && chosen.pageList.isEmpty()) &&
            !ReportPrinter::selectedPages(m_pageCount, chosen).isEmpty();
    } catch (const EConvertError &) {}
    if (!some) {
        DialogService::instance().showMessage(
            byLanguage(m_language, QStringLiteral("ไม่มีหน้าที่จะพิมพ์ตามรายการหน้า \"%1\" (เช่น 1,3-5 จากทั้งหมด %2 หน้า)"),
                       QStringLiteral("The page list \"%1\" names no page to print (e.g. 1,3-5 of %2 pages)"))
                .arg(chosen.pageList)
                .arg(m_pageCount));
        m_list->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace platform
