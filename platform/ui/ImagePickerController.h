#pragma once

#include "platform/ui/SquareCropView.h"

#include <QImage>
#include <QObject>
#include <QPointer>

class ImagePickerController;
class QWidget;

// The pictures a picker hands over: the chosen one, and the square the rider cropped when
// editing was allowed.
struct ImagePickerResult
{
    QImage originalImage;
    QImage editedImage;
};

// Hears how picking ended.
class ImagePickerControllerDelegate
{
public:
    virtual ~ImagePickerControllerDelegate() = default;
    virtual void imagePickerControllerDidFinishPicking(ImagePickerController* picker,
                                                       const ImagePickerResult& result) = 0;
    virtual void imagePickerControllerDidCancel(ImagePickerController*) {}
};

// Picks a picture for the app. This platform has no camera: the pictures come from the
// saved-photos album, a file dialog over the user's pictures folder; with editing allowed
// the rider then moves a square over the picture to crop it. Nothing blocks: the delegate
// hears the result when the rider is done, and the picker deletes itself.
class ImagePickerController : public QObject
{
    Q_OBJECT

public:
    enum class SourceType { Camera, PhotoLibrary, SavedPhotosAlbum };

    ImagePickerController();

    static bool isSourceTypeAvailable(SourceType type);

    void setSourceType(SourceType type) { m_source = type; }
    SourceType sourceType() const { return m_source; }
    void setAllowsEditing(bool allows) { m_allowsEditing = allows; }
    bool allowsEditing() const { return m_allowsEditing; }
    void setDelegate(ImagePickerControllerDelegate* delegate) { m_delegate = delegate; }

    // Opens the file dialog over the window of `anchor`.
    void presentOver(QWidget* anchor);
    // Goes on as if the rider had chosen this picture in the dialog (tests, the tour, drops).
    void pick(const QImage& image);
    void cancel();
    // The crop on display while the rider edits, if any.
    SquareCropView* cropView() const { return m_crop; }

    // The picker on display now, if any.
    static ImagePickerController* active();

private:
    void finish(const ImagePickerResult* result);

    SourceType m_source = SourceType::SavedPhotosAlbum;
    bool m_allowsEditing = false;
    ImagePickerControllerDelegate* m_delegate = nullptr;
    QPointer<QWidget> m_window;
    QPointer<SquareCropView> m_crop;
    QImage m_original;
    bool m_done = false;
};
