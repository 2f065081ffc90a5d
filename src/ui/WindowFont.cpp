#include "ui/WindowFont.h"

#include <QStringList>

QFont WindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")});
    font.setPixelSize(13);
    font.setWeight(QFont::Normal);
    return font;
}
