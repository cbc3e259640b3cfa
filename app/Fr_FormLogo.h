#pragma once

#include <QWidget>

class QLabel;

// The start-up splash: a borderless blue window of 301 x 166 pixels, centred on the desktop,
// filled by one picture. It is shown while the databases open and freed when the company
// database has connected. It stays on top of other windows, so it steps aside while a modal
// window (a message, the error dialog) is up: hidden until the last one has closed.
class TFormLogo : public QWidget
{
    Q_OBJECT
public:
    explicit TFormLogo(QWidget *parent = nullptr);

    // Shows the window and paints it at once, before the slow start-up work.
    void showAndPaint();

    QLabel *Image1;

    static QPixmap picture();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int m_modalWindowsUp = 0;
};
