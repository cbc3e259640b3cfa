#pragma once

#include "platform/ui/DataGrid.h"

#include <QDialog>
#include <QList>
#include <QString>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
namespace platform {
class Query;
}
class TDM;

// The barcode search dialog: the user looks for a product unit by the start of its barcode and
// by the product's Thai name, sees each matching barcode with its product, unit, quantity on
// hand and quantity still owed to customers, and picks one.
//
// Use: create it once, call ShowModal() for each search; on QDialog::Accepted read
// SelectedBarCode. Every show empties the fields, takes the name-matching method from the
// company settings and starts with an empty list; nothing is searched until the user asks.
//
// Keys (seen by the dialog before its controls): Enter in the grid selects the current row,
// Enter anywhere else searches; Escape closes without a choice. A double-click in the grid
// selects. Selecting from an empty list closes without a choice.
//
// Kept for the whole run: the sort order (barcode, product code or Thai name, chosen by clicking
// a column title) and the last name searched for (DM->LastSearchName). Kept between runs in the
// settings file: the dialog's position and size and the grid's column widths.
//
// Database errors are not handled here: they reach the application-wide handler, and the
// dialog stays usable with an empty list.
class TFrSearchBarCode : public QDialog
{
    Q_OBJECT
public:
    // Needs the company data module (DM) to exist.
    explicit TFrSearchBarCode(QWidget *parent = nullptr);
    ~TFrSearchBarCode() override;

    // The size of the dialog's client area; it is never narrower than that.
    static constexpr int DefaultClientWidth = 700;
    static constexpr int DefaultClientHeight = 287;
    static constexpr int HeaderPanelHeight = 57;

    // The barcode chosen, read by the caller after the dialog closed; empty when nothing was.
    QString SelectedBarCode;

    // Shows the dialog modally; QDialog::Accepted when a barcode was chosen, else Rejected.
    int ShowModal();

    // Controls and query.
    QLineEdit *Code = nullptr;         // start of the barcode, at most 60 characters
    QComboBox *SearchMethod = nullptr; // 0: the name begins with the text, 1: contains it
    QLineEdit *Name = nullptr;         // the product's Thai name or part of it, at most 60 characters
    QPushButton *BtSearch = nullptr;
    QPushButton *Btok = nullptr;
    QPushButton *BtCancel = nullptr;
    platform::DataGrid *DgSearch = nullptr;
    platform::Query *QSearch = nullptr;

    // Where the dialog's placement and the grid's column widths are kept between runs: the
    // settings file (relative names are taken from the current directory) and its section.
    struct FormPlacement {
        QString iniFileName = QStringLiteral("QLM.INI");
        QString section = QStringLiteral("SEARCHBARCODE");
    };
    FormPlacement FpSearchBarCode;

    // The grid's columns, in order: field name, title and default width.
    static const QList<platform::DataGrid::Column> &gridColumns();

    // Event handlers.
    void FormShow();
    bool FormKeyDown(QKeyEvent *event); // true when the key was used
    void BtSearchClick();
    void DgSearchTitleClick(int column);
    void DgSearchDblClick();
    int FormClose(int result); // the result the dialog closes with
    void FormResize();

    void done(int result) override;
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isKeyOfThisWindow(QObject *watched) const;
    void selectFirstRow();
    void restorePlacement();
    void savePlacement();

    TDM *m_dm = nullptr;
    QFrame *m_header = nullptr;
    QLabel *m_codeLabel = nullptr;
    QLabel *m_nameLabel = nullptr;
    bool m_placementRestored = false;
};
