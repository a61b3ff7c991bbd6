#include "platform/ui/AlertController.h"
#include "platform/ui/ImagePickerController.h"
#include "platform/ui/SquareCropView.h"

#include <QFileDialog>
#include <QTest>

namespace {

// Records how a picking ended, as the registration screen would.
struct Recorder : ImagePickerControllerDelegate
{
    int finished = 0;
    int cancelled = 0;
    ImagePickerResult result;
    void imagePickerControllerDidFinishPicking(ImagePickerController*,
                                               const ImagePickerResult& r) override
    {
        ++finished;
        result = r;
    }
    void imagePickerControllerDidCancel(ImagePickerController*) override { ++cancelled; }
};

// 200 x 100: red on the left half, blue on the right.
QImage halves()
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < 100; ++y) {
        for (int x = 100; x < 200; ++x)
            image.setPixelColor(x, y, Qt::blue);
    }
    return image;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_ImagePickerController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void noCameraOnThisPlatform();
    void cropStartsCentredAndMovesWithinThePicture();
    void confirmedCropReachesTheDelegate();
    void draggingMovesTheSquare();
    void cancellingTheCropCancelsThePicking();
    void withoutEditingTheChosenPictureComesBack();
    void fileDialogOpensWithoutBlockingAndCanBeClosed();

private:
    QWidget* m_window = nullptr;
};

void tst_ImagePickerController::init()
{
    m_window = new QWidget;
    m_window->resize(360, 640);
    m_window->show();
}

void tst_ImagePickerController::cleanup()
{
    delete m_window;
    flushDeletes();
    QVERIFY(ImagePickerController::active() == nullptr);
}

void tst_ImagePickerController::noCameraOnThisPlatform()
{
    QVERIFY(
        !ImagePickerController::isSourceTypeAvailable(ImagePickerController::SourceType::Camera));
    QVERIFY(ImagePickerController::isSourceTypeAvailable(
        ImagePickerController::SourceType::SavedPhotosAlbum));
    QVERIFY(ImagePickerController::isSourceTypeAvailable(
        ImagePickerController::SourceType::PhotoLibrary));
}

void tst_ImagePickerController::cropStartsCentredAndMovesWithinThePicture()
{
    Recorder recorder;
    auto* picker = new ImagePickerController;
    picker->setDelegate(&recorder);
    picker->setAllowsEditing(true);
    picker->presentOver(m_window);
    for (QFileDialog* dialog : m_window->findChildren<QFileDialog*>())
        dialog->hide();
    picker->pick(halves());
    SquareCropView* crop = picker->cropView();
    QVERIFY(crop);
    QCOMPARE(crop->parentWidget(), m_window);
    QCOMPARE(crop->cropRect(), QRectF(50, 0, 100, 100));
    crop->moveCrop(500, 40);
    QCOMPARE(crop->cropRect(), QRectF(100, 0, 100, 100));
    crop->moveCrop(-30, 0);
    QCOMPARE(crop->cropRect(), QRectF(70, 0, 100, 100));
    crop->resizeCrop(40);
    QCOMPARE(crop->cropRect(), QRectF(100, 30, 40, 40));
    crop->resizeCrop(1000);
    QCOMPARE(crop->cropRect().size(), QSizeF(100, 100));
    picker->cancel();
    QCOMPARE(recorder.cancelled, 1);
}

void tst_ImagePickerController::confirmedCropReachesTheDelegate()
{
    Recorder recorder;
    auto* picker = new ImagePickerController;
    picker->setDelegate(&recorder);
    picker->setAllowsEditing(true);
    picker->pick(halves());
    picker->cropView()->moveCrop(100, 0);
    picker->cropView()->confirm();
    QCOMPARE(recorder.finished, 1);
    QCOMPARE(recorder.result.originalImage.size(), QSize(200, 100));
    QCOMPARE(recorder.result.editedImage.size(), QSize(100, 100));
    QCOMPARE(recorder.result.editedImage.pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(recorder.result.editedImage.pixelColor(99, 99), QColor(Qt::blue));
    picker->cancel();
    QCOMPARE(recorder.cancelled, 0);
}

void tst_ImagePickerController::draggingMovesTheSquare()
{
    Recorder recorder;
    auto* picker = new ImagePickerController;
    picker->setDelegate(&recorder);
    picker->setAllowsEditing(true);
    picker->presentOver(m_window);
    for (QFileDialog* dialog : m_window->findChildren<QFileDialog*>())
        dialog->hide();
    picker->pick(halves());
    SquareCropView* crop = picker->cropView();
    QTest::mousePress(crop, Qt::LeftButton, {}, QPoint(180, 300));
    QMouseEvent move(QEvent::MouseMove, QPointF(120, 300), crop->mapToGlobal(QPointF(120, 300)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(crop, &move);
    QTest::mouseRelease(crop, Qt::LeftButton, {}, QPoint(120, 300));
    QVERIFY(crop->cropRect().left() < 50);
    crop->confirm();
    QCOMPARE(recorder.result.editedImage.pixelColor(0, 50), QColor(Qt::red));
}

void tst_ImagePickerController::cancellingTheCropCancelsThePicking()
{
    Recorder recorder;
    auto* picker = new ImagePickerController;
    picker->setDelegate(&recorder);
    picker->setAllowsEditing(true);
    picker->pick(halves());
    picker->cropView()->cancel();
    QCOMPARE(recorder.cancelled, 1);
    QCOMPARE(recorder.finished, 0);
}

void tst_ImagePickerController::withoutEditingTheChosenPictureComesBack()
{
    Recorder recorder;
    auto* picker = new ImagePickerController;
    picker->setDelegate(&recorder);
    picker->pick(halves());
    QCOMPARE(recorder.finished, 1);
    QCOMPARE(recorder.result.originalImage.size(), QSize(200, 100));
    QVERIFY(recorder.result.editedImage.isNull());
    QVERIFY(picker->cropView() == nullptr);
}

void tst_ImagePickerController::fileDialogOpensWithoutBlockingAndCanBeClosed()
{
    Recorder recorder;
    auto* picker = new ImagePickerController;
    picker->setDelegate(&recorder);
    picker->setAllowsEditing(true);
    picker->presentOver(m_window);
    QCOMPARE(ImagePickerController::active(), picker);
    QFileDialog* dialog = m_window->findChild<QFileDialog*>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->nameFilters().first().contains("*.png"));
    dialog->reject();
    QCOMPARE(recorder.cancelled, 1);
}

QTEST_MAIN(tst_ImagePickerController)
#include "tst_ImagePickerController.moc"
