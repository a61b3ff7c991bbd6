#include "platform/net/WebViewContent.h"

#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTextDocumentFragment>
#include <cmath>

namespace {

constexpr auto Options =
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

// Nothing that runs code or pulls in other pages survives: rich text has no script engine,
// and frames or objects would only show as stray text.
void dropActiveParts(QString& html)
{
    static const QString tags =
        QStringLiteral("iframe|frame|frameset|object|embed|applet|noscript");
    static const QRegularExpression script(QStringLiteral("<script\\b.*?(</script\\s*>|$)"),
                                           Options);
    static const QRegularExpression element(QStringLiteral("<(%1)\\b[^>]*>.*?</\\1\\s*>").arg(tags),
                                            Options);
    static const QRegularExpression loose(QStringLiteral("</?(%1)\\b[^>]*>").arg(tags), Options);
    html.remove(script);
    html.remove(element);
    html.remove(loose);
}

QString titleOf(const QString& html)
{
    static const QRegularExpression title(QStringLiteral("<title\\b[^>]*>(.*?)</title\\s*>"),
                                          Options);
    const QRegularExpressionMatch match = title.match(html);
    if (!match.hasMatch())
        return QString();
    return QTextDocumentFragment::fromHtml(match.captured(1)).toPlainText().simplified();
}

QColor backgroundOf(const QString& html)
{
    static const QRegularExpression styled(
        QStringLiteral("(?:^|[\\s,}>])(?:html|body)\\b[^{}]*\\{[^}]*?background(?:-color)?\\s*:"
                       "\\s*([#a-z0-9(),. ]+?)\\s*(?:;|\\}|!)"),
        Options);
    static const QRegularExpression attribute(
        QStringLiteral("<body\\b[^>]*\\bbgcolor\\s*=\\s*[\"']?([#a-z0-9]+)"), Options);
    for (const QRegularExpression* pattern : {&styled, &attribute}) {
        const QRegularExpressionMatch match = pattern->match(html);
        if (match.hasMatch()) {
            const QColor colour = QColor::fromString(match.captured(1).trimmed());
            if (colour.isValid())
                return colour;
        }
    }
    return QColor();
}

QSizeF shapeOf(const QByteArray& svg)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return QSizeF();
    const QSizeF box = renderer.viewBoxF().size();
    return box.isEmpty() ? QSizeF(renderer.defaultSize()) : box;
}

} // namespace

WebViewContent::WebViewContent(const QByteArray& body)
{
    QString html = QString::fromUtf8(body);
    dropActiveParts(html);
    m_title = titleOf(html);
    m_background = backgroundOf(html);

    static const QRegularExpression svg(QStringLiteral("<svg\\b.*?</svg\\s*>"), Options);
    QString rest;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : svg.globalMatch(html)) {
        rest += html.mid(from, match.capturedStart() - from);
        rest += marker(int(m_pictures.size()));
        m_pictures.append(match.captured().toUtf8());
        m_pictureShapes.append(shapeOf(m_pictures.last()));
        from = match.capturedEnd();
    }
    rest += html.mid(from);
    m_html = rest;
}

QString WebViewContent::marker(int index)
{
    return QStringLiteral("<!--lvxing-picture-%1-->").arg(index);
}

QUrl WebViewContent::imageName(int index, const QSize& size)
{
    return QUrl(
        QStringLiteral("webview-picture:%1-%2x%3").arg(index).arg(size.width()).arg(size.height()));
}

QSize WebViewContent::pictureSize(int index, const QSize& viewport) const
{
    const QSizeF shape = m_pictureShapes.value(index);
    if (shape.isEmpty() || viewport.width() <= 0)
        return QSize(qMax(0, viewport.width()), qMax(0, viewport.height()));
    int width = viewport.width();
    int height = int(std::lround(width * shape.height() / shape.width()));
    if (viewport.height() > 0 && height > viewport.height()) {
        height = viewport.height();
        width = int(std::lround(height * shape.width() / shape.height()));
    }
    return QSize(width, height);
}

QString WebViewContent::html(const QList<QSize>& sizes) const
{
    QString page = m_html;
    for (int i = 0; i < m_pictures.size(); ++i) {
        const QSize size = sizes.value(i);
        page.replace(marker(i), QStringLiteral("<div align=\"center\" style=\"margin:0\">"
                                               "<img src=\"%1\" width=\"%2\" height=\"%3\"></div>")
                                    .arg(imageName(i, size).toString())
                                    .arg(size.width())
                                    .arg(size.height()));
    }
    return page;
}

QImage WebViewContent::picture(int index, const QSize& size, qreal pixelRatio) const
{
    if (index < 0 || index >= m_pictures.size() || size.isEmpty())
        return QImage();
    QImage image(size * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(m_pictures.at(index));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}
