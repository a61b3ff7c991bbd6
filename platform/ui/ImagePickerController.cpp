#include "platform/ui/ImagePickerController.h"

#include "platform/Localized.h"
#include "platform/ui/SquareCropView.h"

#include <QFileDialog>
#include <QImageReader>
#include <QStandardPaths>

namespace {

QPointer<ImagePickerController>& current()
{
    static QPointer<ImagePickerController> picker;
    return picker;
}

QString imageFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return Localized::string(QStringLiteral("图片")) + QStringLiteral(" (") +
           patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

} // namespace

ImagePickerController::ImagePickerController() = default;

bool ImagePickerController::isSourceTypeAvailable(SourceType type)
{
    return type != SourceType::Camera;
}

ImagePickerController* ImagePickerController::active()
{
    return current();
}

void ImagePickerController::presentOver(QWidget* anchor)
{
    m_window = anchor ? anchor->window() : nullptr;
    current() = this;
    auto* dialog = new QFileDialog(
        m_window, Localized::string(QStringLiteral("从相册选择")),
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), imageFilter());
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) {
        const QImage image(path);
        if (image.isNull())
            cancel();
        else
            pick(image);
    });
    connect(dialog, &QFileDialog::rejected, this, &ImagePickerController::cancel);
    dialog->open();
}

void ImagePickerController::pick(const QImage& image)
{
    if (m_done)
        return;
    m_original = image;
    current() = this;
    if (!m_allowsEditing || image.isNull()) {
        const ImagePickerResult result{image, QImage()};
        finish(&result);
        return;
    }
    m_crop = new SquareCropView(image, m_window);
    m_crop->setOnDone([this](const QImage& cropped) {
        if (cropped.isNull()) {
            cancel();
            return;
        }
        const ImagePickerResult result{m_original, cropped};
        finish(&result);
    });
}

void ImagePickerController::cancel()
{
    finish(nullptr);
}

void ImagePickerController::finish(const ImagePickerResult* result)
{
    if (m_done)
        return;
    m_done = true;
    if (m_crop)
        m_crop->cancel();
    if (current() == this)
        current() = nullptr;
    deleteLater();
    if (!m_delegate)
        return;
    if (result)
        m_delegate->imagePickerControllerDidFinishPicking(this, *result);
    else
        m_delegate->imagePickerControllerDidCancel(this);
}
