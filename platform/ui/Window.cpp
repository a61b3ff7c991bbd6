#include "platform/ui/Window.h"

#include "platform/Localized.h"
#include "platform/ui/Images.h"
#include "platform/ui/Theme.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

Window::Window(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(Localized::string(QStringLiteral("驴行")));
    setMinimumSize(240, 400);
    resize(DefaultWidth, DefaultHeight);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Theme::WindowGround);
    setPalette(background);
}

QImage Window::snapshot()
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Window));
    QPainter painter(&image);
    render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QWidget* Window::containing(QWidget* widget)
{
    for (QWidget* up = widget; up; up = up->parentWidget()) {
        if (qobject_cast<Window*>(up))
            return up;
    }
    return widget ? widget->window() : nullptr;
}

void Window::applyAppStyle(QApplication& app)
{
    QApplication::setApplicationDisplayName(Localized::string(QStringLiteral("驴行")));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(Images::named("appicon.png"))));
    // The CJK face where the system has it, so Chinese and Latin text share one design.
    QFont font = app.font();
    const QStringList families = QFontDatabase::families();
    for (const char* family : {"Noto Sans CJK SC", "Noto Sans SC", "Source Han Sans SC"}) {
        if (families.contains(QString::fromLatin1(family))) {
            font.setFamily(QString::fromLatin1(family));
            break;
        }
    }
    font.setPixelSize(14);
    font.setHintingPreference(QFont::PreferNoHinting);
    app.setFont(font);
}
