#pragma once

#include "platform/net/WebViewContent.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <QNetworkAccessManager>
class QNetworkReply;
class QTextEdit;

// Shows a web page of the device server. The page is fetched with the given network access
// manager and shown as rich text, its inline SVG pictures drawn as images. Only http and
// https pages on the device server's host and port are loaded, redirects included; every
// other scheme or host is refused. There is no script engine and nothing a page could call
// into; links do not navigate and no resource is read from anywhere but the page itself.
class WebView : public QWidget
{
    Q_OBJECT

public:
    // Pages larger than this are abandoned (the fence page is a few kilobytes; rich text
    // lays out long pages slowly).
    static constexpr qint64 MaxPageBytes = 512 * 1024;
    static constexpr int TimeoutMs = 60000;

    explicit WebView(QWidget* parent = nullptr);
    ~WebView() override;

    void setNetworkAccessManager(QNetworkAccessManager* network) { m_network = network; }
    // The device server whose pages may be shown.
    void setAllowedServer(const QUrl& server) { m_server = server; }
    QUrl allowedServer() const { return m_server; }
    static bool isAllowed(const QUrl& url, const QUrl& server);

    // Starts loading `url` in place of any load under way. A refused URL loads nothing,
    // clears the page and answers false.
    bool loadRequest(const QUrl& url);
    void stopLoading();

    QUrl url() const { return m_url; }
    bool isLoading() const { return !m_reply.isNull(); }
    QString title() const { return m_content.title(); }
    // What the page shows as text (pictures aside).
    QString plainText() const;
    int pictureCount() const { return int(m_content.pictures().size()); }
    bool hasFailed() const { return m_failed; }

    // The scroll view's bounce at its edges; only remembered, this platform has none.
    void setBounces(bool bounces) { m_bounces = bounces; }
    bool bounces() const { return m_bounces; }

signals:
    void loadFinished(bool ok);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void watch(QNetworkReply* reply);
    void finish(QNetworkReply* reply);
    void showContent(const WebViewContent& content);
    void showFailure();
    void render();

    QPointer<QNetworkAccessManager> m_network;
    QUrl m_server;
    QUrl m_url;
    QPointer<QNetworkReply> m_reply;
    WebViewContent m_content;
    QTextEdit* m_text;
    bool m_failed = false;
    bool m_bounces = true;
};
