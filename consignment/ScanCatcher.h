#pragma once

#include <QObject>
#include <QString>

// Holds what a barcode scanner types while a modal box is up. The box after a save would
// otherwise take the scan of the next item: its characters would go nowhere and the Enter that
// ends them would close the box, losing the item without a word. While a catcher exists, the
// characters typed into a modal window are held instead, and an Enter that ends held characters
// closes the box; an Enter with nothing held closes it as usual. What was held is the scan.
class ScanCatcher : public QObject
{
public:
    ScanCatcher();
    ~ScanCatcher() override;
    ScanCatcher(const ScanCatcher &) = delete;
    ScanCatcher &operator=(const ScanCatcher &) = delete;

    // The characters held, in the order typed ("" when none came).
    const QString &scan() const { return m_scan; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_scan;
};
