#include "consignment/SerialNumberValidator.h"

namespace {

bool invisible(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

} // namespace

QValidator::State SerialNumberValidator::validate(QString &input, int &pos) const
{
    for (qsizetype i = input.size() - 1; i >= 0; --i) {
        if (invisible(input.at(i))) {
            input.remove(i, 1);
            if (i < pos)
                --pos;
        }
    }
    return Acceptable;
}
