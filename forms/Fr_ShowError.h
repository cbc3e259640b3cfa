#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The error report dialog: shows the composed error text of an unhandled exception on red and
// lets the user mail it to the support desk ("Send Error") or just close it ("Don't Send").
// Left alone it closes by itself on the ninth tick of its one-second countdown, sending nothing.
class TFrShowError : public QDialog
{
    Q_OBJECT
public:
    explicit TFrShowError(QWidget *parent = nullptr);
    ~TFrShowError() override;

    QPlainTextEdit *ErrorBox;
    QPushButton *BOk;
    QPushButton *BCancel;
    QLabel *TimeCount;
    QTimer *Timer1;

    // The composed error text; set before the dialog is shown.
    QString ErrorText;

    void FormShow();
    void Timer1Timer();
    void BOkClick();
    void BCancelClick();

    // Creates the dialog, shows it modally with the error text and frees it once it closes.
    static void showError(const QString &errorText);

    // The countdown, shared by every instance: the ticks left and whether a report is being sent.
    static int counter() { return s_counter; }
    static bool sending() { return s_sending; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    static int s_counter;
    static bool s_sending;
};
