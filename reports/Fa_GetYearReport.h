#pragma once

#include <QFrame>
#include <QString>

namespace platform {
class NumberEdit;
}
class QGroupBox;
class QLabel;

// A single input for a four-digit year of the Christian era, with its own check when the user
// leaves it and a ready-made condition text for a report header. Thai label by default; "Year"
// for a user whose language is not Thai once the focus enters the frame.
class TFaGetYearReport : public QFrame
{
    Q_OBJECT
public:
    explicit TFaGetYearReport(QWidget *parent = nullptr);

    static constexpr int FrameWidth = 430;
    static constexpr int FrameHeight = 45;

    QGroupBox *YearBox = nullptr;
    QLabel *LbYear = nullptr;
    platform::NumberEdit *GetYear = nullptr;

    // Today's date, filled by the start operations (zero until then).
    quint16 CurYear = 0;
    quint16 CurMonth = 0;
    quint16 CurDay = 0;

    // Today's date into CurYear, CurMonth, CurDay; the year into GetYear.
    void SetStartGetYearFrame();
    // The English captions, then the same as SetStartGetYearFrame.
    void SetStartGetYearFrameEng();
    // The year in GetYear and the condition "ปี ค.ศ. : 2024"; a text that is not an integer
    // raises EConvertError.
    void ConditionGetYearFrame(int &year, QString &condition);
    // The same with "Year : 2024".
    void ConditionGetYearFrameEng(int &year, QString &condition);

    // Leaving GetYear: a year shorter than four characters or below 1000 is refused with a
    // message; the typed text stays and the focus goes back to GetYear.
    void GetYearExit();
    // The focus entered the frame: "Year" unless the user's language is Thai.
    void FrameEnter();

    static QString yearMessage() { return QStringLiteral("จำนวนหลัก ปี ค.ศ. 4 หลัก !"); }
};
