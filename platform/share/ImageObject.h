#pragma once

#include <QByteArray>

// The media object of an image message: the picture's encoded data (PNG).
class ImageObject
{
public:
    QByteArray imageData() const { return m_imageData; }
    void setImageData(const QByteArray& data) { m_imageData = data; }

private:
    QByteArray m_imageData;
};
