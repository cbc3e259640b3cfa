#include "consignment/Fr_TarvoAdjAndConsignment.h"

#include "consignment/DataGrid.h"
#include "consignment/Fr_TarvoAdjAndConsignmentSql.h"
#include "data/U_DM.h"
#include "platform/format/Conversions.h"
#include "platform/format/FormatFloat.h"
#include "platform/sql/Database.h"
#include "platform/sql/Field.h"
#include "platform/sql/Query.h"
#include "platform/sql/QueryModel.h"
#include "platform/ui/DataLabel.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/FocusExit.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/NumberEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString TotalFormat = QStringLiteral("#,##0.00;-#,##0.00");

// The wait cursor while a statement runs; the message boxes after it show the normal one.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

void showMessage(const QString &text)
{
    DialogService::instance().showMessage(text);
}

QLabel *rowLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QLabel *requiredMark(QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("*"), parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    return label;
}

// A label of a row together with the red mark of a required entry, right-aligned.
QWidget *requiredRowLabel(const QString &text, QWidget *parent, QLabel **mark = nullptr)
{
    auto *box = new QWidget(parent);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addStretch(1);
    layout->addWidget(new QLabel(text, box));
    QLabel *star = requiredMark(box);
    layout->addWidget(star);
    if (mark)
        *mark = star;
    return box;
}

QFont boldFont(const QWidget *widget, bool underline = false)
{
    QFont font = widget->font();
    font.setBold(true);
    font.setUnderline(underline);
    return font;
}

// The glyph of the flat search buttons: a magnifying glass.
QIcon searchGlyph()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 64, 128), 2));
    painter.drawEllipse(QRectF(2, 2, 8.5, 8.5));
    painter.setPen(QPen(QColor(0, 64, 128), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(10, 10), QPointF(14, 14));
    painter.end();
    return QIcon(pixmap);
}

QToolButton *searchButton(const QString &name, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(searchGlyph());
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus); // a speed button: clicking it leaves the focus where it is
    button->setFixedSize(26, 26);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QString dateCell(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    QDate date;
    if (value.typeId() == QMetaType::QDate)
        date = value.toDate();
    else if (value.typeId() == QMetaType::QDateTime)
        date = value.toDateTime().date();
    else
        date = parseStoredDateTime(value.toString()).date();
    return date.isValid() ? DateToStr(date) : value.toString();
}

constexpr Qt::Alignment NumberAlignment = Qt::AlignRight | Qt::AlignVCenter;

} // namespace

TFrTarvoAdjAndConsignment::TFrTarvoAdjAndConsignment(QWidget *parent)
    : TFrForm(parent)
{
    setObjectName(QStringLiteral("FrTarvoAdjAndConsignment"));
    setWindowTitle(QStringLiteral("Tarvo ฝากขาย"));
    setClientSize(ClientWidth, ClientHeight);

    Database *db = DM->DMdata;
    QBranch = new Query(db, this);
    QBranch->setObjectName(QStringLiteral("QBranch"));
    QBranch->setStatement(ConsignmentSql::QBranch);
    QUserKeyIn = new Query(db, this);
    QUserKeyIn->setObjectName(QStringLiteral("QUserKeyIn"));
    QUserKeyIn->setStatement(ConsignmentSql::QUserKeyIn);
    QProduct = new Query(db, this);
    QProduct->setObjectName(QStringLiteral("QProduct"));
    QProduct->setStatement(ConsignmentSql::QProduct);
    QChkBarcode = new Query(db, this);
    QChkBarcode->setObjectName(QStringLiteral("QChkBarcode"));
    QChkBarcode->setStatement(ConsignmentSql::QProduct);
    QSave = new Query(db, this);
    QSave->setObjectName(QStringLiteral("QSave"));
    QRPProdDay = new Query(db, this);
    QRPProdDay->setObjectName(QStringLiteral("QRPProdDay"));
    QRPProdDay->setStatement(ConsignmentSql::QRPProdDay);
    // Until the first summary the parameters hold no values: the grid is re-read with them by
    // every reset and shows no rows.
    QRPProdDay->setParam(QStringLiteral("CusCode"), QVariant(QMetaType::fromType<QString>()));
    QRPProdDay->setParam(QStringLiteral("BeginConsigDate"), QVariant(QMetaType::fromType<QDate>()));
    QRPProdDay->setParam(QStringLiteral("EndConsigDate"), QVariant(QMetaType::fromType<QDate>()));
    QRPOnhand = new Query(db, this);
    QRPOnhand->setObjectName(QStringLiteral("QRPOnhand"));
    QRPOnhand->setStatement(ConsignmentSql::QRPOnhand);

    auto *client = new QVBoxLayout(clientArea());
    client->setContentsMargins(0, 0, 0, 0);
    client->setSpacing(0);
    buildBranchGroup(clientArea());
    client->addWidget(GroupBox1);

    PageControl1 = new QTabWidget(clientArea());
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    client->addWidget(PageControl1, 1);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    TabSheet4 = new QWidget;
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    PageControl1->addTab(TabSheet1, QStringLiteral("โปรแกรมฝากขาย"));
    PageControl1->addTab(TabSheet2, QStringLiteral("โปรแกรมปรับปรุง"));
    PageControl1->addTab(TabSheet3, QStringLiteral("สรุปสินค้าเข้าออกประจำวัน"));
    PageControl1->addTab(TabSheet4, QStringLiteral("สรุปสินค้าคงเหลือ"));

    buildConsignmentPage();
    buildAdjustmentPage();
    buildDailyPage();
    buildOnhandPage();
    setTabOrder();
    wireHandlers();
    setBarcodeSearchFactory(nullptr);
}

TFrTarvoAdjAndConsignment::~TFrTarvoAdjAndConsignment() = default;

void TFrTarvoAdjAndConsignment::buildBranchGroup(QWidget *parent)
{
    GroupBox1 = new QFrame(parent);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    GroupBox1->setFixedHeight(43);
    auto *layout = new QHBoxLayout(GroupBox1);
    layout->setContentsMargins(16, 4, 16, 4);
    layout->setSpacing(4);
    Label1 = new QLabel(QStringLiteral("สาขา"), GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = requiredMark(GroupBox1);
    Label2->setObjectName(QStringLiteral("Label2"));
    CbBranch = new LookupCombo(GroupBox1);
    CbBranch->setObjectName(QStringLiteral("CbBranch"));
    CbBranch->setFixedWidth(607);
    CbBranch->setLookup(QBranch, QStringLiteral("CusName"));
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addSpacing(8);
    layout->addWidget(CbBranch);
    layout->addStretch(1);
}

namespace {

// The controls of one entry page, built the same way on both pages.
struct EntryPage {
    DatePicker *date = nullptr;
    QComboBox *type = nullptr;
    QLineEdit *barcode = nullptr;
    QToolButton *search = nullptr;
    QPushButton *ok = nullptr;
    DataLabel *code = nullptr;
    DataLabel *name = nullptr;
    NumberEdit *quantity = nullptr;
    QLabel *price = nullptr;
    DataLabel *unit = nullptr;
    QCheckBox *free = nullptr;
    QLabel *serialLabel = nullptr;
    QLineEdit *serial = nullptr;
};

EntryPage buildEntryPage(QWidget *page, Query *lookup, const QStringList &types)
{
    EntryPage e;
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(24, 16, 24, 12);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnMinimumWidth(0, 110);
    grid->setColumnStretch(1, 1);

    auto row = [&](int r, QWidget *label, const QList<QWidget *> &controls, int stretchAfter = 1) {
        if (label)
            grid->addWidget(label, r, 0);
        auto *box = new QHBoxLayout;
        box->setSpacing(6);
        for (QWidget *w : controls)
            box->addWidget(w);
        if (stretchAfter)
            box->addStretch(1);
        grid->addLayout(box, r, 1);
    };
    auto dataLabel = [&](Query *query, const QString &field, int width) {
        auto *label = new DataLabel(page);
        label->setDataField(query, field);
        label->setMinimumWidth(width);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };

    e.date = new DatePicker(page);
    e.date->setFixedWidth(120);
    row(0, rowLabel(QStringLiteral("วันที่ :"), page), {e.date});

    e.type = new QComboBox(page);
    e.type->addItems(types);
    e.type->setFixedWidth(140);
    row(1, requiredRowLabel(QStringLiteral("ประเภท :"), page), {e.type});

    e.barcode = new QLineEdit(page);
    e.barcode->setFixedWidth(200);
    e.search = searchButton(QString(), page);
    e.ok = new QPushButton(QStringLiteral("ตกลง"), page);
    e.ok->setMinimumWidth(75);
    // The button is reached by Tab and Enter; a click runs the lookup without first leaving the
    // barcode box, so the lookup runs once.
    e.ok->setFocusPolicy(Qt::TabFocus);
    e.ok->setAutoDefault(false);
    row(2, rowLabel(QStringLiteral("Barcode :"), page), {e.barcode, e.search, e.ok});

    e.code = dataLabel(lookup, QStringLiteral("Code"), 200);
    row(3, rowLabel(QStringLiteral("รหัส :"), page), {e.code});

    e.name = dataLabel(lookup, QStringLiteral("Prodname"), 560);
    row(4, rowLabel(QStringLiteral("ชื่อ :"), page), {e.name});

    e.quantity = new NumberEdit(page);
    e.quantity->setDecimalPlaces(0);
    e.quantity->setDisplayFormat(QStringLiteral(",0"));
    e.quantity->setFixedWidth(120);
    row(5, rowLabel(QStringLiteral("จำนวน :"), page), {e.quantity});

    e.price = new QLabel(QStringLiteral("0"), page);
    e.price->setMinimumWidth(72);
    auto *perUnit = new QLabel(QStringLiteral("บาท / "), page);
    e.unit = dataLabel(lookup, QStringLiteral("UnitName"), 160);
    row(6, rowLabel(QStringLiteral("ราคา :"), page), {e.price, perUnit, e.unit});

    e.free = new QCheckBox(QStringLiteral("ของแถม"), page);
    row(7, nullptr, {e.free});

    e.serialLabel = rowLabel(QStringLiteral("SerialNo :"), page);
    e.serial = new QLineEdit(page);
    e.serial->setFixedWidth(200);
    // No more than the database keeps: a longer serial number would be cut short by the save
    // call's parameter, so the line stored would not carry the number the clerk sees.
    e.serial->setMaxLength(TFrTarvoAdjAndConsignment::SerialNumberLength);
    row(8, e.serialLabel, {e.serial});

    grid->setRowStretch(9, 1);
    return e;
}

} // namespace

void TFrTarvoAdjAndConsignment::buildConsignmentPage()
{
    const EntryPage e = buildEntryPage(TabSheet1, QProduct, {QStringLiteral("ขาย"), QStringLiteral("รับคืน")});
    DateTimePicker2 = e.date;
    CBConsignType = e.type;
    EdBarcode1 = e.barcode;
    BtBarCode1 = e.search;
    BtOk1 = e.ok;
    LbProdCode1 = e.code;
    LbProdName1 = e.name;
    EdQuantity1 = e.quantity;
    LbPrice1 = e.price;
    LbUnitName1 = e.unit;
    CBFree1 = e.free;
    LbSerialNo1 = e.serialLabel;
    EdSerialNo1 = e.serial;
    DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
    CBConsignType->setObjectName(QStringLiteral("CBConsignType"));
    EdBarcode1->setObjectName(QStringLiteral("EdBarcode1"));
    BtBarCode1->setObjectName(QStringLiteral("BtBarCode1"));
    BtOk1->setObjectName(QStringLiteral("BtOk1"));
    LbProdCode1->setObjectName(QStringLiteral("LbProdCode1"));
    LbProdName1->setObjectName(QStringLiteral("LbProdName1"));
    EdQuantity1->setObjectName(QStringLiteral("EdQuantity1"));
    LbPrice1->setObjectName(QStringLiteral("LbPrice1"));
    LbUnitName1->setObjectName(QStringLiteral("LbUnitName1"));
    CBFree1->setObjectName(QStringLiteral("CBFree1"));
    LbSerialNo1->setObjectName(QStringLiteral("LbSerialNo1"));
    EdSerialNo1->setObjectName(QStringLiteral("EdSerialNo1"));
}

void TFrTarvoAdjAndConsignment::buildAdjustmentPage()
{
    const EntryPage e = buildEntryPage(TabSheet2, QChkBarcode, {QStringLiteral("เพิ่ม"), QStringLiteral("ลด")});
    DateTimePicker1 = e.date;
    CBAdjType = e.type;
    EdBarcode2 = e.barcode;
    BtBarCode2 = e.search;
    BTOk2 = e.ok;
    DBText1 = e.code;
    DBText2 = e.name;
    EdQuantity2 = e.quantity;
    LbPrice2 = e.price;
    DBText3 = e.unit;
    CBFree2 = e.free;
    LbSerialNo2 = e.serialLabel;
    EdSerialNo2 = e.serial;
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    CBAdjType->setObjectName(QStringLiteral("CBAdjType"));
    EdBarcode2->setObjectName(QStringLiteral("EdBarcode2"));
    BtBarCode2->setObjectName(QStringLiteral("BtBarCode2"));
    BTOk2->setObjectName(QStringLiteral("BTOk2"));
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText2->setObjectName(QStringLiteral("DBText2"));
    EdQuantity2->setObjectName(QStringLiteral("EdQuantity2"));
    LbPrice2->setObjectName(QStringLiteral("LbPrice2"));
    DBText3->setObjectName(QStringLiteral("DBText3"));
    CBFree2->setObjectName(QStringLiteral("CBFree2"));
    LbSerialNo2->setObjectName(QStringLiteral("LbSerialNo2"));
    EdSerialNo2->setObjectName(QStringLiteral("EdSerialNo2"));
}

void TFrTarvoAdjAndConsignment::buildDailyPage()
{
    auto *page = new QVBoxLayout(TabSheet3);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(6);

    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(new QLabel(QStringLiteral("สรุปสินค้าระหว่างวันที่"), TabSheet3));
    DateEdit1 = new DatePicker(TabSheet3);
    DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    DateEdit1->setFixedWidth(120);
    top->addWidget(DateEdit1);
    top->addWidget(new QLabel(QStringLiteral("ถึง"), TabSheet3));
    DateEdit2 = new DatePicker(TabSheet3);
    DateEdit2->setObjectName(QStringLiteral("DateEdit2"));
    DateEdit2->setFixedWidth(120);
    top->addWidget(DateEdit2);
    BtOkConsign = new QPushButton(QStringLiteral("ตกลง"), TabSheet3);
    BtOkConsign->setObjectName(QStringLiteral("BtOkConsign"));
    BtOkConsign->setMinimumWidth(75);
    BtOkConsign->setAutoDefault(false);
    top->addWidget(BtOkConsign);
    top->addStretch(1);
    page->addLayout(top);

    DBGRPProdDay = new DataGrid(TabSheet3);
    DBGRPProdDay->setObjectName(QStringLiteral("DBGRPProdDay"));
    DBGRPProdDay->setExportTitle(QStringLiteral("ความเคลื่อนไหวรายวัน"));
    DBGRPProdDay->setDataSource(QRPProdDay, {{QStringLiteral("DocDate"), QStringLiteral("วันที่"), 86},
                                             {QStringLiteral("ConsigTypeText"), QStringLiteral("ประเภท"), 60},
                                             {QStringLiteral("BarCode"), QStringLiteral("BarCode"), 120},
                                             {QStringLiteral("ProdName"), QStringLiteral("สินค้า"), 200},
                                             {QStringLiteral("Quantity"), QStringLiteral("จำนวน"), 100},
                                             {QStringLiteral("UnitName"), QStringLiteral("หน่วย"), 80},
                                             {QStringLiteral("Price"), QStringLiteral("ราคา"), 100},
                                             {QStringLiteral("Total"), QStringLiteral("รวม"), 100}});
    QueryModel *model = QRPProdDay->model();
    model->setFormatter(QStringLiteral("DocDate"), dateCell);
    for (const char *field : {"Quantity", "Price", "Total"})
        model->setAlignment(QLatin1String(field), NumberAlignment);
    page->addWidget(DBGRPProdDay, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto *caption = new QLabel(QStringLiteral("สรุปยอดรวมมูลค่า :"), TabSheet3);
    caption->setFont(boldFont(caption));
    bottom->addWidget(caption);
    LbTotal = new QLabel(QStringLiteral("00.00"), TabSheet3);
    LbTotal->setObjectName(QStringLiteral("LbTotal"));
    LbTotal->setFont(boldFont(LbTotal, true));
    LbTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LbTotal->setMinimumWidth(160);
    bottom->addWidget(LbTotal);
    page->addLayout(bottom);
}

void TFrTarvoAdjAndConsignment::buildOnhandPage()
{
    auto *page = new QVBoxLayout(TabSheet4);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(6);

    auto *top = new QHBoxLayout;
    top->setSpacing(8);
    top->addWidget(new QLabel(QStringLiteral("ปี ค.ศ.  "), TabSheet4));
    GetYear = new NumberEdit(TabSheet4);
    GetYear->setObjectName(QStringLiteral("GetYear"));
    GetYear->setDecimalPlaces(0);
    GetYear->setDisplayFormat(QStringLiteral("0000"));
    GetYear->setMaxLength(4);
    GetYear->setFixedWidth(64);
    top->addWidget(GetYear);
    top->addSpacing(8);
    top->addWidget(new QLabel(QStringLiteral("งวดที่"), TabSheet4));
    PeriodNo = new QComboBox(TabSheet4);
    PeriodNo->setObjectName(QStringLiteral("PeriodNo"));
    PeriodNo->setCursor(Qt::PointingHandCursor);
    PeriodNo->addItems(periodItems());
    PeriodNo->setMinimumWidth(130);
    top->addWidget(PeriodNo);
    BkCustomrtOnhand = new QPushButton(QStringLiteral("ตกลง"), TabSheet4);
    BkCustomrtOnhand->setObjectName(QStringLiteral("BkCustomrtOnhand"));
    BkCustomrtOnhand->setMinimumWidth(75);
    BkCustomrtOnhand->setAutoDefault(false);
    top->addWidget(BkCustomrtOnhand);
    top->addStretch(1);
    page->addLayout(top);

    DBGRPOnhand = new DataGrid(TabSheet4);
    DBGRPOnhand->setObjectName(QStringLiteral("DBGRPOnhand"));
    DBGRPOnhand->setDataSource(QRPOnhand, {{QStringLiteral("BarCode"), QStringLiteral("BarCode"), 150},
                                           {QStringLiteral("Prodname"), QStringLiteral("สินค้า"), 300},
                                           {QStringLiteral("UnitName"), QStringLiteral("หน่วย"), 150},
                                           {QStringLiteral("Quantity"), QStringLiteral("จำนวน"), 150}});
    QRPOnhand->model()->setAlignment(QStringLiteral("Quantity"), NumberAlignment);
    page->addWidget(DBGRPOnhand, 1);
}

void TFrTarvoAdjAndConsignment::setTabOrder()
{
    const QList<QWidget *> order{
        CbBranch,        PageControl1->tabBar(),
        // consignment page: type, barcode, OK button, free goods, quantity, serial number, date
        CBConsignType,   EdBarcode1,
        BtOk1,           CBFree1,
        EdQuantity1,     EdSerialNo1,
        DateTimePicker2,
        // adjustment page: date, type, barcode, OK button, quantity, free goods, serial number
        DateTimePicker1, CBAdjType,
        EdBarcode2,      BTOk2,
        EdQuantity2,     CBFree2,
        EdSerialNo2,
        // views
        DateEdit1,       DateEdit2,
        BtOkConsign,     DBGRPProdDay,
        GetYear,         PeriodNo,
        BkCustomrtOnhand, DBGRPOnhand,
    };
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TFrTarvoAdjAndConsignment::wireHandlers()
{
    FocusExit::watch(CbBranch, [this] { CbBranchExit(); });
    FocusExit::watch(EdBarcode1, [this] { EdBarcode1Exit(); });
    FocusExit::watch(EdBarcode2, [this] { EdBarcode2Exit(); });
    FocusExit::watch(GetYear, [this] { GetYearExit(); });
    // Only the user's changes of the page count; the screen's own (at show) do not.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_settingPage == 0)
            PageControl1Change(index);
    });
    connect(BtBarCode1, &QToolButton::clicked, this, [this] { BtBarCode1Click(); });
    connect(BtBarCode2, &QToolButton::clicked, this, [this] { BtBarCode2Click(); });
    connect(BtOk1, &QPushButton::clicked, this, [this] { BtOk1Click(); });
    connect(BTOk2, &QPushButton::clicked, this, [this] { BTOk2Click(); });
    connect(CBFree1, &QCheckBox::toggled, this, [this] { CBFree1Click(); });
    connect(CBFree2, &QCheckBox::toggled, this, [this] { CBFree2Click(); });
    connect(BtOkConsign, &QPushButton::clicked, this, [this] { BtOkConsignClick(); });
    connect(BkCustomrtOnhand, &QPushButton::clicked, this, [this] { BkCustomrtOnhandClick(); });
}

void TFrTarvoAdjAndConsignment::setBarcodeSearchFactory(BarcodeSearch::Factory factory)
{
    m_searchFactory = std::move(factory);
    m_search.reset();
    BtBarCode1->setEnabled(bool(m_searchFactory));
    BtBarCode2->setEnabled(bool(m_searchFactory));
}

QStringList TFrTarvoAdjAndConsignment::periodItems()
{
    QStringList items{QStringLiteral(" ยกมาต้นปี")};
    for (int month = 1; month <= 12; ++month)
        items << QStringLiteral("%1").arg(month, 3);
    return items;
}

void TFrTarvoAdjAndConsignment::setActivePage(int index)
{
    ++m_settingPage;
    PageControl1->setCurrentIndex(index);
    --m_settingPage;
}

void TFrTarvoAdjAndConsignment::decodeToday()
{
    const QDate today = QDate::currentDate();
    CurYear = quint16(today.year());
    CurMonth = quint16(today.month());
    CurDay = quint16(today.day());
}

void TFrTarvoAdjAndConsignment::fillYearAndPeriod()
{
    decodeToday();
    GetYear->setText(QString::number(CurYear));
    PeriodNo->clear();
    PeriodNo->addItems(periodItems());
    PeriodNo->setCurrentIndex(CurMonth);
}

// ---------------------------------------------------------------------------------------------
// Show, branch, pages, reset, barcode search

void TFrTarvoAdjAndConsignment::FormShow()
{
    // The base show runs the base form's New only; this screen's reset is its last step.
    m_inBaseShow = true;
    try {
        TFrForm::FormShow();
    } catch (...) {
        m_inBaseShow = false;
        throw;
    }
    m_inBaseShow = false;

    Database *db = DM->DMdata;
    if (!db->connected()) {
        WaitCursor wait;
        db->close();
        db->open();
    }

    {
        WaitCursor wait;
        QUserKeyIn->close();
        QUserKeyIn->setParam(QStringLiteral("UserId"), UserId);
        QUserKeyIn->open();
    }
    UserKeyIn = QUserKeyIn->fieldByName(QStringLiteral("UserCode")).asString();

    setActivePage(ConsignmentPage);

    {
        WaitCursor wait;
        QBranch->close();
        QBranch->open();
    }
    QBranch->first();
    CbBranch->setValue(QBranch->fieldByName(QStringLiteral("CusName")).asString());
    CbBranch->setFocus(Qt::OtherFocusReason);

    fillYearAndPeriod();

    AcNewExecute();
}

void TFrTarvoAdjAndConsignment::CbBranchExit()
{
    UserCode = QBranch->fieldByName(QStringLiteral("UserCode")).asString();
    CusCode = QBranch->fieldByName(QStringLiteral("CusCode")).asString();
    CusId = QBranch->fieldByName(QStringLiteral("CusId")).asInteger();
    QRPOnhand->close();
    fillYearAndPeriod();
}

void TFrTarvoAdjAndConsignment::PageControl1Change(int index)
{
    if (index == AdjustmentPage)
        AcNewExecute();
}

void TFrTarvoAdjAndConsignment::AcNewExecute()
{
    TFrForm::AcNewExecute();
    if (m_inBaseShow)
        return;

    {
        WaitCursor wait;
        QRPProdDay->close();
        QRPProdDay->open();
    }

    QProduct->close();
    QChkBarcode->close();
    m_foundBarcode1.clear();
    m_foundBarcode2.clear();

    const QDate today = QDate::currentDate();
    for (DatePicker *picker : {DateEdit1, DateEdit2, DateTimePicker1, DateTimePicker2})
        picker->setDate(today);

    CBConsignType->setCurrentIndex(0);
    CBAdjType->setCurrentIndex(0);

    EdBarcode1->clear();
    EdBarcode2->clear();
    EdSerialNo1->clear();
    EdSerialNo2->clear();
    UseSerial.clear();

    LbSerialNo1->hide();
    EdSerialNo1->hide();
    EdQuantity1->setEnabled(false);
    LbSerialNo2->hide();
    EdSerialNo2->hide();
    EdQuantity2->setEnabled(false);
    EdQuantity1->setReadOnly(false);
    EdQuantity2->setReadOnly(false);

    LbTotal->setText(QStringLiteral("00.00"));

    EdQuantity1->setText(QStringLiteral("0"));
    EdQuantity2->setText(QStringLiteral("0"));
    LbPrice1->setText(QStringLiteral("0"));
    LbPrice2->setText(QStringLiteral("0"));

    const QSignalBlocker block1(CBFree1);
    const QSignalBlocker block2(CBFree2);
    CBFree1->setChecked(false);
    CBFree2->setChecked(false);
}

void TFrTarvoAdjAndConsignment::searchBarcode(QLineEdit *barcodeBox)
{
    if (!m_searchFactory)
        return;
    if (!m_search)
        m_search = m_searchFactory(this);
    // The search buttons take no focus: this is the control the user was in.
    const QPointer<QWidget> before = focusWidget();
    const std::optional<QString> chosen = m_search->choose();
    if (!chosen)
        return;
    barcodeBox->setText(*chosen);
    FocusExit::refocus(barcodeBox);
    // Going from the branch box into the barcode box is leaving the branch box, even with the
    // dialog in between: the branch shown becomes current, so that the line is not saved for
    // the branch chosen before.
    if (before == CbBranch)
        CbBranchExit();
}

void TFrTarvoAdjAndConsignment::BtBarCode1Click()
{
    searchBarcode(EdBarcode1);
}

void TFrTarvoAdjAndConsignment::BtBarCode2Click()
{
    searchBarcode(EdBarcode2);
}

// ---------------------------------------------------------------------------------------------
// Consignment entry (page 0)

void TFrTarvoAdjAndConsignment::EdBarcode1Exit()
{
    BtOk1Click();
}

void TFrTarvoAdjAndConsignment::BtOk1Click()
{
    if (EdBarcode1->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุบาร์โค้ด"));
        return;
    }
    const QString barcode = EdBarcode1->text().trimmed();
    {
        WaitCursor wait;
        QProduct->close();
        QProduct->setParam(QStringLiteral("Barcode"), barcode);
        QProduct->open();
    }
    QProduct->last();
    if (QProduct->isEmpty()) {
        showMessage(QStringLiteral("ไม่พบ Barcode ") + EdBarcode1->text().toUpper().trimmed());
        AcNewExecute();
        return;
    }
    EdQuantity1->setEnabled(true);
    AcSave->setEnabled(true);
    UseSerial = QProduct->fieldByName(QStringLiteral("UseSerial")).asString();
    OldPrice = QProduct->fieldByName(QStringLiteral("Price")).asFloat();
    LbPrice1->setText(QProduct->fieldByName(QStringLiteral("Price")).asString());
    m_foundBarcode1 = barcode;
    if (UseSerial == QLatin1String("Y")) {
        EdQuantity1->setText(QStringLiteral("1"));
        EdQuantity1->setReadOnly(true);
        LbSerialNo1->show();
        EdSerialNo1->show();
        FocusExit::refocus(EdSerialNo1);
    }
}

void TFrTarvoAdjAndConsignment::CBFree1Click()
{
    LbPrice1->setText(CBFree1->isChecked() ? QStringLiteral("0") : FloatToStr(OldPrice));
}

void TFrTarvoAdjAndConsignment::AcSaveExecute()
{
    switch (PageControl1->currentIndex()) {
    case ConsignmentPage:
        consignmentSave();
        break;
    case AdjustmentPage:
        adjustmentSave();
        break;
    default:
        break;
    }
}

void TFrTarvoAdjAndConsignment::consignmentSave()
{
    const QString consigType = CBConsignType->currentIndex() == 1 ? QStringLiteral("R") : QStringLiteral("S");
    if (EdBarcode1->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ Barcode"));
        return;
    }
    // The box no longer holds the barcode the shown product and price were found by (it was
    // changed without leaving it): look the new one up instead of saving it with the price and
    // serial flag of another product.
    if (EdBarcode1->text().trimmed() != m_foundBarcode1) {
        BtOk1Click();
        return;
    }
    if (EdQuantity1->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ จำนวน"));
        FocusExit::refocus(EdQuantity1);
        return;
    }
    if (UseSerial == QLatin1String("Y") && EdSerialNo1->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ Serial Number"));
        FocusExit::refocus(EdSerialNo1);
        return;
    }
    if (EdQuantity1->text().trimmed().isEmpty())
        EdQuantity1->setText(QStringLiteral("0"));
    Quantity = EdQuantity1->value();
    if (LbPrice1->text().trimmed().isEmpty())
        LbPrice1->setText(QStringLiteral("0"));
    Price = StrToFloat(LbPrice1->text());
    const QString barcode = EdBarcode1->text().trimmed();
    const QString serialNumber = EdSerialNo1->text();
    QString chkFree = QStringLiteral("N");
    if (CBFree1->isChecked()) {
        chkFree = QStringLiteral("Y");
        Price = 0;
    }
    saveLine(ConsignmentSql::SaveConsignment, consigType, barcode, serialNumber, chkFree, DateTimePicker2->date());
}

void TFrTarvoAdjAndConsignment::saveLine(const Statement &statement, const QString &consigType, const QString &barcode,
                                         const QString &serialNumber, const QString &chkFree, const QDate &editDate)
{
    QSave->setStatement(statement);
    QSave->setParam(QStringLiteral("UserCode"), UserCode);
    QSave->setParam(QStringLiteral("UserKeyIn"), UserKeyIn);
    QSave->setParam(QStringLiteral("Customer"), CusId);
    QSave->setParam(QStringLiteral("ConsigType"), consigType.toUpper().trimmed());
    QSave->setParam(QStringLiteral("Barcode"), barcode);
    QSave->setParam(QStringLiteral("SerialNumber"), serialNumber);
    QSave->setParam(QStringLiteral("Quantity"), Quantity);
    QSave->setParam(QStringLiteral("Price"), Price);
    QSave->setParam(QStringLiteral("ChkFree"), chkFree);
    QSave->setParam(QStringLiteral("OldPrice"), OldPrice);
    QSave->setParam(QStringLiteral("EditDate"), editDate);
    {
        WaitCursor wait;
        QSave->execSql();
    }
    // The line is stored: until the reset below has emptied the page, Save must not store it
    // a second time.
    AcSave->setEnabled(false);
    showMessage(QStringLiteral("บันทึกเรียบร้อย"));
    AcNewExecute();
}

// ---------------------------------------------------------------------------------------------
// Stock adjustment entry (page 1)

void TFrTarvoAdjAndConsignment::EdBarcode2Exit()
{
    BTOk2Click();
}

void TFrTarvoAdjAndConsignment::BTOk2Click()
{
    if (EdBarcode2->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ Barcode"));
        return;
    }
    const QString barcode = EdBarcode2->text().trimmed();
    {
        WaitCursor wait;
        QChkBarcode->close();
        QChkBarcode->setParam(QStringLiteral("Barcode"), barcode);
        QChkBarcode->open();
    }
    QChkBarcode->last();
    if (QChkBarcode->isEmpty()) {
        showMessage(QStringLiteral("ไม่พบ Barcode !!"));
        FocusExit::refocus(EdBarcode2);
        return;
    }
    EdQuantity2->setEnabled(true);
    AcSave->setEnabled(true);
    UseSerial = QChkBarcode->fieldByName(QStringLiteral("UseSerial")).asString();
    OldPrice = QChkBarcode->fieldByName(QStringLiteral("Price")).asFloat();
    LbPrice2->setText(QChkBarcode->fieldByName(QStringLiteral("Price")).asString());
    m_foundBarcode2 = barcode;
    if (UseSerial == QLatin1String("Y")) {
        EdQuantity2->setText(QStringLiteral("1"));
        EdQuantity2->setReadOnly(true);
        LbSerialNo2->show();
        EdSerialNo2->show();
        FocusExit::refocus(EdSerialNo2);
    }
}

void TFrTarvoAdjAndConsignment::CBFree2Click()
{
    LbPrice2->setText(CBFree2->isChecked() ? QStringLiteral("0") : FloatToStr(OldPrice));
}

void TFrTarvoAdjAndConsignment::adjustmentSave()
{
    const QString consigType = QStringLiteral("A");
    if (EdBarcode2->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ Barcode"));
        FocusExit::refocus(EdBarcode2);
        return;
    }
    // As on the consignment page: a barcode changed since its lookup is looked up, not saved.
    if (EdBarcode2->text().trimmed() != m_foundBarcode2) {
        BTOk2Click();
        return;
    }
    if (EdQuantity2->text().isEmpty()) {
        showMessage(QStringLiteral("ระบุ จำนวน"));
        FocusExit::refocus(EdQuantity2);
        return;
    }
    Quantity = EdQuantity2->value();
    if (CBAdjType->currentIndex() == 1)
        Quantity = Quantity * -1;
    if (Quantity == 0)
        Quantity = 0; // a decrease of 0 is 0, not -0
    if (LbPrice2->text().trimmed().isEmpty())
        LbPrice2->setText(QStringLiteral("0"));
    Price = StrToFloat(LbPrice2->text());
    const QString barcode = EdBarcode2->text().trimmed();
    const QString serialNumber = EdSerialNo2->text();
    QString chkFree = QStringLiteral("N");
    if (CBFree2->isChecked()) {
        chkFree = QStringLiteral("Y");
        Price = 0;
    }
    if (UseSerial == QLatin1String("Y") && serialNumber.isEmpty()) {
        FocusExit::refocus(EdSerialNo2);
        showMessage(QStringLiteral("ระบุ SerialNumber"));
        return;
    }
    saveLine(ConsignmentSql::SaveAdjustment, consigType, barcode, serialNumber, chkFree, DateTimePicker1->date());
}

// ---------------------------------------------------------------------------------------------
// Views (pages 2 and 3)

void TFrTarvoAdjAndConsignment::BtOkConsignClick()
{
    // The grid neither paints nor follows the rows while they are walked; it follows again
    // whether or not the reading succeeds.
    DBGRPProdDay->disableControls();
    struct FollowAgain {
        DataGrid *grid;
        ~FollowAgain() { grid->enableControls(); }
    } followAgain{DBGRPProdDay};

    QRPProdDay->close();
    QRPProdDay->setParam(QStringLiteral("BeginConsigDate"), DateEdit1->date());
    QRPProdDay->setParam(QStringLiteral("EndConsigDate"), DateEdit2->date());
    QRPProdDay->setParam(QStringLiteral("CusCode"), CusCode);
    {
        WaitCursor wait;
        QRPProdDay->open();
    }
    double total = 0;
    if (!QRPProdDay->isEmpty()) {
        QRPProdDay->first();
        while (!QRPProdDay->eof()) {
            total += QRPProdDay->fieldByName(QStringLiteral("Total")).asFloat();
            QRPProdDay->next();
        }
    }
    DBGRPProdDay->enableControls();
    QRPProdDay->first();
    LbTotal->setText(FormatFloat(TotalFormat, total));
}

void TFrTarvoAdjAndConsignment::BkCustomrtOnhandClick()
{
    QRPOnhand->close();
    QRPOnhand->setParam(QStringLiteral("CusCode"), CusCode);
    QRPOnhand->setParam(QStringLiteral("GetYear"), StrToInt(GetYear->text()));
    QRPOnhand->setParam(QStringLiteral("GetPeriodNo"), PeriodNo->currentIndex());
    WaitCursor wait;
    QRPOnhand->open();
}

void TFrTarvoAdjAndConsignment::GetYearExit()
{
    if (GetYear->text().trimmed().size() != 4) {
        showMessage(QStringLiteral("ใส่จำนวนหลัก ปี ค.ศ. ไม่ถูกต้อง !"));
        FocusExit::refocus(GetYear);
    }
}
