#include "reports/FR_STDREPORT_ParamNewSql.h"

using namespace platform;

namespace StdReportSql {

const Statement QLanguage{
    "QLanguage",
    {
        "Select LanguageNo",
        "From UserName",
        "Where (Id = :IdUser)",
    },
    {},
};

QList<const Statement *> all()
{
    return {&QLanguage};
}

} // namespace StdReportSql
