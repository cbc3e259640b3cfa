#include "platform/ui/ThaiFont.h"

#include <QStringList>

namespace platform {

QFont thaiFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Loma"), QStringLiteral("Garuda"), QStringLiteral("Tlwg Typo"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace platform
