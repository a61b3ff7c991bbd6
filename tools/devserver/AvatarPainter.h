#pragma once

#include <QByteArray>
#include <QString>

// Draws the default avatar of a rider: a coloured disc with the rider's initials.
class AvatarPainter
{
public:
    static constexpr int kSize = 120;

    // PNG bytes; the colour follows from the name, so an avatar never changes.
    static QByteArray png(const QString& name);
    static QString initials(const QString& name);
};
