#include "db/setup/DemoData.h"

#include "db/setup/BulkInsert.h"
#include "platform/sql/Database.h"

#include <QDateTime>
#include <QStringList>

using namespace platform;

namespace {

// A small deterministic generator, so the demo data is the same on every machine.
class Lcg
{
public:
    explicit Lcg(quint32 seed)
        : m_state(seed)
    {}
    quint32 next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    int below(int n) { return int(next() % quint32(n)); }

private:
    quint32 m_state;
};

const QStringList kinds{"น้ำดื่ม",      "กาแฟสำเร็จรูป", "ชาเขียว",     "นมถั่วเหลือง",    "ขนมปังกรอบ", "บะหมี่กึ่งสำเร็จรูป",
                        "น้ำปลา",     "ซีอิ๊วขาว",      "ข้าวหอมมะลิ",  "น้ำมันพืช",       "สบู่เหลว",    "ยาสีฟัน",
                        "แชมพู",      "ผงซักฟอก",     "น้ำยาล้างจาน", "กระดาษทิชชู่",    "ผ้าอนามัย",   "ผ้าอ้อมเด็ก",
                        "ขนมขบเคี้ยว", "ลูกอม",        "ช็อกโกแลต",   "เครื่องดื่มชูกำลัง", "น้ำผลไม้",    "โยเกิร์ต"};
const QStringList serialKinds{"พัดลมตั้งพื้น", "หม้อหุงข้าวไฟฟ้า", "เครื่องปั่นน้ำผลไม้", "กาต้มน้ำไฟฟ้า", "เตารีดไอน้ำ"};
const QStringList brands{"ตราช้าง", "ตรานกแก้ว", "ตราดอกบัว", "ตราเสือ", "ตราปลาทอง", "ตราแม่ครัว", "ตราสิงห์", "ตรามงกุฎ"};
const QStringList sizes{"250 มล.", "600 มล.", "1 ลิตร", "100 กรัม", "500 กรัม", "1 กก.", "ขนาดเล็ก", "ขนาดใหญ่", "สูตรดั้งเดิม", "รสต้มยำ"};
const QStringList branchNames{"สาขาเซ็นทรัลลาดพร้าว", "สาขาสยามพารากอน", "สาขาเชียงใหม่ นิมมาน", "สาขาขอนแก่น",
                              "สาขาหาดใหญ่",        "สาขาพัทยากลาง",    "สาขาภูเก็ต",          "สาขาอุดรธานี"};
const QStringList customerNames{"ร้านสมใจพาณิชย์",     "ห้างหุ้นส่วนจำกัด รุ่งเรืองค้าส่ง", "ร้านป้าแดง",
                                "บริษัท ทวีทรัพย์ จำกัด", "ร้านเจริญมินิมาร์ท",           "ร้านโชคดีการค้า"};

QString dateText(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QVariant dateValue(Database &db, const QDate &d)
{
    return db.dialect() == SqlDialect::Sqlite ? QVariant(dateText(d)) : QVariant(QDateTime(d, QTime(0, 0)));
}

void populateConfig(Database &db, const DemoData::Scale &scale, const QDate &today)
{
    BulkInsert menu(db, "Menu", {"Id", "Description", "Command", "MenuOption"});
    menu.add({1, "บันทึกฝากขาย / ปรับปรุงสต๊อก Tarvo", "TarvoConsignment.exe", "1"});
    menu.add({2, "รายงานโควต้าลูกค้าตามกลุ่มราคา", "TarvoConsignment.exe", "2"});
    menu.add({3, "เมนูหลัก", QVariant(), QVariant()});

    BulkInsert user(db, "Username", {"Id", "Code", "FullName", "LanguageNo", "SalesId", "CusCodeTablet"});
    user.add({1, "SOMCHAI", "สมชาย ใจดี", 1, 0, QVariant()});
    user.add({2, "JOHN", "John Smith", 2, 0, QVariant()});
    user.add({3, "GUEST", "ผู้ใช้ทั่วไป", 1, 0, QVariant()});
    user.add({4, "QLM", "QLM", 1, 0, "C0001"});
    for (int b = 1; b <= scale.branches; ++b)
        user.add({10 + b, QStringLiteral("BR%1").arg(b, 2, 10, QLatin1Char('0')), branchNames[(b - 1) % branchNames.size()], 1, 0,
                  QStringLiteral("C%1").arg(b, 4, 10, QLatin1Char('0'))});
    user.add({900, "TABLET0", "แท็บเล็ตไม่มีลูกค้า", 1, 0, "   "});
    user.add({901, "TABLET9", "แท็บเล็ตรหัสผิด", 1, 0, "NOPE"});

    BulkInsert right(db, "UserMenuRight", {"UserId", "MenuId", "Access_R", "Add_R", "Modify_R", "Delete_R"});
    for (int u : {1, 2})
        for (int m : {1, 2})
            right.add({u, m, "Y", "Y", "Y", "N"});
    right.add({3, 1, "N", "N", "N", "N"});
    right.add({3, 2, "N", "N", "N", "N"});

    BulkInsert company(db, "Company",
                       {"Id", "Code", "NameThai", "NameEng", "ShortName", "Address1", "Address2", "Province", "Zip", "Telephone",
                        "TaxNo", "RunYear", "TaxBranchHead", "TaxBranchCode", "TaxBranchName"});
    company.add({1, "DEMO", "บริษัท ทาร์โว่ เทรดดิ้ง จำกัด", "Tarvo Trading Co., Ltd.", "TARVO", "99/9 ถนนพหลโยธิน", "แขวงจตุจักร เขตจตุจักร",
                 "กรุงเทพมหานคร", "10900", "02-000-0000", "0105500000000", today.year(), QVariant(), QVariant(), "สำนักงานใหญ่"});
    BulkInsert list(db, "DatabaseList", {"DatabaseName", "Company", "Description", "YearNo"});
    list.add({"DEMO", 1, "ฐานข้อมูลตัวอย่าง", today.year()});
    BulkInsert config(db, "CompanyConfig", {"Company", "PicturePath", "DefaultWh", "POS1_PriceType", "DefaultPosMenuId"});
    config.add({1, "", 1, 19, 1});
    BulkInsert software(db, "SoftwareConfig", {"Id", "SoftwareName", "VersionNo"});
    software.add({1, "Trading suite", "6.0"});
}

void populateCompany(Database &db, const DemoData::Scale &scale, const QDate &today)
{
    Lcg rnd(20241208u);
    BulkInsert config(db, "Config",
                      {"Id", "IvRefSO", "MrRefPO", "EditPricePO", "ShowProductPriceList", "SearchProductMethod", "ShowLastSearch",
                       "OnhandDecimal", "UnitLeft", "UnitRight"});
    config.add({1, "Y", "N", "N", "Y", 0, "Y", QVariant(), "(", ")"});
    BulkInsert period(db, "AccountPeriod", {"AccountYear", "BeginDate", "EndDate", "Closed"});
    for (int y : {today.year() - 1, today.year()})
        period.add({y, dateValue(db, QDate(y, 1, 1)), dateValue(db, QDate(y, 12, 31)), y < today.year() ? "Y" : "N"});
    BulkInsert setup(db, "ProgramSetup", {"Id", "ConfigString"});
    setup.add({1, "TARVO=Y"});

    BulkInsert customer(db, "Customer", {"Id", "Code", "NameThai", "NameShort"});
    for (int c = 1; c <= scale.customers; ++c) {
        const QString name = c <= scale.branches ? branchNames[(c - 1) % branchNames.size()]
                                                 : customerNames[c % customerNames.size()] + QStringLiteral(" %1").arg(c);
        customer.add({c, QStringLiteral("C%1").arg(c, 4, 10, QLatin1Char('0')), QStringLiteral("  ") + name + "  ",
                      QStringLiteral(" ") + name + " "});
    }

    // Products and their units: a small unit, a pack and (for most) a carton.
    BulkInsert product(db, "Product", {"Id", "Code", "ThaiName", "EngName", "UseSerial", "Blocked"});
    BulkInsert unit(db, "ProductUnits", {"Id", "Product", "UnitName", "BarCode", "Fraction", "SmallUnitFlag"});
    BulkInsert price(db, "ProductPrice", {"Id", "Product", "ProductUnits", "PriceType", "Price"});
    int priceId = 0;
    QVector<int> unitProduct{0};
    QVector<double> unitPrice{0};
    for (int p = 1; p <= scale.products; ++p) {
        const bool serial = p % 25 == 0;
        QString name;
        if (serial)
            name = serialKinds[(p / 25) % serialKinds.size()] + " " + brands[p % brands.size()] + QStringLiteral(" รุ่น %1").arg(p);
        else
            name = kinds[p % kinds.size()] + " " + brands[(p / kinds.size()) % brands.size()] + " " +
                sizes[(p * 7) % sizes.size()] + (p > kinds.size() * brands.size() ? QStringLiteral(" #%1").arg(p) : QString());
        product.add({p, QStringLiteral("P%1").arg(p, 4, 10, QLatin1Char('0')), name, QStringLiteral("Product %1").arg(p),
                     serial ? "Y" : "N", p == 13 ? "Y" : "N"});
        const double base = serial ? 890 + 10 * rnd.below(200) : 5 + rnd.below(120) + (rnd.below(4) * 0.25);
        struct U {
            const char *name;
            int fraction;
        };
        QList<U> units{{serial ? "เครื่อง" : (p % 3 == 0 ? "ขวด" : "ชิ้น"), 1}};
        if (!serial) {
            units.append({p % 2 ? "แพ็ค" : "โหล", p % 2 ? 6 : 12});
            if (scale.cartonPermille >= 0 ? p % 1000 < scale.cartonPermille : p % scale.cartonEvery != 0)
                units.append({"ลัง", p % 2 ? 24 : 48});
        }
        for (const U &u : units) {
            const int id = int(unitProduct.size());
            unitProduct.append(p);
            const double unitPriceValue = base * u.fraction * (u.fraction > 1 ? 0.95 : 1.0);
            unitPrice.append(unitPriceValue);
            unit.add({id, p, QString::fromUtf8(u.name), DemoData::barcodeOfUnit(id), u.fraction, u.fraction == 1 ? "Y" : "N"});
            if (p % 17 == 0)
                continue; // no consignment price: the screen shows 0
            price.add({++priceId, p, id, 19, unitPriceValue});
            if (p % 23 == 0) // a second type-19 price: the screen takes the last row
                price.add({++priceId, p, id, 19, unitPriceValue + 1});
            price.add({++priceId, p, id, 1, unitPriceValue * 1.2});
        }
    }
    const int unitCount = int(unitProduct.size()) - 1;

    // Stock of the company this year.
    BulkInsert onhand(db, "ProductOnHand", {"Id", "Product", "BalanceYear", "PeriodNo", "Quantity"});
    for (int p = 1; p <= scale.products; ++p)
        onhand.add({p, p, today.year(), 0, double(50 + rnd.below(2000))});

    // Invoices to the branches (goods sent from head office) and sales returns.
    BulkInsert ivHd(db, "IvHd", {"Id", "DocNo", "IvDate", "Customer", "IvType", "NotCutStock", "Delflag"});
    BulkInsert ivDt(db, "IvDt", {"Id", "IvHd", "Product", "ProductUnits", "Quantity", "Fraction", "Price", "SoDt", "IvdtB"});
    int ivId = 0;
    int ivDtId = 0;
    for (int b = 1; b <= scale.branches; ++b) {
        for (int i = 0; i < scale.invoicesPerBranch; ++i) {
            ++ivId;
            const QDate d = today.addDays(-rnd.below(scale.invoiceDays));
            const bool deleted = i == scale.invoicesPerBranch - 1;
            ivHd.add({ivId, QStringLiteral("IV%1").arg(ivId, 6, 10, QLatin1Char('0')), dateValue(db, d), b, "N", "N",
                      deleted ? "Y" : "N"});
            for (int l = 0; l < 3 + rnd.below(3); ++l) {
                const int u = 1 + rnd.below(unitCount);
                ivDt.add({++ivDtId, ivId, unitProduct[u], u, double(1 + rnd.below(24)), 1, unitPrice[u], QVariant(), QVariant()});
            }
        }
    }
    // Sales orders, some not cleared, and invoices against them (the back-order column).
    BulkInsert soHd(db, "SoHd", {"Id", "DocNo", "SoDate", "Customer"});
    BulkInsert soDt(db, "SoDt", {"Id", "SoHd", "Product", "ProductUnits", "Quantity", "Fraction", "Clear"});
    BulkInsert pos(db, "PosHeader", {"Id", "SoHd"});
    int soDtId = 0;
    for (int s = 1; s <= scale.salesOrders; ++s) {
        soHd.add({s, QStringLiteral("SO%1").arg(s, 6, 10, QLatin1Char('0')), dateValue(db, today.addDays(-rnd.below(60))),
                  1 + rnd.below(scale.customers)});
        for (int l = 0; l < 2 + rnd.below(3); ++l) {
            const int u = 1 + rnd.below(std::min(unitCount, 90));
            ++soDtId;
            const bool cleared = s % 4 == 0;
            soDt.add({soDtId, s, unitProduct[u], u, double(1 + rnd.below(10)), 1, cleared ? "Y" : "N"});
            if (s % 3 == 0 && !cleared) {
                // Part of the order invoiced already.
                ++ivId;
                ivHd.add({ivId, QStringLiteral("IV%1").arg(ivId, 6, 10, QLatin1Char('0')), dateValue(db, today.addDays(-2)),
                          scale.branches + 1, "N", "N", "N"});
                ivDt.add({++ivDtId, ivId, unitProduct[u], u, 1.0, 1, unitPrice[u], soDtId, QVariant()});
            }
        }
        if (s % 10 == 0)
            pos.add({s / 10, s});
    }
    // Invoiced but not yet delivered, and deliveries against such invoices.
    for (int k = 0; k < 6; ++k) {
        ++ivId;
        const int u = 1 + rnd.below(std::min(unitCount, 60));
        ivHd.add({ivId, QStringLiteral("IV%1").arg(ivId, 6, 10, QLatin1Char('0')), dateValue(db, today.addDays(-k)),
                  scale.branches + 2, "N", "Y", "N"});
        ivDt.add({++ivDtId, ivId, unitProduct[u], u, double(5 + k), 1, unitPrice[u], QVariant(), 0});
        ++ivId;
        ivHd.add({ivId, QStringLiteral("IV%1").arg(ivId, 6, 10, QLatin1Char('0')), dateValue(db, today.addDays(-k)),
                  scale.branches + 2, "B", "N", "N"});
        ivDt.add({++ivDtId, ivId, unitProduct[u], u, 2.0, 1, unitPrice[u], QVariant(), ivDtId - 1});
    }

    BulkInsert srHd(db, "SrHd", {"Id", "DocNo", "SrDate", "Customer", "Delflag"});
    BulkInsert srDt(db, "SrDt", {"Id", "SrHd", "Product", "ProductUnits", "Quantity", "Price"});
    int srId = 0;
    int srDtId = 0;
    for (int b = 1; b <= scale.branches; ++b) {
        for (int i = 0; i < scale.returnsPerBranch; ++i) {
            ++srId;
            srHd.add({srId, QStringLiteral("SR%1").arg(srId, 6, 10, QLatin1Char('0')),
                      dateValue(db, today.addDays(-rnd.below(30))), b, "N"});
            const int u = 1 + rnd.below(unitCount);
            srDt.add({++srDtId, srId, unitProduct[u], u, double(1 + rnd.below(5)), unitPrice[u]});
        }
    }

    // On-hand balances of the branches for last year and this year, every period.
    BulkInsert branchOnhand(db, "ProductOnhandCustomer",
                            {"CusCode", "ProdCode", "Barcode", "BalanceYear", "PeriodNo", "Quantity"});
    for (int b = 1; b <= scale.branches; ++b) {
        const QString cus = QStringLiteral("C%1").arg(b, 4, 10, QLatin1Char('0'));
        for (int k = 0; k < scale.onhandUnitsPerBranch; ++k) {
            const int u = 1 + (b * 37 + k * 11) % unitCount;
            if (unitProduct[u] == unitProduct[u > 1 ? u - 1 : u] && k % 2 == 1)
                continue;
            const QString prodCode = QStringLiteral("P%1").arg(unitProduct[u], 4, 10, QLatin1Char('0'));
            double q = double(rnd.below(40));
            for (int y : {today.year() - 1, today.year()}) {
                for (int pno = 0; pno <= 12; ++pno) {
                    if (k % 9 == 0 && pno == 3)
                        branchOnhand.add({cus, prodCode, DemoData::barcodeOfUnit(u), y, pno, 0.0}); // left out by the view
                    else
                        branchOnhand.add({cus, prodCode, DemoData::barcodeOfUnit(u), y, pno, q});
                    q = std::max(0.0, q + rnd.below(11) - 5);
                }
            }
        }
    }

    // Consignment and adjustment lines of the last weeks.
    BulkInsert line(db, "Tarvo_Consignment",
                    {"UserCode", "UserKeyIn", "Customer", "ConsigType", "Product", "ProductUnits", "Barcode", "SerialNumber",
                     "Quantity", "Price", "ChkFree", "OldPrice", "ConsigDate", "CreateTime"});
    const char *types[] = {"S", "S", "S", "R", "A"};
    for (int i = 0; i < scale.consignmentLines; ++i) {
        const int b = scale.heavyBranchShare > 0 && rnd.below(100) < scale.heavyBranchShare ? 1 : 1 + i % scale.branches;
        int u = 1 + rnd.below(unitCount);
        if (unitProduct[u] % 25 == 0 || unitProduct[u] == 13)
            u = 1;
        const QString type = QString::fromLatin1(types[rnd.below(5)]);
        double q = double(1 + rnd.below(12));
        if (type == QLatin1String("A") && rnd.below(2))
            q = -q;
        const bool free = rnd.below(15) == 0;
        const QDate d = today.addDays(-rnd.below(scale.lineDays));
        line.add(
            {QStringLiteral("BR%1").arg(b, 2, 10, QLatin1Char('0')), "SOMCHAI", b, type, unitProduct[u], u,
             DemoData::barcodeOfUnit(u), "", q, free ? 0.0 : unitPrice[u], free ? "Y" : "N", unitPrice[u], dateValue(db, d),
             db.dialect() == SqlDialect::Sqlite ? QVariant(dateText(d) + " 10:00:00") : QVariant(QDateTime(d, QTime(10, 0)))});
    }

    // Quota groups with their price, and the quotas of the branches and two further customers
    // for last year and this year. The quantities do not depend on the year, so a report of
    // this year's quotas reads the same every year. Each quota names a product unit that the
    // branch keeps on hand (the on-hand units above with an even k).
    BulkInsert quotaGroup(db, "Tarvo_QuotaGroup", {"Id", "Code", "NameThai", "GroupPrice"});
    struct QuotaGroupRow {
        const char *code;
        const char *name;
        double price;
    };
    const QuotaGroupRow quotaGroups[] = {
        {"QG01", "กลุ่มเครื่องดื่ม", 12.5},     {"QG02", "กลุ่มขนมและของว่าง", 8.75}, {"QG03", "กลุ่มของใช้ในบ้าน", 45.0},
        {"QG04", "กลุ่มเครื่องปรุงรส", 15.25}, {"QG05", "กลุ่มสินค้าพรีเมียม", 129.0},
    };
    const int groupCount = int(std::size(quotaGroups));
    for (int g = 0; g < groupCount; ++g)
        quotaGroup.add({g + 1, quotaGroups[g].code, QString::fromUtf8(quotaGroups[g].name), quotaGroups[g].price});
    BulkInsert quota(db, "Tarvo_CustomerQuota", {"Customer", "QuotaYear", "QuotaGroup", "ProductUnits", "Quantity"});
    for (int c = 1; c <= std::min(scale.customers, scale.branches + 2); ++c) {
        for (int g = 0; g < groupCount; ++g) {
            if ((c + g) % 4 == 3)
                continue; // not every customer has a quota in every group
            const int u = 1 + (c * 37 + 22 * g) % unitCount;
            quota.add({c, today.year() - 1, g + 1, u, double(100 + ((c * 31 + g * 7) % 13) * 20)});
            quota.add({c, today.year(), g + 1, u, double(120 + ((c * 53 + g * 29) % 17) * 25 + (c + g) % 5)});
        }
    }
}

} // namespace

QString DemoData::barcodeOfUnit(int unitId)
{
    return QStringLiteral("885%1").arg(unitId, 10, 10, QLatin1Char('0'));
}

void DemoData::populate(Database &config, Database &company, const QDate &today, const Scale &scale)
{
    config.beginTransaction();
    try {
        populateConfig(config, scale, today);
        config.commit();
    } catch (...) {
        config.rollback();
        throw;
    }
    company.beginTransaction();
    try {
        populateCompany(company, scale, today);
        company.commit();
    } catch (...) {
        company.rollback();
        throw;
    }
}
