// What the clerk sees while a statement waits for the server: the wait cursor and the note on the
// active window; Esc cancels a statement that may be cancelled and is passed on otherwise.
#include "app/ServerWaitNote.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QWidget>

class TestServerWaitNote : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noteCursorAndEscape()
    {
        QWidget window;
        window.resize(400, 300);
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
            QTest::keyClick(&window, Qt::Key_Escape);
            QCOMPARE(cancels, cancellable ? 1 : 0);
            ServerWaitNote::end();
            QVERIFY(!window.findChild<QLabel *>("ServerWaitNote"));
            QVERIFY(!QApplication::overrideCursor());
        }
    }
};

QTEST_MAIN(TestServerWaitNote)
#include "tst_serverwaitnote.moc"
