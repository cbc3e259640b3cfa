#pragma once

#include <QApplication>

namespace platform {

// The program's application object. Every event goes through notify(); an exception that leaves
// an event handler is handed to ExceptionRouter and the event loop goes on. A close request whose
// handling failed is refused, so an error while deciding never closes a window.
class TarvoApplication : public QApplication
{
    Q_OBJECT
public:
    TarvoApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace platform
