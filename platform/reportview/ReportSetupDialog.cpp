#include "platform/reportview/ReportSetupDialog.h"

#include "platform/reportview/ReportFileDialog.h"
#include "platform/ui/DialogService.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace platform {

namespace {

const QPageSize::PageSizeId paperSizes[] = {QPageSize::A3, QPageSize::A4,     QPageSize::A5,
                                            QPageSize::B5, QPageSize::Letter, QPageSize::Legal};

QString paperName(const QPageSize &size, ReportLanguage language)
{
    const QSizeF mm = size.size(QPageSize::Millimeter);
    const QString dimensions = QStringLiteral("%1 × %2 %3")
                                   .arg(qRound(mm.width()))
                                   .arg(qRound(mm.height()))
                                   .arg(byLanguage(language, QStringLiteral("มม."), QStringLiteral("mm")));
    const QString name =
        size.id() == QPageSize::Custom ? byLanguage(language, QStringLiteral("กำหนดเอง"), QStringLiteral("Custom")) : size.name();
    return QStringLiteral("%1 (%2)").arg(name, dimensions);
}

} // namespace

ReportSetupDialog::ReportSetupDialog(Kind kind, const QPageLayout &layout, QPrinter *printer, ReportLanguage language,
                                     QWidget *parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_printer(printer)
    , m_language(language)
{
    setObjectName(kind == Kind::Printer ? QStringLiteral("ReportPrinterSetup") : QStringLiteral("ReportPageSetup"));
    setWindowTitle(kind == Kind::Printer ? byLanguage(language, QStringLiteral("กำหนดเครื่องพิมพ์"), QStringLiteral("Printer Setup"))
                                         : byLanguage(language, QStringLiteral("ตั้งค่าหน้ากระดาษ"), QStringLiteral("Page Setup")));
    auto *box = new QVBoxLayout(this);

    if (kind == Kind::Printer) {
        auto *where = new QGroupBox(byLanguage(language, QStringLiteral("เครื่องพิมพ์"), QStringLiteral("Printer")), this);
        auto *form = new QFormLayout(where);
        m_printerBox = new QComboBox(where);
        m_printerBox->setObjectName(QStringLiteral("printerBox"));
        const QStringList printers = QPrinterInfo::availablePrinterNames();
        for (const QString &name : printers)
            m_printerBox->addItem(name, name);
        m_printerBox->addItem(byLanguage(language, QStringLiteral("ไฟล์ PDF"), QStringLiteral("PDF file")), QString());
        form->addRow(byLanguage(language, QStringLiteral("พิมพ์ที่"), QStringLiteral("Print to")), m_printerBox);
        auto *fileRow = new QHBoxLayout;
        m_fileEdit = new QLineEdit(where);
        m_fileEdit->setObjectName(QStringLiteral("fileEdit"));
        m_browse = new QPushButton(byLanguage(language, QStringLiteral("เลือก..."), QStringLiteral("Browse...")), where);
        m_browse->setAutoDefault(false);
        fileRow->addWidget(m_fileEdit, 1);
        fileRow->addWidget(m_browse);
        form->addRow(byLanguage(language, QStringLiteral("ชื่อไฟล์"), QStringLiteral("File name")), fileRow);
        box->addWidget(where);

        const bool toPdf = printer->outputFormat() == QPrinter::PdfFormat || printers.isEmpty();
        const qsizetype current = printers.indexOf(printer->printerName());
        m_printerBox->setCurrentIndex(toPdf || current < 0 ? m_printerBox->count() - 1 : int(current));
        m_fileEdit->setText(printer->outputFileName());
        auto showFile = [this] {
            m_fileEdit->setEnabled(pdfChosen());
            m_browse->setEnabled(pdfChosen());
        };
        showFile();
        connect(m_printerBox, &QComboBox::currentIndexChanged, this, showFile);
        connect(m_browse, &QPushButton::clicked, this, &ReportSetupDialog::choosePdfFile);
    }

    auto *paper = new QGroupBox(byLanguage(language, QStringLiteral("กระดาษ"), QStringLiteral("Paper")), this);
    auto *grid = new QGridLayout(paper);
    m_paperBox = new QComboBox(paper);
    m_paperBox->setObjectName(QStringLiteral("paperBox"));
    for (QPageSize::PageSizeId id : paperSizes)
        m_sizes.append(QPageSize(id));
    int chosen = -1;
    for (int i = 0; i < m_sizes.size(); ++i) {
        if (m_sizes.at(i).isEquivalentTo(layout.pageSize()))
            chosen = i;
    }
    if (chosen < 0) {
        m_sizes.append(layout.pageSize());
        chosen = int(m_sizes.size()) - 1;
    }
    for (const QPageSize &size : std::as_const(m_sizes))
        m_paperBox->addItem(paperName(size, language));
    m_paperBox->setCurrentIndex(chosen);
    grid->addWidget(new QLabel(byLanguage(language, QStringLiteral("ขนาด"), QStringLiteral("Size")), paper), 0, 0);
    grid->addWidget(m_paperBox, 0, 1, 1, 3);
    m_portrait = new QRadioButton(byLanguage(language, QStringLiteral("แนวตั้ง"), QStringLiteral("Portrait")), paper);
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_landscape = new QRadioButton(byLanguage(language, QStringLiteral("แนวนอน"), QStringLiteral("Landscape")), paper);
    m_landscape->setObjectName(QStringLiteral("landscape"));
    (layout.orientation() == QPageLayout::Landscape ? m_landscape : m_portrait)->setChecked(true);
    grid->addWidget(new QLabel(byLanguage(language, QStringLiteral("แนวกระดาษ"), QStringLiteral("Orientation")), paper), 1, 0);
    grid->addWidget(m_portrait, 1, 1);
    grid->addWidget(m_landscape, 1, 2);

    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    const struct {
        const char *name;
        QString caption;
        qreal value;
    } sides[] = {
        {"marginLeft", byLanguage(language, QStringLiteral("ขอบซ้าย"), QStringLiteral("Left margin")), margins.left()},
        {"marginTop", byLanguage(language, QStringLiteral("ขอบบน"), QStringLiteral("Top margin")), margins.top()},
        {"marginRight", byLanguage(language, QStringLiteral("ขอบขวา"), QStringLiteral("Right margin")), margins.right()},
        {"marginBottom", byLanguage(language, QStringLiteral("ขอบล่าง"), QStringLiteral("Bottom margin")), margins.bottom()},
    };
    for (int i = 0; i < 4; ++i) {
        auto *spin = new QDoubleSpinBox(paper);
        spin->setObjectName(QLatin1String(sides[i].name));
        spin->setDecimals(1);
        spin->setRange(0, 200);
        spin->setSuffix(byLanguage(language, QStringLiteral(" มม."), QStringLiteral(" mm")));
        spin->setValue(sides[i].value);
        m_margins.append(spin);
        grid->addWidget(new QLabel(sides[i].caption, paper), 2 + i / 2, (i % 2) * 2);
        grid->addWidget(spin, 2 + i / 2, (i % 2) * 2 + 1);
    }
    box->addWidget(paper);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(byLanguage(language, QStringLiteral("ตกลง"), QStringLiteral("OK")), QDialogButtonBox::AcceptRole);
    m_cancel =
        buttons->addButton(byLanguage(language, QStringLiteral("ยกเลิก"), QStringLiteral("Cancel")), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    box->addWidget(buttons);
}

bool ReportSetupDialog::pdfChosen() const
{
    return m_printerBox && m_printerBox->currentData().toString().isEmpty();
}

void ReportSetupDialog::choosePdfFile()
{
    const QString path =
        ReportFileDialog::saveFileName(this, m_language, windowTitle(), m_fileEdit->text(), {QStringLiteral("pdf")});
    if (!path.isEmpty())
        m_fileEdit->setText(path);
}

QPageLayout ReportSetupDialog::pageLayout() const
{
    const QMarginsF margins(m_margins.at(0)->value(), m_margins.at(1)->value(), m_margins.at(2)->value(),
                            m_margins.at(3)->value());
    return QPageLayout(m_sizes.at(m_paperBox->currentIndex()),
                       m_landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait, margins,
                       QPageLayout::Millimeter);
}

void ReportSetupDialog::accept()
{
    const QPageLayout layout = pageLayout();
    const QSizeF paper = layout.fullRect(QPageLayout::Millimeter).size();
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    // Margins that do not fit the paper are refused; the layout would otherwise shrink them.
    if (margins !=
            QMarginsF(m_margins.at(0)->value(), m_margins.at(1)->value(), m_margins.at(2)->value(), m_margins.at(3)->value()) ||
        margins.left() + margins.right() >= paper.width() || margins.top() + margins.bottom() >= paper.height()) {
        DialogService::instance().showMessage(byLanguage(m_language, QStringLiteral("ขอบกระดาษกว้างเกินไป ไม่เหลือที่พิมพ์บนกระดาษ"),
                                                         QStringLiteral("The margins leave no room on the paper")));
        return;
    }
    if (m_kind == Kind::Printer) {
        const QString file = m_fileEdit->text().trimmed();
        if (pdfChosen() && file.isEmpty()) {
            DialogService::instance().showMessage(
                byLanguage(m_language, QStringLiteral("กรุณาระบุชื่อไฟล์ PDF"), QStringLiteral("Enter the name of the PDF file")));
            m_fileEdit->setFocus();
            return;
        }
        if (pdfChosen()) {
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(file);
        } else {
            m_printer->setOutputFileName(QString());
            m_printer->setOutputFormat(QPrinter::NativeFormat);
            m_printer->setPrinterName(m_printerBox->currentData().toString());
        }
        m_printer->setPageLayout(layout);
    }
    QDialog::accept();
}

} // namespace platform
