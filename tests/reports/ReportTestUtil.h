#pragma once

#include "platform/report/ReportDocument.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// The text of the object of that name on the prepared pages (the first placement); a null
// string when the report has none.
inline QString itemText(const ReportDocument &document, const QString &objectName)
{
    for (const ReportPage &page : document.pages) {
        for (const ReportPageItem &item : page.items) {
            if (item.objectName == objectName)
                return item.text;
        }
    }
    return QString();
}

// Runs `answer` on the next modal window once it is open (a dialog that exec() shows).
inline void whenModalOpens(std::function<void(QWidget *)> answer)
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
