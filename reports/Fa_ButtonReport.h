#pragma once

#include <QFrame>
#include <QList>

class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;

// The button row of every report screen: preview or print, printer set-up, close, and a status
// bar of two panels (250 and 50 pixels). The frame only holds the controls; the hosting form
// binds the buttons and the status bar's double click (statusBarDoubleClicked).
// Captions are Thai; a user whose language is not Thai gets English ones once the focus
// enters the frame (FrameEnter), and they stay English for the life of the form.
class TFaButtonReport : public QFrame
{
    Q_OBJECT
public:
    explicit TFaButtonReport(QWidget *parent = nullptr);

    static constexpr int FrameWidth = 417;
    static constexpr int FrameHeight = 63;

    QGroupBox *GroupButton = nullptr;
    QPushButton *BtPreview = nullptr;
    QPushButton *BtPrintSetup = nullptr;
    QPushButton *BtClose = nullptr;
    QStatusBar *FaStatusBar = nullptr;

    // Panel 0 is filled by the hosting form; panel 1 stays empty.
    QLabel *statusPanel(int index) const { return m_panels.value(index); }

    // The English captions, whatever the user's language.
    void EngButtomCaption();
    // The focus entered the frame: English captions unless the user's language is Thai.
    void FrameEnter();

Q_SIGNALS:
    void statusBarDoubleClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QLabel *> m_panels;
};
