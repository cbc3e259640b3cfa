#include "consignment/Fr_OfflineJournal.h"

#include "consignment/OfflineRows.h"
#include "platform/format/Conversions.h"
#include "platform/reportview/ReportGridExport.h"
#include "platform/sql/Query.h"
#include "platform/ui/ConnectGuarded.h"
#include "platform/ui/DataGrid.h"
#include "platform/ui/DialogService.h"
#include "platform/ui/ThaiFont.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace platform;

namespace {

constexpr int FontPixelSize = 13; // as the screens

const QStringList columns{QStringLiteral("Seq"),
                          QStringLiteral("State"),
                          QStringLiteral("Reason"),
                          QStringLiteral("Attempts"),
                          QStringLiteral("EditDate"),
                          QStringLiteral("UserCode"),
                          QStringLiteral("ConsigTypeText"),
                          QStringLiteral("BarCode"),
                          QStringLiteral("ProdName"),
                          QStringLiteral("Quantity"),
                          QStringLiteral("Price"),
                          QStringLiteral("SerialNumber"),
                          QStringLiteral("CreatedAt"),
                          QStringLiteral("LastAttemptAt"),
                          QStringLiteral("DiscardReason"),
                          QStringLiteral("DiscardedBy"),
                          QStringLiteral("DiscardedAt")};

// A journal time (UTC) in the workstation's time, as the clerk reads a clock.
QString localTime(const QDateTime &utc)
{
    return utc.isValid() ? utc.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
}

void showMessage(const QString &text)
{
    DialogService::instance().showMessage(text);
}

} // namespace

QString TFrOfflineJournal::stateText(const JournalEntry &entry)
{
    switch (entry.state) {
    case JournalState::New:
        return QStringLiteral("รอส่ง");
    case JournalState::Sending:
        return QStringLiteral("กำลังส่ง");
    case JournalState::Held:
        return QStringLiteral("รอรายการที่ %1").arg(entry.heldBehind);
    case JournalState::Refused:
        return QStringLiteral("ถูกปฏิเสธ");
    case JournalState::Discarded:
        return QStringLiteral("ยกเลิกแล้ว");
    case JournalState::Stored:
    case JournalState::AlreadyStored:
        break;
    }
    return QStringLiteral("บันทึกแล้ว");
}

TFrOfflineJournal::TFrOfflineJournal(OfflineJournal &journal, const QString &who, QWidget *parent)
    : QDialog(parent)
    , m_journal(journal)
    , m_who(who)
{
    setObjectName(QStringLiteral("FrOfflineJournal"));
    setWindowTitle(QStringLiteral("รายการในเครื่องที่ยังไม่ได้บันทึกที่เครื่องแม่ข่าย"));
    setFont(thaiFont(FontPixelSize));
    QJournal = new Query(nullptr, this);
    QJournal->setObjectName(QStringLiteral("QJournal"));
    build();
    connectGuarded(CBDiscarded, &QCheckBox::toggled, this, [this] { refresh(); });
    connectGuarded(BtRefresh, &QPushButton::clicked, this, [this] { refresh(); });
    connectGuarded(BtDiscard, &QPushButton::clicked, this, &TFrOfflineJournal::BtDiscardClick);
    connectGuarded(BtResend, &QPushButton::clicked, this, &TFrOfflineJournal::BtResendClick);
    connectGuarded(BtExport, &QPushButton::clicked, this, [this] { DgJournal->exportAction()->trigger(); });
    connectGuarded(BtClose, &QPushButton::clicked, this, [this] { close(); });
    refresh();
}

void TFrOfflineJournal::build()
{
    resize(1000, 480);
    auto *page = new QVBoxLayout(this);

    auto *top = new QHBoxLayout;
    CBDiscarded = new QCheckBox(QStringLiteral("แสดงรายการที่ยกเลิกแล้วด้วย"), this);
    CBDiscarded->setObjectName(QStringLiteral("CBDiscarded"));
    BtRefresh = new QPushButton(QStringLiteral("อ่านใหม่"), this);
    BtRefresh->setObjectName(QStringLiteral("BtRefresh"));
    top->addWidget(CBDiscarded);
    top->addStretch(1);
    top->addWidget(BtRefresh);
    page->addLayout(top);

    DgJournal = new DataGrid(this);
    DgJournal->setObjectName(QStringLiteral("DgJournal"));
    DgJournal->setExportTitle(QStringLiteral("รายการในเครื่อง"));
    ReportGridExport::connectTo(DgJournal, [] {
        ReportGridExport::Description d;
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        d.caption = QStringLiteral("รายการในเครื่องที่ยังไม่ได้บันทึกที่เครื่องแม่ข่าย ณ %1").arg(now);
        d.fileName = ReportGridExport::fileNameOf(QStringLiteral("รายการในเครื่อง ") + now);
        return d;
    });
    const QStringList titles{QStringLiteral("ลำดับ"),        QStringLiteral("สถานะ"),   QStringLiteral("เหตุผลของเครื่องแม่ข่าย"),
                             QStringLiteral("ส่งแล้ว (ครั้ง)"), QStringLiteral("วันที่"),     QStringLiteral("สาขา"),
                             QStringLiteral("ประเภท"),      QStringLiteral("BarCode"), QStringLiteral("สินค้า"),
                             QStringLiteral("จำนวน"),       QStringLiteral("ราคา"),    QStringLiteral("SerialNo"),
                             QStringLiteral("บันทึกเมื่อ"),     QStringLiteral("ส่งล่าสุด"),  QStringLiteral("เหตุผลที่ยกเลิก"),
                             QStringLiteral("ยกเลิกโดย"),    QStringLiteral("ยกเลิกเมื่อ")};
    const QList<int> widths{50, 110, 260, 80, 80, 60, 70, 110, 180, 60, 70, 100, 130, 130, 180, 70, 130};
    QList<DataGrid::Column> shown;
    for (int c = 0; c < columns.size(); ++c)
        shown << DataGrid::Column{columns[c], titles[c], widths[c]};
    DgJournal->setDataSource(QJournal, shown);
    page->addWidget(DgJournal, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("เหตุผลที่ยกเลิก :"), this));
    EdReason = new QLineEdit(this);
    EdReason->setObjectName(QStringLiteral("EdReason"));
    EdReason->setMaxLength(200);
    bottom->addWidget(EdReason, 1);
    BtDiscard = new QPushButton(QStringLiteral("ยกเลิกรายการ"), this);
    BtDiscard->setObjectName(QStringLiteral("BtDiscard"));
    BtResend = new QPushButton(QStringLiteral("ส่งใหม่"), this);
    BtResend->setObjectName(QStringLiteral("BtResend"));
    BtExport = new QPushButton(QStringLiteral("ส่งออก Excel"), this);
    BtExport->setObjectName(QStringLiteral("BtExport"));
    BtClose = new QPushButton(QStringLiteral("ปิด"), this);
    BtClose->setObjectName(QStringLiteral("BtClose"));
    for (QPushButton *b : {BtDiscard, BtResend, BtExport, BtClose}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    page->addLayout(bottom);
}

void TFrOfflineJournal::refresh()
{
    const qint64 before =
        QJournal->isOpen() && QJournal->recNo() >= 0 ? QJournal->fieldByName(QStringLiteral("Seq")).asInteger() : 0;
    ResultRows rows;
    rows.columns = columns;
    int current = -1;
    for (const JournalEntry &e : m_journal.forSupervisor(CBDiscarded->isChecked())) {
        const ConsignmentLine &l = e.line;
        if (e.seq == before)
            current = rows.rowCount();
        rows.cells << e.seq << stateText(e) << e.reason << e.attempts << l.editDate << l.userCode << OfflineRows::typeText(l)
                   << l.barcode << l.shown.productName << l.quantity << l.price << l.serialNumber << localTime(e.createdAt)
                   << localTime(e.lastAttemptAt) << e.discardReason << e.discardedBy << localTime(e.discardedAt);
    }
    QJournal->openRows(std::move(rows));
    if (current >= 0)
        QJournal->setRecNo(current);
}

std::optional<JournalEntry> TFrOfflineJournal::selected()
{
    std::optional<JournalEntry> e;
    if (QJournal->recNo() >= 0)
        e = m_journal.entry(QJournal->fieldByName(QStringLiteral("Seq")).asInteger());
    if (!e)
        showMessage(QStringLiteral("เลือกรายการก่อน"));
    return e;
}

void TFrOfflineJournal::BtResendClick()
{
    const std::optional<JournalEntry> e = selected();
    if (!e)
        return;
    if (e->state != JournalState::Refused) {
        showMessage(QStringLiteral("ส่งใหม่ได้เฉพาะรายการที่ถูกปฏิเสธ"));
        return;
    }
    m_journal.resend(e->seq);
    refresh();
}

void TFrOfflineJournal::BtDiscardClick()
{
    const std::optional<JournalEntry> e = selected();
    if (!e)
        return;
    if (e->state != JournalState::Refused && e->state != JournalState::Held) {
        showMessage(QStringLiteral("ยกเลิกได้เฉพาะรายการที่ถูกปฏิเสธ หรือรอรายการที่ถูกปฏิเสธ"));
        return;
    }
    const QString reason = EdReason->text().trimmed();
    if (reason.isEmpty()) {
        showMessage(QStringLiteral("ระบุเหตุผลที่ยกเลิก"));
        EdReason->setFocus();
        return;
    }
    if (!DialogService::instance().confirm(QStringLiteral("ยกเลิกรายการที่ %1 ?").arg(e->seq)))
        return;
    m_journal.discard(e->seq, reason, m_who);
    EdReason->clear();
    refresh();
}
