#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One script of the device server: its path (most end in their first query
// parameter), its query format, how the URL is percent-encoded and which line
// logs its answer. The catalogue holds all twelve.
class ServerScript
{
public:
    enum Method { Get, Post };
    enum Encoding { QueryEncoding, LegacyEncoding };

    // A request URL as it is sent and as it is logged (password shown as ***).
    struct Url
    {
        QString encoded;
        QString logged;
    };

    static const ServerScript& devId();
    static const ServerScript& registerAccount();
    static const ServerScript& login();
    static const ServerScript& updateSpeed();
    static const ServerScript& updateWeiLan();
    static const ServerScript& sendEmail();
    static const ServerScript& getGpsInfo();
    static const ServerScript& getEveryThing();
    static const ServerScript& getPaiMing();
    static const ServerScript& getFriend();
    static const ServerScript& uploadPic();
    static const ServerScript& sendEmailVCode();
    static QList<const ServerScript*> all();

    QString path() const { return m_path; }
    QString format() const { return m_format; }
    Method method() const { return m_method; }
    Encoding encoding() const { return m_encoding; }
    // "str = %@" or "htmlstr = %@".
    QString answerLog() const { return m_answerLog; }
    // The answer line with the answer's text in place of %@.
    QString answerLine(const QString& text) const;

    // Fills the format: the first "%@" is the base URL followed by the path,
    // every later "%@" or "%ld" takes the next value in order. The prefix and the
    // format's own text are encoded as a whole with the script's encoding; each
    // value is encoded on its own, so "&", "=", "?", "#" and "+" in a value stay
    // inside it. The value after "pwd=" is logged as ***.
    Url url(const QString& baseUrl, const QStringList& values = {}) const;

    // The geofence web page; built as it is, not percent-encoded.
    static QString mapPageUrl(const QString& baseUrl, int wl, double lng, double lat);

private:
    ServerScript(const QString& path, const QString& format, Method method, Encoding encoding,
                 const QString& answerLog);

    QString encodeText(const QString& text) const;
    QString encodeValue(const QString& value) const;

    QString m_path;
    QString m_format;
    Method m_method;
    Encoding m_encoding;
    QString m_answerLog;
};
