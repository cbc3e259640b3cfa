#include "support/ModalDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <memory>

namespace ModalDialogs {

void whenOpens(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, ticks] {
        if (++*ticks > 3000) { // nothing opened: give up rather than poll for ever
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

void saveAs(const QString &path)
{
    whenOpens<QFileDialog>([path](QFileDialog *dialog) {
        QLineEdit *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!name) {
            dialog->close();
            return;
        }
        name->setText(path);
        QTest::keyClick(name, Qt::Key_Return);
    });
}

} // namespace ModalDialogs
