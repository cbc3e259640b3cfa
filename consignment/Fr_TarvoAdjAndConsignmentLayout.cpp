// The layout of the consignment screen: the branch group, the four pages and their controls, and
// the tab order. The screen's behaviour is in Fr_TarvoAdjAndConsignment.cpp.
#include "consignment/Fr_TarvoAdjAndConsignment.h"

#include "consignment/DailyMovementExport.h"
#include "consignment/OfflineRows.h"
#include "consignment/SerialNumberValidator.h"
#include "platform/format/Conversions.h"
#include "platform/format/FormatFloat.h"
#include "platform/reportview/ReportGridExport.h"
#include "platform/sql/Query.h"
#include "platform/sql/QueryModel.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DataLabel.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/NumberEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace platform;

namespace {

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

QList<DataGrid::Column> dailyColumns()
{
    return {{QStringLiteral("DocDate"), QStringLiteral("วันที่"), 86},
            {QStringLiteral("ConsigTypeText"), QStringLiteral("ประเภท"), 60},
            {QStringLiteral("BarCode"), QStringLiteral("BarCode"), 120},
            {QStringLiteral("ProdName"), QStringLiteral("สินค้า"), 200},
            {QStringLiteral("Quantity"), QStringLiteral("จำนวน"), 100},
            {QStringLiteral("UnitName"), QStringLiteral("หน่วย"), 80},
            {QStringLiteral("Price"), QStringLiteral("ราคา"), 100},
            {QStringLiteral("Total"), QStringLiteral("รวม"), 100}};
}

QList<DataGrid::Column> onhandColumns()
{
    return {{QStringLiteral("BarCode"), QStringLiteral("BarCode"), 150},
            {QStringLiteral("Prodname"), QStringLiteral("สินค้า"), 300},
            {QStringLiteral("UnitName"), QStringLiteral("หน่วย"), 150},
            {QStringLiteral("Quantity"), QStringLiteral("จำนวน"), 150}};
}

// The box layout among the widget's parent's layouts that holds it.
QBoxLayout *layoutHolding(QLayout *layout, QWidget *widget)
{
    if (!layout)
        return nullptr;
    if (layout->indexOf(widget) >= 0)
        return qobject_cast<QBoxLayout *>(layout);
    for (int i = 0; i < layout->count(); ++i)
        if (QBoxLayout *inner = layoutHolding(layout->itemAt(i)->layout(), widget))
            return inner;
    return nullptr;
}

// A signed change ("+2", "-1"), blank when there is none.
QString changeCell(const QVariant &value)
{
    if (value.isNull() || value.toString().isEmpty())
        return QString();
    const double change = value.toDouble();
    return (change > 0 ? QStringLiteral("+") : QString()) + FloatToStr(change);
}

} // namespace

void TFrTarvoAdjAndConsignment::buildLayout()
{
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
    setTabOrder();
}

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

void TFrTarvoAdjAndConsignment::buildEntryPage(EntryPage &e, QWidget *page, const QStringList &types)
{
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(24, 16, 24, 12);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnMinimumWidth(0, 110);
    grid->setColumnStretch(1, 1);

    auto row = [&](int r, QWidget *label, const QList<QWidget *> &controls) {
        if (label)
            grid->addWidget(label, r, 0);
        auto *box = new QHBoxLayout;
        box->setSpacing(6);
        for (QWidget *w : controls)
            box->addWidget(w);
        box->addStretch(1);
        grid->addLayout(box, r, 1);
    };
    auto dataLabel = [&](const QString &field, int width) {
        auto *label = new DataLabel(page);
        label->setDataField(e.lookup, field);
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

    e.code = dataLabel(QStringLiteral("Code"), 200);
    row(3, rowLabel(QStringLiteral("รหัส :"), page), {e.code});

    e.name = dataLabel(QStringLiteral("Prodname"), 560);
    row(4, rowLabel(QStringLiteral("ชื่อ :"), page), {e.name});

    e.quantity = new NumberEdit(page);
    e.quantity->setDecimalPlaces(0);
    e.quantity->setDisplayFormat(QStringLiteral(",0"));
    e.quantity->setFixedWidth(120);
    // A barcode scanned into the box, or a slip of the finger, is refused rather than stored.
    e.quantity->setMaxIntegerDigits(QuantityDigits, QStringLiteral("ระบุ จำนวน ไม่เกิน %1 หลัก").arg(QuantityDigits));
    row(5, rowLabel(QStringLiteral("จำนวน :"), page), {e.quantity});

    e.price = new QLabel(QStringLiteral("0"), page);
    e.price->setMinimumWidth(72);
    auto *perUnit = new QLabel(QStringLiteral("บาท / "), page);
    e.unit = dataLabel(QStringLiteral("UnitName"), 160);
    row(6, rowLabel(QStringLiteral("ราคา :"), page), {e.price, perUnit, e.unit});

    e.free = new QCheckBox(QStringLiteral("ของแถม"), page);
    row(7, nullptr, {e.free});

    e.serialLabel = rowLabel(QStringLiteral("SerialNo :"), page);
    e.serial = new QLineEdit(page);
    e.serial->setFixedWidth(200);
    // No more than the database keeps: a longer serial number would be cut short by the save
    // call's parameter, so the line stored would not carry the number the clerk sees.
    e.serial->setMaxLength(SerialNumberLength);
    e.serial->setValidator(new SerialNumberValidator(e.serial));
    row(8, e.serialLabel, {e.serial});

    grid->setRowStretch(9, 1);
}

// Each control's object name is the name of its member.
#define TARVO_NAME_BY_MEMBER(member) member->setObjectName(QStringLiteral(#member))

void TFrTarvoAdjAndConsignment::buildConsignmentPage()
{
    buildEntryPage(m_page[ConsignmentPage], TabSheet1, {QStringLiteral("ขาย"), QStringLiteral("รับคืน")});
    TARVO_NAME_BY_MEMBER(DateTimePicker2);
    TARVO_NAME_BY_MEMBER(CBConsignType);
    TARVO_NAME_BY_MEMBER(EdBarcode1);
    TARVO_NAME_BY_MEMBER(BtBarCode1);
    TARVO_NAME_BY_MEMBER(BtOk1);
    TARVO_NAME_BY_MEMBER(LbProdCode1);
    TARVO_NAME_BY_MEMBER(LbProdName1);
    TARVO_NAME_BY_MEMBER(EdQuantity1);
    TARVO_NAME_BY_MEMBER(LbPrice1);
    TARVO_NAME_BY_MEMBER(LbUnitName1);
    TARVO_NAME_BY_MEMBER(CBFree1);
    TARVO_NAME_BY_MEMBER(LbSerialNo1);
    TARVO_NAME_BY_MEMBER(EdSerialNo1);
}

void TFrTarvoAdjAndConsignment::buildAdjustmentPage()
{
    buildEntryPage(m_page[AdjustmentPage], TabSheet2, {QStringLiteral("เพิ่ม"), QStringLiteral("ลด")});
    TARVO_NAME_BY_MEMBER(DateTimePicker1);
    TARVO_NAME_BY_MEMBER(CBAdjType);
    TARVO_NAME_BY_MEMBER(EdBarcode2);
    TARVO_NAME_BY_MEMBER(BtBarCode2);
    TARVO_NAME_BY_MEMBER(BTOk2);
    TARVO_NAME_BY_MEMBER(DBText1);
    TARVO_NAME_BY_MEMBER(DBText2);
    TARVO_NAME_BY_MEMBER(EdQuantity2);
    TARVO_NAME_BY_MEMBER(LbPrice2);
    TARVO_NAME_BY_MEMBER(DBText3);
    TARVO_NAME_BY_MEMBER(CBFree2);
    TARVO_NAME_BY_MEMBER(LbSerialNo2);
    TARVO_NAME_BY_MEMBER(EdSerialNo2);
}

#undef TARVO_NAME_BY_MEMBER

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
    // The export describes the rows shown: the branch and dates they were read for.
    ReportGridExport::connectTo(DBGRPProdDay, [this] {
        const ParamList &read = QRPProdDay->params();
        const QString code = read.value(QStringLiteral("CusCode")).toString();
        const bool shownBranch = QBranch->fieldByName(QStringLiteral("CusCode")).asString() == code;
        return DailyMovementExport::describe(code, shownBranch ? CbBranch->value() : QString(),
                                             read.value(QStringLiteral("BeginConsigDate")).toDate(),
                                             read.value(QStringLiteral("EndConsigDate")).toDate());
    });
    DBGRPProdDay->setDataSource(QRPProdDay, dailyColumns());
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
    DBGRPOnhand->setDataSource(QRPOnhand, onhandColumns());
    QRPOnhand->model()->setAlignment(QStringLiteral("Quantity"), NumberAlignment);
    page->addWidget(DBGRPOnhand, 1);
}

// The offline mode's controls: the journal list's button (at the end of the branch group) and
// key, the daily grid's state column (first, the goods' name narrower so that every column stays
// in sight) with the waiting lines' words under it, the on-hand grid's column of waiting changes.
void TFrTarvoAdjAndConsignment::buildOfflineControls()
{
    AcJournal = keyAction(QStringLiteral("AcJournal"), JournalKey);
    BtJournal = new QPushButton(QStringLiteral("รายการรอส่ง (%1)").arg(keyText(JournalKey)), GroupBox1);
    BtJournal->setObjectName(QStringLiteral("BtJournal"));
    BtJournal->setAutoDefault(false);
    BtJournal->setFocusPolicy(Qt::NoFocus);
    BtJournal->setToolTip(QStringLiteral("รายการในเครื่องที่ยังไม่ได้บันทึกที่เครื่องแม่ข่าย"));
    GroupBox1->layout()->addWidget(BtJournal);
    BtJournal->show();

    QList<DataGrid::Column> daily = dailyColumns();
    daily[3].width = 130;
    daily.prepend({OfflineRows::StateField, QStringLiteral("สถานะ"), 70});
    DBGRPProdDay->setDataSource(QRPProdDay, daily);
    LbWaiting = new QLabel(TabSheet3);
    LbWaiting->setObjectName(QStringLiteral("LbWaiting"));
    LbWaiting->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));
    if (QBoxLayout *bottom = layoutHolding(TabSheet3->layout(), LbTotal))
        bottom->insertWidget(0, LbWaiting, 1);
    LbWaiting->show();

    QList<DataGrid::Column> onhand = onhandColumns();
    onhand[1].width = 260;
    onhand << DataGrid::Column{OfflineRows::WaitingField, QStringLiteral("รอส่ง"), 100};
    DBGRPOnhand->setDataSource(QRPOnhand, onhand);
    QRPOnhand->model()->setFormatter(OfflineRows::WaitingField, changeCell);
    QRPOnhand->model()->setAlignment(OfflineRows::WaitingField, NumberAlignment);
}

void TFrTarvoAdjAndConsignment::setTabOrder()
{
    const QList<QWidget *> order{
        CbBranch,
        PageControl1->tabBar(),
        // consignment page: type, barcode, OK button, free goods, quantity, serial number, date
        CBConsignType,
        EdBarcode1,
        BtOk1,
        CBFree1,
        EdQuantity1,
        EdSerialNo1,
        DateTimePicker2,
        // adjustment page: date, type, barcode, OK button, quantity, free goods, serial number
        DateTimePicker1,
        CBAdjType,
        EdBarcode2,
        BTOk2,
        EdQuantity2,
        CBFree2,
        EdSerialNo2,
        // views
        DateEdit1,
        DateEdit2,
        BtOkConsign,
        DBGRPProdDay,
        GetYear,
        PeriodNo,
        BkCustomrtOnhand,
        DBGRPOnhand,
    };
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
