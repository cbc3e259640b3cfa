#pragma once

#include "consignment/BarcodeSearch.h"
#include "consignment/ConsignmentLine.h"
#include "consignment/LineStore.h"
#include "forms/Fr_Form.h"

#include <QString>
#include <functional>
#include <memory>

struct JournalEntry;
class OfflineWorkstation;
class TFrOfflineJournal;
namespace platform {
class DataGrid;
class Database;
class DataLabel;
class DatePicker;
class LookupCombo;
class NumberEdit;
class Query;
} // namespace platform
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

// The consignment and stock-adjustment screen of the client brand Tarvo, the program's main
// screen. For the branch chosen in the branch box it records consignment lines (sold by the
// branch, taken back) on page 0 and stock adjustments (increase, decrease) on page 1, each saved
// through the consignment store (one call of Save_Tarvo_Consignment each), and shows the branch's daily
// movements with their money total (page 2) and its on-hand quantities by year and period
// (page 3).
//
// The screen catches no database or conversion error: each one leaves its handler for the
// application-wide handling, and the screen keeps what it had at that point.
class TFrTarvoAdjAndConsignment : public TFrForm
{
    Q_OBJECT
public:
    // The screen reads from the company database and saves its lines through the store.
    TFrTarvoAdjAndConsignment(platform::Database *company, std::unique_ptr<LineStore> store, QWidget *parent = nullptr);
    ~TFrTarvoAdjAndConsignment() override;

    static constexpr int ClientWidth = 885;
    static constexpr int ClientHeight = 504;
    // The longest serial number the save call takes (its parameter SerialNumber NVarChar(60)).
    static constexpr int SerialNumberLength = 60;
    // The most digits of a quantity: what a branch can hold of one product unit.
    static constexpr int QuantityDigits = 7;
    // Lines are dated from this year to next year; other dates are typing mistakes.
    static constexpr int FirstLineYear = 2000;

    // Id of the user who launched the program; set by the program entry before the first show.
    int UserId = 0;

    // The barcode search the two search buttons open, made on the first click and kept for the
    // run. Without one the search buttons are disabled.
    void setBarcodeSearchFactory(BarcodeSearch::Factory factory);

    // The offline mode (QLM.INI [OFFLINE] Enabled=yes), set once by the program before the first
    // show; without it the screen reads and saves on the company database only. With it, while
    // the company link is down (known down, or a read fails on it), the look-ups, the branch list
    // and the serial check answer from the scan copy, the views add the journal's lines the
    // company database has not stored, and the journal list (JournalKey, BtJournal) is there.
    void setOffline(OfflineWorkstation *offline);
    OfflineWorkstation *offline() const { return m_offline; }

    // Branch group
    QFrame *GroupBox1 = nullptr;
    QLabel *Label1 = nullptr; // "สาขา"
    QLabel *Label2 = nullptr; // the red "*"
    platform::LookupCombo *CbBranch = nullptr;

    // Pages
    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr; // consignment entry
    QWidget *TabSheet2 = nullptr; // stock adjustment entry
    QWidget *TabSheet3 = nullptr; // daily summary
    QWidget *TabSheet4 = nullptr; // on-hand summary
    enum Page { ConsignmentPage = 0, AdjustmentPage = 1, DailyPage = 2, OnhandPage = 3 };

    // Consignment page
    platform::DatePicker *DateTimePicker2 = nullptr;
    QComboBox *CBConsignType = nullptr;
    QLineEdit *EdBarcode1 = nullptr;
    QToolButton *BtBarCode1 = nullptr;
    QPushButton *BtOk1 = nullptr;
    platform::DataLabel *LbProdCode1 = nullptr;
    platform::DataLabel *LbProdName1 = nullptr;
    platform::NumberEdit *EdQuantity1 = nullptr;
    QLabel *LbPrice1 = nullptr;
    platform::DataLabel *LbUnitName1 = nullptr;
    QCheckBox *CBFree1 = nullptr;
    QLabel *LbSerialNo1 = nullptr;
    QLineEdit *EdSerialNo1 = nullptr;

    // Adjustment page
    platform::DatePicker *DateTimePicker1 = nullptr;
    QComboBox *CBAdjType = nullptr;
    QLineEdit *EdBarcode2 = nullptr;
    QToolButton *BtBarCode2 = nullptr;
    QPushButton *BTOk2 = nullptr;
    platform::DataLabel *DBText1 = nullptr;
    platform::DataLabel *DBText2 = nullptr;
    platform::NumberEdit *EdQuantity2 = nullptr;
    QLabel *LbPrice2 = nullptr;
    platform::DataLabel *DBText3 = nullptr;
    QCheckBox *CBFree2 = nullptr;
    QLabel *LbSerialNo2 = nullptr;
    QLineEdit *EdSerialNo2 = nullptr;

    // Daily summary page
    platform::DatePicker *DateEdit1 = nullptr;
    platform::DatePicker *DateEdit2 = nullptr;
    QPushButton *BtOkConsign = nullptr;
    platform::DataGrid *DBGRPProdDay = nullptr;
    QLabel *LbTotal = nullptr;

    // On-hand summary page
    platform::NumberEdit *GetYear = nullptr;
    QComboBox *PeriodNo = nullptr;
    QPushButton *BkCustomrtOnhand = nullptr;
    platform::DataGrid *DBGRPOnhand = nullptr;

    // The barcode search of the entry page in use, by key (BarcodeSearchKey), shown in the hint
    // of both search buttons.
    QAction *AcSearchBarCode = nullptr;
    static constexpr Qt::Key BarcodeSearchKey = Qt::Key_F2;

    // With the offline mode only: the supervisor's journal list (by key or button), the daily
    // page's words on the lines waiting.
    QAction *AcJournal = nullptr;
    QPushButton *BtJournal = nullptr;
    static constexpr Qt::Key JournalKey = Qt::Key_F9;
    QLabel *LbWaiting = nullptr;
    TFrOfflineJournal *journalList() const { return m_journalList; }

    // Datasets on the company database
    platform::Query *QBranch = nullptr;
    platform::Query *QUserKeyIn = nullptr;
    platform::Query *QProduct = nullptr;
    platform::Query *QChkBarcode = nullptr;
    platform::Query *QRPProdDay = nullptr;
    platform::Query *QRPOnhand = nullptr;

    // Handlers
    void FormShow() override;
    void AcNewExecute() override;
    void AcSaveExecute() override;
    void CbBranchExit();
    void PageControl1Change(int index);
    void BtBarCode1Click();
    void BtBarCode2Click();
    void AcSearchBarCodeExecute();
    void AcJournalExecute();
    void EdBarcode1Exit();
    void BtOk1Click();
    void CBFree1Click();
    void EdBarcode2Exit();
    void BTOk2Click();
    void CBFree2Click();
    void BtOkConsignClick();
    void BkCustomrtOnhandClick();
    void GetYearExit();
    bool FormKeyDown(QKeyEvent *event) override;

    // The screen's state, read-only from outside.
    const QString &userKeyIn() const { return UserKeyIn; }
    const QString &userCode() const { return UserCode; }
    const QString &cusCode() const { return CusCode; }
    int cusId() const { return CusId; }
    const QString &useSerial() const { return UseSerial; }
    double oldPrice() const { return OldPrice; }

    // The period box's items: index 0 the opening balance of the year, index n month n.
    static QStringList periodItems();

private:
    // The controls of one entry page and its product lookup, as references to the named members
    // above: both pages are built, reset, looked up and saved by the same code.
    struct EntryPage {
        platform::DatePicker *&date;
        QComboBox *&type;
        QLineEdit *&barcode;
        QToolButton *&search;
        QPushButton *&ok;
        platform::DataLabel *&code;
        platform::DataLabel *&name;
        platform::NumberEdit *&quantity;
        QLabel *&price;
        platform::DataLabel *&unit;
        QCheckBox *&free;
        QLabel *&serialLabel;
        QLineEdit *&serial;
        platform::Query *&lookup;
        // The page's own lookup handler (BtOk1Click, BTOk2Click).
        void (TFrTarvoAdjAndConsignment::*lookUpClick)();
        // The barcode the product shown was found by ("" when none is shown).
        QString foundBarcode;
    };
    enum class Lookup { NoBarcode, NotFound, Found };

    // Fr_TarvoAdjAndConsignmentLayout.cpp
    void buildLayout();
    void buildBranchGroup(QWidget *parent);
    void buildEntryPage(EntryPage &e, QWidget *page, const QStringList &types);
    void buildConsignmentPage();
    void buildAdjustmentPage();
    void buildDailyPage();
    void buildOnhandPage();
    void setTabOrder();

    void makeSearchAction();
    QAction *keyAction(const QString &name, Qt::Key key);
    static QString keyText(Qt::Key key);
    void wireHandlers();

    void decodeToday();
    void fillYearAndPeriod();
    void takeShownBranch();
    EntryPage *activeEntryPage();
    void resetEntryPage(EntryPage &page);
    void searchBarcode(QLineEdit *barcodeBox);
    Lookup lookUp(EntryPage &page, const QString &noBarcodeMessage);
    bool unchangedSinceLookUp(const EntryPage &page) const;
    void backToBarcode(EntryPage &page);
    void backToField(QWidget *field);
    void backToFieldOfRefusedLine(EntryPage &page);
    void markDate(EntryPage &page);
    void showFreeGiftPrice(const EntryPage &page);
    void consignmentSave();
    void adjustmentSave();
    bool checkEntry(EntryPage &page);
    ConsignmentLine readLine(const EntryPage &page, ConsignmentLine::Entry entry, const QString &consigType, int sign) const;
    void saveLine(const ConsignmentLine &line);
    static QString savedText(SaveOutcome outcome);
    QString showSaved(const QString &text);
    void takeScan(const QString &scan);
    void setActivePage(int index);

    // Offline mode: a read on the company database, unless the link is known down; a read that
    // fails on the link reports it. False when the caller is to answer from this workstation's
    // files.
    bool readOnline(const std::function<void()> &read);
    void readDaily();
    void readOnhand(int year, int period);
    // The journal's lines less those the company database already holds (read after its rows).
    QList<JournalEntry> notStored(const QList<JournalEntry> &lines, int customer, bool serverRead);
    void refuseSerialOnSaleOffline(const ConsignmentLine &line);
    void buildOfflineControls();

    QString UserKeyIn;
    QString UserCode;
    QString CusCode;
    int CusId = 0;
    QString UseSerial;
    double OldPrice = 0;
    quint16 CurYear = 0;
    quint16 CurMonth = 0;
    quint16 CurDay = 0;

    // By Page: ConsignmentPage, AdjustmentPage.
    EntryPage m_page[2]{
        {DateTimePicker2,
         CBConsignType,
         EdBarcode1,
         BtBarCode1,
         BtOk1,
         LbProdCode1,
         LbProdName1,
         EdQuantity1,
         LbPrice1,
         LbUnitName1,
         CBFree1,
         LbSerialNo1,
         EdSerialNo1,
         QProduct,
         &TFrTarvoAdjAndConsignment::BtOk1Click,
         {}},
        {DateTimePicker1,
         CBAdjType,
         EdBarcode2,
         BtBarCode2,
         BTOk2,
         DBText1,
         DBText2,
         EdQuantity2,
         LbPrice2,
         DBText3,
         CBFree2,
         LbSerialNo2,
         EdSerialNo2,
         QChkBarcode,
         &TFrTarvoAdjAndConsignment::BTOk2Click,
         {}},
    };

    platform::Database *m_company;
    std::unique_ptr<LineStore> m_store;
    BarcodeSearch::Factory m_searchFactory;
    std::unique_ptr<BarcodeSearch> m_search;
    OfflineWorkstation *m_offline = nullptr;
    platform::Query *m_storedRequests = nullptr; // ConsignmentSql::QStoredRequests
    int m_dailyCustomer = 0;                     // the customer of the last daily summary
    TFrOfflineJournal *m_journalList = nullptr;
    bool m_inBaseShow = false;
    int m_settingPage = 0;
};
