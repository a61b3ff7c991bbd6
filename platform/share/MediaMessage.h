#pragma once

#include "platform/share/ImageObject.h"

#include <QImage>
#include <QString>

// A media message: a thumbnail picture (with the name of the app image it came from) and
// the media object it carries.
class MediaMessage
{
public:
    QImage thumbImage() const { return m_thumbImage; }
    QString thumbImageName() const { return m_thumbImageName; }
    void setThumbImage(const QImage& image, const QString& name = QString())
    {
        m_thumbImage = image;
        m_thumbImageName = name;
    }
    ImageObject mediaObject() const { return m_mediaObject; }
    void setMediaObject(const ImageObject& object) { m_mediaObject = object; }

private:
    QImage m_thumbImage;
    QString m_thumbImageName;
    ImageObject m_mediaObject;
};
