#include "platform/net/WebView.h"

#include "platform/Localized.h"
#include "platform/Log.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// A document that shows only the pictures the view gives it: rich text would otherwise read
// local files named by a page's image sources.
class PageDocument : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

    void setPictures(QHash<QUrl, QImage> pictures) { m_pictures = std::move(pictures); }

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (type == QTextDocument::ImageResource && m_pictures.contains(name))
            return m_pictures.value(name);
        return QVariant();
    }

private:
    QHash<QUrl, QImage> m_pictures;
};

int defaultPort(const QUrl& url)
{
    return url.scheme() == QLatin1String("https") ? 443 : 80;
}

bool isWebScheme(const QUrl& url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

} // namespace

WebView::WebView(QWidget* parent) : QWidget(parent), m_text(new QTextEdit(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    auto* document = new PageDocument(m_text);
    document->setDocumentMargin(0);
    m_text->setDocument(document);
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setTextInteractionFlags(Qt::NoTextInteraction);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setContextMenuPolicy(Qt::NoContextMenu);
    m_text->setFocusPolicy(Qt::NoFocus);
}

WebView::~WebView()
{
    stopLoading();
}

bool WebView::isAllowed(const QUrl& url, const QUrl& server)
{
    if (!url.isValid() || !server.isValid() || !isWebScheme(url) || !isWebScheme(server))
        return false;
    if (url.host().isEmpty() || url.host().compare(server.host(), Qt::CaseInsensitive) != 0)
        return false;
    return url.port(defaultPort(url)) == server.port(defaultPort(server));
}

bool WebView::loadRequest(const QUrl& url)
{
    stopLoading();
    m_url = url;
    if (!m_network || !isAllowed(url, m_server)) {
        Log::write(QStringLiteral("web view: refused %1").arg(url.toString()));
        showContent(WebViewContent());
        emit loadFinished(false);
        return false;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(TimeoutMs);
    m_reply = m_network->get(request);
    watch(m_reply);
    return true;
}

void WebView::watch(QNetworkReply* reply)
{
    connect(reply, &QNetworkReply::redirected, this, [this, reply](const QUrl& target) {
        if (isAllowed(target, m_server)) {
            emit reply->redirectAllowed();
        } else {
            Log::write(QStringLiteral("web view: refused %1").arg(target.toString()));
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::downloadProgress, this, [reply](qint64 received, qint64 total) {
        if (received > MaxPageBytes || total > MaxPageBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finish(reply); });
}

void WebView::stopLoading()
{
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void WebView::finish(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // The whole answer may come in one piece, past the progress check: read one byte more
    // than allowed to tell.
    const QByteArray body = reply->read(MaxPageBytes + 1);
    const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300 &&
                    body.size() <= MaxPageBytes;
    if (ok)
        showContent(WebViewContent(body));
    else
        showFailure();
    emit loadFinished(ok);
}

void WebView::showContent(const WebViewContent& content)
{
    m_failed = false;
    m_content = content;
    render();
}

void WebView::showFailure()
{
    m_failed = true;
    m_content = WebViewContent();
    render();
}

QString WebView::plainText() const
{
    return m_text->document()->toPlainText();
}

void WebView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    render();
}

void WebView::render()
{
    auto* document = static_cast<PageDocument*>(m_text->document());
    QPalette palette = m_text->palette();
    const QColor background = m_content.background();
    palette.setColor(QPalette::Base, background.isValid() ? background : QColor(Qt::white));
    m_text->setPalette(palette);
    if (m_failed) {
        document->setPictures({});
        document->setHtml(QStringLiteral("<p align=\"center\" style=\"color:#8a8f94\">%1</p>")
                              .arg(Localized::string(QStringLiteral("页面加载失败"))));
        return;
    }
    // One point short of the height, so a page that is one picture never needs to scroll.
    const QSize viewport(width(), qMax(0, height() - 1));
    QList<QSize> sizes;
    QHash<QUrl, QImage> pictures;
    for (int i = 0; i < m_content.pictures().size(); ++i) {
        const QSize size = m_content.pictureSize(i, viewport);
        sizes.append(size);
        pictures.insert(WebViewContent::imageName(i, size),
                        m_content.picture(i, size, devicePixelRatioF()));
    }
    document->setPictures(pictures);
    document->setHtml(m_content.html(sizes));
}
