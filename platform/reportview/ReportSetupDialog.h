#pragma once

#include "platform/report/ReportLanguage.h"

#include <QDialog>
#include <QList>
#include <QPageLayout>
#include <QPageSize>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;

namespace platform {

// The printer set-up and the page set-up of reports, captions in the user's language. Both
// choose the paper: its size, orientation and margins in millimetres. The printer set-up also
// chooses where reports print: one of the system's printers or a PDF file. OK refuses margins
// that leave no room on the paper and a PDF file without a name, with a message; it changes
// nothing until the choice is sound. The printer is set only when the dialog is accepted.
class ReportSetupDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { Printer, Page };

    // `printer` is needed for Kind::Printer only.
    ReportSetupDialog(Kind kind, const QPageLayout &layout, QPrinter *printer, ReportLanguage language,
                      QWidget *parent = nullptr);

    QPageLayout pageLayout() const;

    QComboBox *printerBox() const { return m_printerBox; }
    QLineEdit *fileEdit() const { return m_fileEdit; }
    QComboBox *paperBox() const { return m_paperBox; }
    QRadioButton *portraitButton() const { return m_portrait; }
    QRadioButton *landscapeButton() const { return m_landscape; }
    // Left, top, right, bottom.
    QList<QDoubleSpinBox *> marginBoxes() const { return m_margins; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    void accept() override;

private:
    bool pdfChosen() const;
    void choosePdfFile();

    Kind m_kind;
    QPrinter *m_printer;
    ReportLanguage m_language;
    QList<QPageSize> m_sizes; // by item of the paper box
    QComboBox *m_printerBox = nullptr;
    QLineEdit *m_fileEdit = nullptr;
    QPushButton *m_browse = nullptr;
    QComboBox *m_paperBox = nullptr;
    QRadioButton *m_portrait = nullptr;
    QRadioButton *m_landscape = nullptr;
    QList<QDoubleSpinBox *> m_margins;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace platform
