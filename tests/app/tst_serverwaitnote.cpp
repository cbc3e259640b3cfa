// What the clerk sees while a statement waits for the server: the wait cursor and the note on the
// active window; Esc cancels a statement that may be cancelled; the other keys typed meanwhile
// (and Esc when it cancels nothing) arrive after the wait, in order, a shortcut among them
// taking effect then.
#include "app/ServerWaitNote.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

// Counts the Esc presses that reach a control.
class EscapeCounter : public QObject
{
public:
    EscapeCounter(QObject *control, int *count)
        : m_count(count)
    {
        control->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            ++*m_count;
        return false;
    }

private:
    int *m_count;
};

class TestServerWaitNote : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noteCursorAndEscape()
    {
        QWidget window;
        window.resize(400, 300);
        QLineEdit box(&window);
        int escapesAfter = 0;
        EscapeCounter counter(&box, &escapesAfter);
        QAction save(&window);
        save.setShortcut(Qt::Key_F10);
        window.addAction(&save);
        int saves = 0;
        QObject::connect(&save, &QAction::triggered, [&] { ++saves; });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        for (const bool cancellable : {true, false}) {
            int cancels = 0;
            ServerWaitNote::begin(cancellable ? std::function<void()>([&] { ++cancels; }) : std::function<void()>());
            auto *note = window.findChild<QLabel *>("ServerWaitNote");
            QVERIFY(note && note->isVisible());
            QVERIFY(note->text().startsWith("กำลังรอเซิร์ฟเวอร์ตอบ"));
            QCOMPARE(note->text().contains("Esc"), cancellable);
            QVERIFY(QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
            box.clear();
            QTest::keyClicks(&box, "88");
            QTest::keyClick(&box, Qt::Key_Escape);
            QTest::keyClicks(&box, "5");
            QTest::keyClick(&box, Qt::Key_F10);
            QCOMPARE(cancels, cancellable ? 1 : 0);
            QCOMPARE(box.text(), QString());
            QCOMPARE(saves, 0);
            ServerWaitNote::end();
            QVERIFY(!window.findChild<QLabel *>("ServerWaitNote"));
            QVERIFY(!QApplication::overrideCursor());
            // The keys typed meanwhile arrive afterwards, in order; Esc too when it cancelled nothing.
            QTRY_COMPARE(box.text(), QString("885"));
            QCOMPARE(escapesAfter, cancellable ? 0 : 1);
            QCOMPARE(saves, 1); // a held shortcut works once delivered
            escapesAfter = 0;
            saves = 0;
        }
    }
};

QTEST_MAIN(TestServerWaitNote)
#include "tst_serverwaitnote.moc"
