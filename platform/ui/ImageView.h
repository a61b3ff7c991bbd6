#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class TapGestureRecognizer;

// Shows one image in its frame (stretched, fitted or filling), and optionally takes taps.
class ImageView : public QWidget
{
    Q_OBJECT

public:
    enum class ContentMode { ScaleToFill, AspectFit, AspectFill };

    explicit ImageView(QWidget* parent = nullptr);
    explicit ImageView(const QImage& image, QWidget* parent = nullptr);

    void setImage(const QImage& image);
    QImage image() const { return m_image; }
    void setContentMode(ContentMode mode);
    ContentMode contentMode() const { return m_mode; }
    // Clips the picture to a circle (avatars).
    void setRound(bool round);

    // A single tap calls `action`; the view then takes its presses.
    void setOnTap(std::function<void()> action);
    TapGestureRecognizer* tapRecognizer() const { return m_tap; }

signals:
    void imageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    ContentMode m_mode = ContentMode::ScaleToFill;
    bool m_round = false;
    TapGestureRecognizer* m_tap = nullptr;
};
