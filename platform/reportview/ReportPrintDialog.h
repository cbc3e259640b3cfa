#pragma once

#include "platform/report/ReportLanguage.h"
#include "platform/report/ReportPrintOptions.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace platform {

// What to print of a previewed report on the printer chosen in the printer set-up: all pages,
// the current one or a page list, the number of copies and collation; captions in the user's
// language; for a printer that writes PDF files, the file. A page list that cannot be read, one
// that names no page, or an empty file name is refused with a message and the dialog stays.
class ReportPrintDialog : public QDialog
{
    Q_OBJECT
public:
    ReportPrintDialog(const QPrinter &printer, int pageCount, int currentPage, ReportLanguage language,
                      QWidget *parent = nullptr);

    ReportPrintOptions options() const;
    // The PDF file to print to when the printer writes PDF files; empty otherwise.
    QString pdfFileName() const;
    QLineEdit *pdfFileEdit() const { return m_file; }

    QRadioButton *allButton() const { return m_all; }
    QRadioButton *currentButton() const { return m_current; }
    QRadioButton *listButton() const { return m_listButton; }
    QLineEdit *pageListEdit() const { return m_list; }
    QSpinBox *copiesBox() const { return m_copies; }
    QCheckBox *collateBox() const { return m_collate; }
    QPushButton *printButton() const { return m_print; }

    void accept() override;

private:
    int m_pageCount;
    int m_currentPage;
    ReportLanguage m_language;
    QRadioButton *m_all = nullptr;
    QRadioButton *m_current = nullptr;
    QRadioButton *m_listButton = nullptr;
    QLineEdit *m_list = nullptr;
    QLineEdit *m_file = nullptr;
    QSpinBox *m_copies = nullptr;
    QCheckBox *m_collate = nullptr;
    QPushButton *m_print = nullptr;
};

} // namespace platform
