#include "protocol/HttpManager.h"

#include "platform/Log.h"
#include "platform/ReplyGuard.h"
#include "protocol/UrlEncoding.h"

#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QUrl>

namespace {

double fraction(qint64 done, qint64 total)
{
    return total > 0 ? double(done) / double(total) : 0.0;
}

QString failureText(QNetworkReply* reply, int status)
{
    const QString cutShort = ReplyGuard::abortReason(reply);
    if (!cutShort.isEmpty())
        return QStringLiteral("Request failed: %1").arg(cutShort);
    if (reply->error() != QNetworkReply::NoError)
        return HttpManager::maskPassword(
            HttpManager::maskPassword(reply->errorString(), reply->url()), reply->request().url());
    return QStringLiteral("Request failed: HTTP status %1").arg(status);
}

} // namespace

HttpManager::HttpManager(QNetworkAccessManager* network, QObject* parent)
    : QObject(parent), m_network(network)
{
}

QString HttpManager::withParameters(const QString& encodedUrl, const Parameters& parameters)
{
    QString url = encodedUrl;
    bool hasQuery = url.contains(QLatin1Char('?'));
    for (const auto& [name, value] : parameters) {
        url += hasQuery ? QLatin1Char('&') : QLatin1Char('?');
        url += UrlEncoding::queryValue(name) + QLatin1Char('=') + UrlEncoding::queryValue(value);
        hasQuery = true;
    }
    return url;
}

QString HttpManager::maskPassword(const QString& text, const QUrl& url)
{
    QString masked = text;
    if (url.isValid() && url.hasQuery()) {
        QUrl hidden = url;
        QString query = hidden.query(QUrl::FullyEncoded);
        static const QRegularExpression encodedPwd(QStringLiteral("(^|&)pwd=[^&]*"));
        hidden.setQuery(query.replace(encodedPwd, QStringLiteral("\\1pwd=***")), QUrl::StrictMode);
        for (const QUrl::ComponentFormattingOptions form :
             {QUrl::ComponentFormattingOptions(QUrl::FullyEncoded),
              QUrl::ComponentFormattingOptions(QUrl::PrettyDecoded)})
            masked.replace(url.toString(form), hidden.toString(form));
        masked.replace(url.toDisplayString(), hidden.toDisplayString());
    }
    // Whatever form was not matched whole: the value up to the next separator.
    static const QRegularExpression loose(QStringLiteral("([?&]pwd=)[^&#\\s]*"));
    return masked.replace(loose, QStringLiteral("\\1***"));
}

void HttpManager::send(const QByteArray& verb, const QString& encodedUrl, Success success,
                       Failure failure)
{
    QNetworkReply* reply = m_network->sendCustomRequest(request(encodedUrl), verb);
    watch(reply, std::move(success), std::move(failure));
}

void HttpManager::GET(const QString& encodedUrl, const Parameters& parameters, Success success,
                      Failure failure)
{
    QNetworkReply* reply = m_network->get(request(withParameters(encodedUrl, parameters)));
    connect(reply, &QNetworkReply::downloadProgress, this, [](qint64 done, qint64 total) {
        if (done > 0 || total > 0)
            Log::write(QString::asprintf("downloadProgress = %f", fraction(done, total)));
    });
    watch(reply, std::move(success), std::move(failure));
}

void HttpManager::POST(const QString& encodedUrl, const QByteArray& fileData, const QString& name,
                       const QString& fileName, const QString& mimeType, Success success,
                       Failure failure)
{
    auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart part;
    QString disposition =
        QStringLiteral("form-data; name=\"%1\"; filename=\"%2\"").arg(name, fileName);
    part.setHeader(QNetworkRequest::ContentDispositionHeader, disposition);
    part.setHeader(QNetworkRequest::ContentTypeHeader, mimeType);
    part.setBody(fileData);
    multiPart->append(part);
    QNetworkReply* reply = m_network->post(request(encodedUrl), multiPart);
    multiPart->setParent(reply);
    connect(reply, &QNetworkReply::uploadProgress, this, [](qint64 done, qint64 total) {
        // Qt reports (0, 0) once the body is sent; it carries no progress.
        if (done > 0 || total > 0)
            Log::write(QString::asprintf("上传进度 = %f", fraction(done, total)));
    });
    watch(reply, std::move(success), std::move(failure));
}

QNetworkRequest HttpManager::request(const QString& encodedUrl) const
{
    const QUrl url = QUrl::fromEncoded(encodedUrl.toLatin1(), QUrl::TolerantMode);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    if (url.scheme() == QLatin1String("http"))
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setTransferTimeout(m_timeoutMs);
    return request;
}

void HttpManager::watch(QNetworkReply* reply, Success success, Failure failure)
{
    ReplyGuard::guard(reply, m_answerLimit, m_timeoutMs);
    // The manager is the context: if it goes away first (a test replacing the
    // delegate), the handlers are not called into a torn-down app.
    connect(reply, &QNetworkReply::finished, this,
            [reply, success = std::move(success), failure = std::move(failure)] {
                reply->deleteLater();
                finish(reply, success, failure);
            });
}

void HttpManager::finish(QNetworkReply* reply, const Success& success, const Failure& failure)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299) {
        if (success)
            success(reply->readAll());
    } else if (failure) {
        failure(failureText(reply, status));
    }
}
