#include "platform/ui/Theme.h"

#include <QStringList>
#include <QWidget>

namespace Theme {

int pixelSize(qreal pixels, int smallest)
{
    return qMax(smallest, qRound(pixels));
}

void setPixelSize(QWidget* widget, qreal pixels)
{
    QFont font = widget->font();
    font.setPixelSize(pixelSize(pixels));
    widget->setFont(font);
}

void setPixelFont(QWidget* widget, qreal pixels, bool bold, int smallest)
{
    QFont font = widget->font();
    font.setPixelSize(pixelSize(pixels, smallest));
    font.setBold(bold);
    widget->setFont(font);
}

namespace {

QFont face(const QStringList& families, int pixels, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

QFont boldFont(int pixels)
{
    return face({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")}, pixels, true);
}

QFont monoFont(int pixels)
{
    return face({QStringLiteral("Courier"), QStringLiteral("Noto Sans Mono CJK SC")}, pixels,
                false);
}

} // namespace Theme
