#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <Qt>

namespace platform {
class DataGrid;
}
class QAbstractItemModel;
class QWidget;
class TFrOfflineJournal;
class TFrTarvoAdjAndConsignment;

// The consignment screen as its tests work it: what a clerk does (choose a branch, scan, type
// a quantity, save, summarise) and what the screen shows (the page's product, the grids, the
// total). The tests go through it, so that a change of the screen's insides touches this file
// only. The verbs drive the real widgets with keys and clicks; those that set a value as code
// does (setText, choose, setDateOf, focusOn) say so by their names.
class ConsignmentDriver
{
    Q_GADGET
public:
    // InUse: the entry page in use (consignment or adjustment).
    enum Page { InUse = -1, Consignment = 0, Adjustment = 1, Daily = 2, Onhand = 3 };
    enum class Grid { Daily, Onhand };

    // The screen's controls by what they are for. The entry controls (Date to Serial) are those
    // of an entry page: the page in use unless a page is named.
    enum Control {
        NoControl,
        Branch,
        Tabs, // the tab bar of the pages
        Date,
        Type,
        Barcode,
        Search,
        Ok,
        Code,
        Name,
        Unit,
        Quantity,
        Price,
        Free,
        SerialLabel,
        Serial,
        SaveButton, // the toolbar's Save button
        From,       // the daily page's date range, OK, grid and total
        To,
        Summarise,
        DailyGrid,
        Total,
        Year, // the on-hand page's year, period, OK and grid
        Period,
        ShowOnhand,
        OnhandGrid,
    };
    Q_ENUM(Control)

    explicit ConsignmentDriver(TFrTarvoAdjAndConsignment *screen);
    TFrTarvoAdjAndConsignment *screen() const { return m_screen; }

    // In the branch box (where the focus is after the show): Enter takes the branch shown;
    // downs presses of Down first choose another.
    void chooseBranch(int downs = 0);
    QString branchShown() const;

    // Pages: a click on the page's tab.
    void showPage(Page page);
    Page page() const;

    // On the entry page in use (consignment or adjustment):
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
    platform::DataGrid *grid(Grid grid) const;

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
    // The selected text of a box.
    QString selected(Control c, Page page = InUse) const;
    // The entry page's date, and whether the page marks it as another day than today.
    QDate date() const;
    bool dateMarked() const;

    // ---- Any control by its role --------------------------------------------------------------
    QWidget *control(Control c, Page page = InUse) const;
    // The control that has the keyboard focus (NoControl for any other widget).
    Control focused() const;
    void focusOn(Control c, Page page = InUse);
    void click(Control c, Page page = InUse);     // a button, a check box
    void clickInto(Control c, Page page = InUse); // a box: takes the focus as a click gives it
    // A box (Barcode, Quantity, Serial, Year): its text replaced by keys, the box not left; or
    // replaced and Enter pressed, as a scanner does.
    void retype(Control c, const QString &text, Page page = InUse);
    void scanInto(Control c, const QString &text, Page page = InUse);
    // A combo box's list dropped down (or closed) as such, nothing chosen.
    void dropDown(Control c, bool open = true);
    // The branch box's list dropped down by a click, the branch at row chosen in it with Enter.
    void chooseBranchFromList(int row);
    // Replaces the text as code does, without keys (texts the keys could not enter).
    void setText(Control c, const QString &text, Page page = InUse);
    // A box's, label's or button's text; a combo box's current text.
    QString text(Control c, Page page = InUse) const;
    bool enabled(Control c, Page page = InUse) const;
    bool visible(Control c, Page page = InUse) const;
    bool hidden(Control c, Page page = InUse) const; // hidden itself (isHidden)
    bool readOnly(Control c, Page page = InUse) const;
    bool checked(Control c, Page page = InUse) const;
    // Combo boxes (Branch, Type, Period): the index chosen, choosing by index, the items.
    int index(Control c, Page page = InUse) const;
    void choose(Control c, int index, Page page = InUse);
    QStringList items(Control c, Page page = InUse) const;
    // Date boxes (Date, From, To).
    QDate dateOf(Control c, Page page = InUse) const;
    void setDateOf(Control c, const QDate &date, Page page = InUse);

    // ---- What the screen holds behind its controls -------------------------------------------
    // The branch made current by leaving the branch box, and the product looked up.
    struct Current {
        QString userKeyIn;
        QString userCode;
        QString cusCode;
        int cusId;
        QString useSerial;
        double oldPrice;
    };
    Current current() const;
    // The branch list's current row and its customer code.
    int branchRow() const;
    QString branchCustomerCode() const;
    // The product look-up of an entry page: run (open), and the row taken.
    bool lookedUp(Page page = InUse) const;
    int lookupRow(Page page = InUse) const;
    // A view's dataset: read (open), its rows, its current row, its model.
    bool read(Grid grid) const;
    int rowsRead(Grid grid) const;
    int datasetRow(Grid grid) const;
    QAbstractItemModel *datasetModel(Grid grid) const;
    // The grid's current row.
    int currentRow(Grid grid) const;

    // Everything the screen shows or holds that the user typed or chose, one "Name=value" line
    // per control, for comparing the screen before and after a failure.
    QStringList state() const;

    // ---- The offline mode ---------------------------------------------------------------------
    // The text of a grid's cell in the column that shows field ("" when no column shows it).
    QString cellOf(Grid grid, int row, const QString &field) const;
    // The daily page's words on the journal's lines ("" without the offline mode).
    QString waitingText() const;
    // The journal list by its key; nullptr when none opened.
    TFrOfflineJournal *openJournalList();
    // Whether the screen has the offline mode, and each of its controls (the journal list's
    // action and button, the daily page's words on waiting lines).
    bool offline() const;
    bool offlineControls() const;

private:
    Page pageOf(Page page) const;
    TFrTarvoAdjAndConsignment *m_screen;
};
