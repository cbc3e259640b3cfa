#include "consignment/OfflineSerialCheck.h"

#include "consignment/OfflineJournal.h"
#include "consignment/ScanCopy.h"
#include "platform/core/Exceptions.h"

using namespace platform;

namespace {

QString typeOf(const ConsignmentLine &line)
{
    return line.consigType.trimmed().toUpper();
}

} // namespace

OfflineSerialCheck::OfflineSerialCheck(const ScanCopy &copy, const OfflineJournal &journal)
    : m_copy(copy)
    , m_journal(journal)
{}

bool OfflineSerialCheck::onSale(const ConsignmentLine &line, const QString &productCode) const
{
    bool sale = m_copy.serialOnSale(line.customer, productCode, line.serialNumber);
    for (const JournalEntry &e : m_journal.withSerial(line.customer, line.serialNumber, m_copy.refreshedAt())) {
        const std::optional<ScanProduct> product = m_copy.product(e.line.barcode.trimmed());
        if (!product || product->productCode.compare(productCode, Qt::CaseInsensitive) != 0)
            continue;
        const QString type = typeOf(e.line);
        if (type == QLatin1String("S"))
            sale = true;
        else if (type == QLatin1String("R"))
            sale = false;
    }
    return sale;
}

void OfflineSerialCheck::check(const ConsignmentLine &line) const
{
    if (typeOf(line) != QLatin1String("S") || line.serialNumber.trimmed().isEmpty())
        return;
    const std::optional<ScanProduct> product = m_copy.product(line.barcode.trimmed());
    if (!product || product->useSerial != QLatin1String("Y") || !onSale(line, product->productCode))
        return;
    // The words of Save_Tarvo_Consignment, which the message table explains in Thai.
    throw EDatabaseError(QStringLiteral("Cannot insert duplicate key row in object 'dbo.Tarvo_Consignment' with unique index "
                                        "'IX_Tarvo_Consignment_Serial'. The duplicate key value is (%1, %2, %3).")
                             .arg(line.customer)
                             .arg(product->productCode, line.serialNumber));
}
