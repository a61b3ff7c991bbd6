#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// The app's one HTTP session: GET and multipart POST to the device server,
// raw bodies in, progress written to the log, handlers called on the main thread.
//
// Success means a transfer without error and a status of 200 to 299; the handler
// gets the raw body. Anything else (transport error, time-out, other status, a
// redirect it did not follow) calls the failure handler with an error text. The
// manager itself does not log failures: each caller decides, because some of them
// write "error = %@" and some (the status poll, the geofence state upload) stay silent.
//
// Redirects are followed only to the same scheme, host and port, so a query that
// carries a password never travels to another server, and at most MaxRedirects
// times, so a loop fails instead of multiplying traffic. Plain-http requests never
// try HTTP/2. Every request ends within the time-out of its start, whatever
// trickles in meanwhile, and an answer longer than the answer limit is cut off and
// fails. Failure texts never carry a password: Qt's error texts quote the URL, so
// its `pwd` value is masked there as in every logged URL.
class HttpManager : public QObject
{
    Q_OBJECT

public:
    using Parameters = QList<std::pair<QString, QString>>;
    using Success = std::function<void(const QByteArray& body)>;
    using Failure = std::function<void(const QString& error)>;

    static constexpr int DefaultTimeoutMs = 60000;
    static constexpr int MaxRedirects = 2;
    // A script answer is a few kilobytes; a ranking of thousands of riders stays far below.
    static constexpr qint64 DefaultAnswerLimit = 4 * 1024 * 1024;

    explicit HttpManager(QNetworkAccessManager* network, QObject* parent = nullptr);

    QNetworkAccessManager* network() const { return m_network; }
    int transferTimeout() const { return m_timeoutMs; }
    void setTransferTimeout(int ms) { m_timeoutMs = ms; }
    qint64 answerLimit() const { return m_answerLimit; }
    void setAnswerLimit(qint64 bytes) { m_answerLimit = bytes; }

    // Sends a GET to an already encoded URL. Each parameter goes after the URL's
    // own query as "&name=value", name and value percent-encoded on their own
    // (a URL without a query gets "?" before the first one).
    void GET(const QString& encodedUrl, const Parameters& parameters, Success success,
             Failure failure);

    // Sends a multipart/form-data POST with one file part.
    void POST(const QString& encodedUrl, const QByteArray& fileData, const QString& name,
              const QString& fileName, const QString& mimeType, Success success, Failure failure);

    // Sends a request without a body (the simulator's control calls use POST).
    void send(const QByteArray& verb, const QString& encodedUrl, Success success, Failure failure);

    // The URL a GET with these parameters goes to.
    static QString withParameters(const QString& encodedUrl, const Parameters& parameters);
    // `text` with the value of every `pwd=` query parameter written as ***, in any of the
    // forms a URL takes in a text (encoded, or decoded with spaces).
    static QString maskPassword(const QString& text, const QUrl& url = QUrl());

private:
    QNetworkRequest request(const QString& encodedUrl) const;
    void watch(QNetworkReply* reply, Success success, Failure failure);
    static void finish(QNetworkReply* reply, const Success& success, const Failure& failure);

    QNetworkAccessManager* m_network;
    int m_timeoutMs = DefaultTimeoutMs;
    qint64 m_answerLimit = DefaultAnswerLimit;
};
