#include "forms/Fr_SearchBarCode.h"

#include "data/U_DM.h"
#include "forms/Fr_SearchBarCodeSql.h"
#include "platform/core/Exceptions.h"
#include "platform/core/IniFile.h"
#include "platform/sql/Field.h"
#include "platform/sql/Query.h"
#include "platform/ui/ConnectGuarded.h"
#include "platform/ui/ExceptionRouter.h"
#include "platform/ui/ThaiFont.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>

using namespace platform;

namespace {

// The sort order of every search of the run, whichever dialog runs it.
SearchBarCodeSql::SortOrder g_sortOrder = SearchBarCodeSql::ByBarCode;

constexpr int FontPixelSize = 13;
// The grid's text is smaller, so that a quantity with its unit name ("1,431.00  ขวด") fits
// the 80-pixel columns.
constexpr int GridFontPixelSize = 11;
constexpr int MaxFieldLength = 60;
constexpr int MinimumClientHeight = 150;

// Settings file keys of the placement; each grid column's width is kept under "DgSearch.<field>".
const QString KeyLeft = QStringLiteral("Left");
const QString KeyTop = QStringLiteral("Top");
const QString KeyWidth = QStringLiteral("Width");
const QString KeyHeight = QStringLiteral("Height");

QString columnKey(const DataGrid::Column &column)
{
    return QStringLiteral("DgSearch.") + column.field;
}

// Reads an integer setting; false when it is missing or not a number.
bool readNumber(const IniFile &ini, const QString &section, const QString &key, int &value)
{
    bool ok = false;
    const int number = ini.value(section, key).toInt(&ok);
    if (ok)
        value = number;
    return ok;
}

} // namespace

const QList<DataGrid::Column> &TFrSearchBarCode::gridColumns()
{
    static const QList<DataGrid::Column> columns{
        {QStringLiteral("BarCode"), QStringLiteral("รหัส"), 130},     {QStringLiteral("Code"), QStringLiteral("รหัสสินค้า"), 100},
        {QStringLiteral("ThaiName"), QStringLiteral("ชื่อสินค้า"), 200}, {QStringLiteral("UnitName"), QStringLiteral("หน่วยนับ"), 80},
        {QStringLiteral("OnHand"), QStringLiteral("คงเหลือ"), 80},    {QStringLiteral("Backorder"), QStringLiteral("ค้างส่ง"), 80},
    };
    return columns;
}

TFrSearchBarCode::TFrSearchBarCode(QWidget *parent)
    : QDialog(parent)
    , m_dm(DM)
{
    if (!m_dm)
        throw EDatabaseError(QStringLiteral("The company data module is not created"));
    setObjectName(QStringLiteral("FrSearchBarCode"));
    setWindowTitle(QStringLiteral("ค้นหา Barcode สินค้า"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(thaiFont(FontPixelSize));

    QSearch = new Query(m_dm->DMdata, this);
    QSearch->setObjectName(QStringLiteral("QSearch"));
    QSearch->setStatement(SearchBarCodeSql::QSearch);

    // Header panel: the search fields and the buttons.
    m_header = new QFrame(this);
    m_header->setObjectName(QStringLiteral("PnHeader"));
    m_header->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_header->setFixedHeight(HeaderPanelHeight);

    m_codeLabel = new QLabel(QStringLiteral("รหัส"), m_header);
    Code = new QLineEdit(m_header);
    Code->setObjectName(QStringLiteral("Code"));
    Code->setMaxLength(MaxFieldLength);
    Code->setFixedWidth(200);
    m_codeLabel->setBuddy(Code);

    m_nameLabel = new QLabel(QStringLiteral("ชื่อสินค้า"), m_header);
    SearchMethod = new QComboBox(m_header);
    SearchMethod->setObjectName(QStringLiteral("SearchMethod"));
    SearchMethod->addItems({QStringLiteral("ขึ้นต้นด้วย"), QStringLiteral("ประกอบด้วย")});
    SearchMethod->setFixedWidth(100);
    Name = new QLineEdit(m_header);
    Name->setObjectName(QStringLiteral("Name"));
    Name->setMaxLength(MaxFieldLength);
    m_nameLabel->setBuddy(Name);

    BtSearch = new QPushButton(QStringLiteral("ค้นหา"), m_header);
    BtSearch->setObjectName(QStringLiteral("BtSearch"));
    Btok = new QPushButton(QStringLiteral("เลือก"), m_header);
    Btok->setObjectName(QStringLiteral("Btok"));
    BtCancel = new QPushButton(QStringLiteral("ไม่เลือก"), m_header);
    BtCancel->setObjectName(QStringLiteral("BtCancel"));
    for (QPushButton *button : {BtSearch, Btok, BtCancel}) {
        // Enter is the dialog's own key (search or select); no button is pressed by it.
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setFixedWidth(72);
    }

    auto *headerLayout = new QGridLayout(m_header);
    headerLayout->setContentsMargins(8, 3, 8, 3);
    headerLayout->setHorizontalSpacing(6);
    headerLayout->setVerticalSpacing(3);
    headerLayout->addWidget(m_codeLabel, 0, 0);
    headerLayout->addWidget(Code, 0, 1, 1, 2, Qt::AlignLeft);
    headerLayout->addWidget(m_nameLabel, 1, 0);
    headerLayout->addWidget(SearchMethod, 1, 1);
    headerLayout->addWidget(Name, 1, 2);
    headerLayout->setColumnStretch(2, 1);
    headerLayout->setColumnMinimumWidth(3, 6);
    headerLayout->addWidget(BtSearch, 0, 4, 2, 1, Qt::AlignVCenter);
    headerLayout->addWidget(Btok, 0, 5, 2, 1, Qt::AlignVCenter);
    headerLayout->addWidget(BtCancel, 0, 6, 2, 1, Qt::AlignVCenter);

    // The result grid: whole rows, one at a time, in the query's current row. Its columns stay
    // the same whether the query is open or not, so the titles are there (and can be clicked)
    // before the first search and the column widths survive every search.
    DgSearch = new DataGrid(this);
    DgSearch->setObjectName(QStringLiteral("DgSearch"));
    DgSearch->setFont(thaiFont(GridFontPixelSize));
    DgSearch->setDataSource(QSearch, gridColumns());
    DgSearch->setSelectionMode(QAbstractItemView::SingleSelection);
    DgSearch->setTabKeyNavigation(false);
    DgSearch->setCornerButtonEnabled(false);
    DgSearch->verticalHeader()->setDefaultSectionSize(DgSearch->fontMetrics().height() + 4);
    QHeaderView *titles = DgSearch->horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setSectionsMovable(false);
    titles->setSectionResizeMode(QHeaderView::Interactive);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addWidget(DgSearch, 1);

    setTabOrder(Code, SearchMethod);
    setTabOrder(SearchMethod, Name);
    setTabOrder(Name, BtSearch);
    setTabOrder(BtSearch, Btok);
    setTabOrder(Btok, BtCancel);
    setTabOrder(BtCancel, DgSearch);

    connectGuarded(BtSearch, &QPushButton::clicked, this, &TFrSearchBarCode::BtSearchClick);
    connectGuarded(Btok, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
    connectGuarded(BtCancel, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
    connectGuarded(titles, &QHeaderView::sectionClicked, this, &TFrSearchBarCode::DgSearchTitleClick);

    setMinimumSize(DefaultClientWidth, MinimumClientHeight);
    resize(DefaultClientWidth, DefaultClientHeight);
    qApp->installEventFilter(this);
}

TFrSearchBarCode::~TFrSearchBarCode() = default;

int TFrSearchBarCode::ShowModal()
{
    return exec();
}

void TFrSearchBarCode::FormShow()
{
    Code->clear();
    Name->clear();
    if (!m_dm->QConfig->isOpen())
        m_dm->QConfig->open();
    // Any other value leaves the list without a selection; the name then matches anywhere.
    const int method = m_dm->QConfig->fieldByName(QStringLiteral("SearchProductMethod")).asInteger();
    SearchMethod->setCurrentIndex(method == 0 || method == 1 ? method : -1);
    QSearch->close();
    if (m_dm->QConfig->fieldByName(QStringLiteral("ShowLastSearch")).asString() == QLatin1String("Y"))
        Name->setText(m_dm->LastSearchName);
    Name->setFocus();
}

void TFrSearchBarCode::BtSearchClick()
{
    m_dm->LastSearchName = Name->text();
    QSearch->close();
    QSearch->setSqlLine(SearchBarCodeSql::FilterLine, SearchBarCodeSql::FilterText);
    QSearch->setSqlLine(SearchBarCodeSql::OrderLine, SearchBarCodeSql::orderText(g_sortOrder));
    // The texts go to the server as LIKE parameters; quotes in them are never part of the SQL.
    const QString name = Name->text().trimmed();
    QSearch->setParam(QStringLiteral("GetCode"), Code->text().trimmed() + QLatin1Char('%'));
    QSearch->setParam(QStringLiteral("GetName"),
                      SearchMethod->currentIndex() == 0 ? name + QLatin1Char('%') : QLatin1Char('%') + name + QLatin1Char('%'));
    QSearch->open();
    if (!QSearch->isEmpty()) {
        selectFirstRow();
        DgSearch->setFocus();
    }
}

void TFrSearchBarCode::selectFirstRow()
{
    const QModelIndex first = DgSearch->model()->index(0, 0);
    DgSearch->setCurrentIndex(first);
    DgSearch->selectRow(0);
    DgSearch->scrollToTop();
}

void TFrSearchBarCode::DgSearchTitleClick(int column)
{
    if (column < 0 || column >= gridColumns().size())
        return;
    const QString field = gridColumns().at(column).field.toUpper();
    if (field == QLatin1String("BARCODE"))
        g_sortOrder = SearchBarCodeSql::ByBarCode;
    else if (field == QLatin1String("THAINAME"))
        g_sortOrder = SearchBarCodeSql::ByThaiName;
    else if (field == QLatin1String("CODE"))
        g_sortOrder = SearchBarCodeSql::ByCode;
    BtSearchClick();
}

void TFrSearchBarCode::DgSearchDblClick()
{
    done(QDialog::Accepted);
}

bool TFrSearchBarCode::FormKeyDown(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const QWidget *focus = QApplication::focusWidget();
        if (focus && focus->objectName().toUpper() == QLatin1String("DGSEARCH"))
            done(QDialog::Accepted);
        else
            BtSearchClick();
        return true;
    }
    case Qt::Key_Escape:
        done(QDialog::Rejected);
        return true;
    default:
        return false;
    }
}

int TFrSearchBarCode::FormClose(int result)
{
    if (result == QDialog::Accepted && QSearch->isOpen() && !QSearch->isEmpty()) {
        SelectedBarCode = QSearch->fieldByName(QStringLiteral("BarCode")).asString();
    } else {
        SelectedBarCode.clear();
        result = QDialog::Rejected;
    }
    QSearch->close();
    return result;
}

void TFrSearchBarCode::done(int result)
{
    const int closing = FormClose(result);
    savePlacement();
    QDialog::done(closing);
}

void TFrSearchBarCode::FormResize()
{
    if (width() < DefaultClientWidth)
        resize(DefaultClientWidth, height());
}

void TFrSearchBarCode::setVisible(bool visible)
{
    if (visible && !isVisible() && !m_placementRestored) {
        m_placementRestored = true;
        restorePlacement();
    }
    QDialog::setVisible(visible);
}

void TFrSearchBarCode::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        ExceptionRouter::run([this] { FormShow(); });
}

void TFrSearchBarCode::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

bool TFrSearchBarCode::isKeyOfThisWindow(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    // Only the first delivery of a key: to the focused control, or to the dialog when nothing in
    // it has the focus. Deliveries to parents of a control that ignored the key are not new keys.
    const QWidget *focus = QApplication::focusWidget();
    return widget == focus || (widget == this && (!focus || focus->window() != this));
}

bool TFrSearchBarCode::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (isVisible() && isKeyOfThisWindow(watched)) {
            auto *key = static_cast<QKeyEvent *>(event);
            bool used = true; // a key whose handling failed goes no further either
            ExceptionRouter::run([&] { used = FormKeyDown(key); });
            if (used)
                return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == DgSearch->viewport() && isVisible()) {
            ExceptionRouter::run([this] { DgSearchDblClick(); });
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrSearchBarCode::restorePlacement()
{
    const IniFile ini(FpSearchBarCode.iniFileName);
    const QString &section = FpSearchBarCode.section;
    int left = 0;
    int top = 0;
    const bool positioned = readNumber(ini, section, KeyLeft, left) && readNumber(ini, section, KeyTop, top);
    // The screen the dialog comes back on: the one where the start of its title bar can be
    // reached; with none (no position, or off every screen of today) it is centred as on a first
    // run, on the primary screen.
    const QScreen *screen = nullptr;
    if (positioned) {
        const QRect titleStart(left, top, 100, 24);
        const QList<QScreen *> screens = QGuiApplication::screens();
        for (const QScreen *candidate : screens) {
            const QRect seen = candidate->availableGeometry().intersected(titleStart);
            if (seen.width() >= 50 && seen.height() >= 12) {
                screen = candidate;
                break;
            }
        }
    }
    const QScreen *sizing = screen ? screen : QGuiApplication::primaryScreen();
    const QRect available = sizing ? sizing->availableGeometry() : QRect(0, 0, 1 << 14, 1 << 14);

    // Never larger than that screen's free area, frame included (nor smaller than the dialog's
    // minimum): a size written by hand or by a larger screen must not make a window of
    // thousands of pixels.
    create(); // the platform's window, which knows the frame around the dialog
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize room = available.size().shrunkBy(frame);
    int width = 0;
    int height = 0;
    if (readNumber(ini, section, KeyWidth, width) && readNumber(ini, section, KeyHeight, height) && width > 0 && height > 0)
        resize(qBound(DefaultClientWidth, width, qMax(DefaultClientWidth, room.width())),
               qBound(MinimumClientHeight, height, qMax(MinimumClientHeight, room.height())));
    // The frame wholly inside the free area, as far as the size allows.
    if (screen) {
        const QSize framed = size().grownBy(frame);
        move(qMax(available.left(), qMin(left, available.right() + 1 - framed.width())),
             qMax(available.top(), qMin(top, available.bottom() + 1 - framed.height())));
    }

    QHeaderView *titles = DgSearch->horizontalHeader();
    for (int i = 0; i < gridColumns().size(); ++i) {
        int columnWidth = 0;
        if (readNumber(ini, section, columnKey(gridColumns().at(i)), columnWidth) && columnWidth > 0)
            titles->resizeSection(i, columnWidth);
    }
}

void TFrSearchBarCode::savePlacement()
{
    if (!m_placementRestored)
        return; // never shown: nothing of this dialog's placement to keep
    // QLM.INI belongs to the whole suite: only this dialog's own keys change.
    IniFile ini(FpSearchBarCode.iniFileName);
    const QString &section = FpSearchBarCode.section;
    ini.setValue(section, KeyLeft, QString::number(pos().x()));
    ini.setValue(section, KeyTop, QString::number(pos().y()));
    ini.setValue(section, KeyWidth, QString::number(width()));
    ini.setValue(section, KeyHeight, QString::number(height()));
    const QHeaderView *titles = DgSearch->horizontalHeader();
    for (int i = 0; i < gridColumns().size(); ++i)
        ini.setValue(section, columnKey(gridColumns().at(i)), QString::number(titles->sectionSize(i)));
    ini.save();
}
