#include "platform/core/Exceptions.h"
#include "platform/sql/Database.h"
#include "platform/sql/Query.h"
#include "platform/ui/DataLabel.h"
#include "platform/ui/DatePicker.h"
#include "platform/ui/FocusExit.h"
#include "platform/ui/LookupCombo.h"
#include "platform/ui/NumberEdit.h"
#include "support/ScriptedDialogService.h"
#include "support/TempDir.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace platform;

namespace {

bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// A number box as the screens use it: 0 decimals, thousands separated.
NumberEdit *quantityBox(QWidget *parent)
{
    auto *edit = new NumberEdit(parent);
    edit->setDecimalPlaces(0);
    edit->setDisplayFormat(",0");
    return edit;
}

} // namespace

class TestUiWidgets : public QObject
{
    Q_OBJECT
    TempDatabases m_dbs;
    Database *m_db = nullptr;

private Q_SLOTS:
    void initTestCase()
    {
        m_db = new Database("DMDATA", this);
        m_db->params = m_dbs.params("widgets");
        m_db->setCreateIfMissing(true);
        m_db->open();
        m_db->executeBatch("create table Branch (UserCode text, CusCode text, CusName text, CusId integer);"
                           "insert into Branch values ('U01', 'C100', 'สาขาสยาม', 100),"
                           " ('U02', 'C200', 'สาขาบางนา', 200), ('U03', 'C300', 'สาขาเชียงใหม่', 300);");
    }

    // Number box -------------------------------------------------------------------------------

    void numberBoxTakesOnlyWhatKeepsANumber()
    {
        QWidget window;
        auto *edit = quantityBox(&window);
        QVERIFY(showActive(window));
        edit->setFocus();
        QTest::keyClicks(edit, "12a3.4-,5");
        QCOMPARE(edit->text(), QString("12345"));
        edit->clear();
        QTest::keyClicks(edit, "-7+");
        QCOMPARE(edit->text(), QString("-7"));
        edit->clear();
        QTest::keyClicks(edit, "5");
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClicks(edit, "-");
        QCOMPARE(edit->text(), QString("-5"));

        auto *price = new NumberEdit(&window);
        price->setDecimalPlaces(2);
        price->show();
        price->setFocus();
        QTest::keyClicks(price, "1.2345.6");
        QCOMPARE(price->text(), QString("1.23"));

        edit->setReadOnly(true);
        edit->setFocus();
        QTest::keyClicks(edit, "9");
        QCOMPARE(edit->text(), QString("-5"));
    }

    void numberBoxValueAndDisplay()
    {
        QWidget window;
        auto *edit = quantityBox(&window);
        auto *other = new QLineEdit(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        QVERIFY(showActive(window));
        edit->setFocus();
        QTest::keyClicks(edit, "1234");
        QCOMPARE(edit->displayText(), QString("1234"));
        other->setFocus();
        QCOMPARE(edit->text(), QString("1234"));
        QCOMPARE(edit->formattedText(), QString("1,234"));
        QCOMPARE(edit->value(), 1234.0);

        edit->setText("");
        QCOMPARE(edit->value(), 0.0);
        QCOMPARE(edit->formattedText(), QString("0"));
        edit->setText("-");
        QCOMPARE(edit->value(), 0.0);
        edit->setText(" 1,234,567 ");
        QCOMPARE(edit->value(), 1234567.0);
        QCOMPARE(edit->formattedText(), QString("1,234,567"));
        edit->setValue(-2500);
        QCOMPARE(edit->text(), QString("-2500"));
        QCOMPARE(edit->formattedText(), QString("-2,500"));

        edit->setText("12a");
        try {
            edit->value();
            QFAIL("no conversion error");
        } catch (const EConvertError &e) {
            QCOMPARE(e.message(), QString("'12a' is not a valid floating point value"));
        }
        QCOMPARE(edit->formattedText(), QString("12a"));

        auto *price = new NumberEdit(&window);
        price->setDecimalPlaces(2);
        price->setDisplayFormat("#,##0.00");
        price->setValue(1.5);
        QCOMPARE(price->text(), QString("1.5"));
        QCOMPARE(price->formattedText(), QString("1.50"));

        // The painted box does not fail on either side of the focus.
        QVERIFY(!edit->grab().isNull());
        edit->setFocus();
        QVERIFY(!edit->grab().isNull());
    }

    void yearBox()
    {
        QWidget window;
        auto *year = new NumberEdit(&window);
        year->setDisplayFormat("0000");
        year->setMaxLength(4);
        auto *other = new QLineEdit(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(year);
        layout->addWidget(other);
        QVERIFY(showActive(window));
        year->setFocus();
        QTest::keyClicks(year, "20245");
        QCOMPARE(year->text(), QString("2024"));
        QCOMPARE(year->formattedText(), QString("2024"));

        year->clear();
        QTest::keyClicks(year, "26");
        other->setFocus();
        // Shown padded, but the text stays what was typed, so a short year can be refused.
        QCOMPARE(year->formattedText(), QString("0026"));
        QCOMPARE(year->text(), QString("26"));
    }

    void leavingANumberBoxChecksItsText()
    {
        ScriptedDialogService dialogs;
        QWidget window;
        auto *edit = quantityBox(&window);
        auto *other = new QLineEdit(&window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(edit);
        layout->addWidget(other);
        int screenExits = 0;
        FocusExit::watch(edit, [&] { ++screenExits; });
        QVERIFY(showActive(window));

        edit->setText("12a");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(dialogs.texts(), QStringList({"'12a' is not a valid floating point value"}));
        QCOMPARE(dialogs.last().kind, DialogService::Kind::Error);
        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->selectedText(), QString("12a"));
        QCOMPARE(screenExits, 0);

        edit->setText("12");
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), other);
        QCOMPARE(screenExits, 1);
        QCOMPARE(dialogs.count(), 1);

        // Switched off, the text is left to the screen.
        edit->setCheckOnExit(false);
        edit->setText("x");
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), other);
        QCOMPARE(screenExits, 2);
        QCOMPARE(dialogs.count(), 1);
    }

    // Date picker ------------------------------------------------------------------------------

    void datePickerShowsAndReadsDayMonthYear()
    {
        QWidget window;
        auto *picker = new DatePicker(&window);
        QVERIFY(showActive(window));
        QCOMPARE(picker->date(), QDate::currentDate());

        picker->setDate(QDate(2024, 2, 29));
        QCOMPARE(picker->text(), QString("29/02/2024"));

        picker->setFocus();
        picker->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(picker, "15");
        QCOMPARE(picker->date(), QDate(2024, 2, 15));
        picker->setSelectedSection(QDateTimeEdit::MonthSection);
        QTest::keyClicks(picker, "03");
        QCOMPARE(picker->date(), QDate(2024, 3, 15));
        QCOMPARE(picker->text(), QString("15/03/2024"));
    }

    void datePickerCalendarIsNotLeaving()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *picker = new DatePicker(&window);
        auto *other = new QLineEdit(&window);
        layout->addWidget(picker);
        layout->addWidget(other);
        int exits = 0;
        FocusExit::watch(picker, [&] { ++exits; });
        QVERIFY(showActive(window));
        picker->setDate(QDate(2024, 5, 10));
        picker->setFocus();

        // The drop-down arrow at the right end of the box.
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(picker->width() - 6, picker->height() / 2));
        QCalendarWidget *calendar = picker->calendarWidget();
        QTRY_VERIFY(calendar->isVisible());
        QCOMPARE(exits, 0);
        QWidget *days = calendar->findChild<QAbstractItemView *>();
        QVERIFY(days);
        QTest::keyClick(days, Qt::Key_Right);
        QTest::keyClick(days, Qt::Key_Return);
        QTRY_VERIFY(!calendar->isVisible());
        QCOMPARE(picker->date(), QDate(2024, 5, 11));
        QTRY_COMPARE(QApplication::focusWidget(), picker);
        QCOMPARE(exits, 0);

        // Tab leaves the box from any section.
        picker->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClick(picker, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), other);
        QCOMPARE(exits, 1);
    }

    // Lookup combo and data label --------------------------------------------------------------

    void lookupComboPositionsItsQuery()
    {
        Query branches(m_db);
        branches.setSql(
            {"Select UserCode, CusCode, CusName, CusId", "From Branch", "Where UserCode Like :Users", "Order By UserCode"});
        branches.setParam("Users", "U%");
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *combo = new LookupCombo(&window);
        auto *other = new QLineEdit(&window);
        layout->addWidget(combo);
        layout->addWidget(other);
        combo->setLookup(&branches, "cusname");
        QVERIFY(showActive(window));
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->value(), QString());

        branches.open();
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->value(), QString("สาขาสยาม"));
        QCOMPARE(branches.recNo(), 0);

        // Keyboard in the box.
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(combo->value(), QString("สาขาเชียงใหม่"));
        QCOMPARE(branches.recNo(), 2);
        QCOMPARE(branches.fieldByName("CusCode").asString(), QString("C300"));
        QCOMPARE(branches.fieldByName("CusId").asInteger(), 300);

        // The drop-down list.
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        combo->view()->setCurrentIndex(combo->model()->index(1, combo->modelColumn()));
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(branches.recNo(), 1);
        QCOMPARE(branches.fieldByName("UserCode").asString(), QString("U02"));

        // The query moved by code.
        branches.first();
        QCOMPARE(combo->value(), QString("สาขาสยาม"));
        branches.last();
        QCOMPARE(combo->value(), QString("สาขาเชียงใหม่"));

        // Set up again over the same query: it still follows.
        combo->setLookup(&branches, "CusName");
        branches.first();
        QCOMPARE(combo->value(), QString("สาขาสยาม"));
        branches.close();
        branches.open();
        QCOMPARE(combo->count(), 3);
        branches.setRecNo(1);
        QCOMPARE(combo->value(), QString("สาขาบางนา"));

        // By shown text.
        QVERIFY(combo->setValue("สาขาบางนา"));
        QCOMPARE(branches.fieldByName("CusCode").asString(), QString("C200"));
        QVERIFY(!combo->setValue("ไม่มี"));
        QCOMPARE(branches.recNo(), 1);
        QCOMPARE(combo->value(), QString("สาขาบางนา"));

        // Reopened: the first row again.
        branches.close();
        QCOMPARE(combo->value(), QString());
        branches.open();
        QCOMPARE(combo->value(), QString("สาขาสยาม"));
        QCOMPARE(branches.recNo(), 0);

        // No rows: an empty box that moves nothing.
        branches.setParam("Users", "none");
        branches.open();
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->value(), QString());
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(combo, Qt::Key_Delete);
        QCOMPARE(branches.recNo(), -1);
    }

    void lookupComboHasNoClearKey()
    {
        Query branches(m_db);
        branches.setSql({"Select CusName From Branch Order By UserCode"});
        branches.open();
        QWidget window;
        auto *combo = new LookupCombo(&window);
        combo->setLookup(&branches, "CusName");
        QVERIFY(showActive(window));
        combo->setFocus();
        for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Escape})
            QTest::keyClick(combo, key);
        QCOMPARE(combo->value(), QString("สาขาสยาม"));
        QCOMPARE(branches.recNo(), 0);
    }

    void dataLabelFollowsTheCurrentRow()
    {
        Query branches(m_db);
        branches.setSql({"Select UserCode, CusName, CusId From Branch Where UserCode Like :Users Order By UserCode"});
        branches.setParam("Users", "%");
        DataLabel name;
        DataLabel id;
        name.setDataField(&branches, "CusName");
        id.setDataField(&branches, "cusid");
        QCOMPARE(name.text(), QString());

        branches.open();
        QCOMPARE(name.text(), QString("สาขาสยาม"));
        QCOMPARE(id.text(), QString("100"));
        branches.next();
        QCOMPARE(name.text(), QString("สาขาบางนา"));
        branches.setRecNo(2);
        QCOMPARE(id.text(), QString("300"));
        branches.close();
        QCOMPARE(name.text(), QString());
        QCOMPARE(id.text(), QString());

        branches.setParam("Users", "none");
        branches.open();
        QCOMPARE(name.text(), QString());

        // Reopened on rows again after an empty result.
        branches.setParam("Users", "U03");
        branches.open();
        QCOMPARE(name.text(), QString("สาขาเชียงใหม่"));
    }
};

QTEST_MAIN(TestUiWidgets)
#include "tst_uiwidgets.moc"
