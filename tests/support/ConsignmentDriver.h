#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <Qt>

class DataGrid;
class NumberEdit;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TFrTarvoAdjAndConsignment;

// The consignment screen as its tests work it: what a clerk does (choose a branch, scan, type
// a quantity, save, summarise) and what the screen shows (the page's product, the grids, the
// total). The tests go through it, so that a change of the screen's insides touches this file
// only. Every verb drives the real widgets with keys and clicks.
class ConsignmentDriver
{
public:
    enum Page { Consignment = 0, Adjustment = 1, Daily = 2, Onhand = 3 };
    enum class Grid { Daily, Onhand };

    // The controls of one entry page, for the checks of focus and state.
    struct Entry {
        QComboBox *type;
        QLineEdit *barcode;
        QPushButton *ok;
        NumberEdit *quantity;
        QLabel *price;
        QCheckBox *free;
        QLineEdit *serial;
    };

    explicit ConsignmentDriver(TFrTarvoAdjAndConsignment *screen);
    TFrTarvoAdjAndConsignment *screen() const { return m_screen; }

    // In the branch box (where the focus is after the show): Enter takes the branch shown;
    // downs presses of Down first choose another.
    void chooseBranch(int downs = 0);
    QString branchShown() const;

    // Pages: a click on the page's tab.
    void showPage(Page page);
    Page page() const;

    // The entry page in use (consignment or adjustment).
    Entry entry() const;
    Entry entry(Page page) const;
    void scan(const QString &barcode);          // into the barcode box, then Enter
    void retypeBarcode(const QString &barcode); // replaced, the box not left
    void lookUp();                              // the page's OK button
    void chooseType(int index);
    void setDate(const QDate &date);
    void typeQuantity(const QString &text); // click, select all, type
    void typeSerial(const QString &text);
    void toggleFree();
    void save(); // F10

    // What the entry page in use shows.
    QString productCode() const;
    QString productName() const;
    QString price() const;
    QString quantity() const;
    bool quantityEnabled() const;
    bool serialShown() const;
    bool saveEnabled() const;

    // The daily page: its date range and OK; the on-hand page: year, period and OK.
    void summarise(const QDate &from, const QDate &to);
    void showOnhand(const QString &year, int period);
    QString total() const;
    int rows(Grid grid) const;
    QString cell(Grid grid, int row, int column, int role = Qt::DisplayRole) const;
    DataGrid *grid(Grid grid) const;

    // ---- The clerk's rhythm: keys as a fast clerk presses them ----------------------------
    // F10 with the program's real message boxes, a scanner typing barcode and Enter into
    // whatever has the keyboard as soon as the success box is up. Returns the texts of the
    // boxes that were shown.
    QStringList saveThenScanAtOnce(const QString &barcode);
    // Tab (or Shift+Tab) pressed times over.
    void tab(int times = 1);
    void backTab(int times = 1);
    // The selected text of the entry page's barcode box.
    QString barcodeSelected() const;
    // The entry page's date, and whether the page marks it as another day than today.
    QDate date() const;
    bool dateMarked() const;

private:
    TFrTarvoAdjAndConsignment *m_screen;
};
