#pragma once

#include <QByteArray>

class QImage;

// The PNG file of a picture the simulator draws (avatars, map tiles).
QByteArray pngBytes(const QImage& image);
