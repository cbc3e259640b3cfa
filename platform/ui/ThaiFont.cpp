#include "platform/ui/ThaiFont.h"

#include <QStringList>

QFont thaiFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Loma"), QStringLiteral("Garuda"), QStringLiteral("Tlwg Typo"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    return font;
}
