#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>

// One posted notification: its name, the object that posted it and optional extra data.
struct Notification
{
    QString name;
    QObject* object = nullptr;
    QVariantMap userInfo;
};

// Named notifications between parts of the app that do not know each other (pages telling
// their section to switch, a map mark announcing its selection). Delivery is synchronous,
// on the posting thread, in the order the observers were added.
class NotificationCenter
{
public:
    using Handler = std::function<void(const Notification&)>;

    // Adds an observer of `name`; with an owner, the observer goes away with the owner and
    // removeObserver(owner) removes it. Answers a token for removeObserver(token).
    int addObserver(const QString& name, Handler handler, QObject* owner = nullptr);
    void removeObserver(int token);
    // Removes every observer of `owner`, or only those of one name.
    void removeObserver(QObject* owner, const QString& name = QString());

    void post(const QString& name, QObject* object = nullptr,
              const QVariantMap& userInfo = QVariantMap());

    int observerCount(const QString& name = QString()) const;

private:
    struct Entry
    {
        int token;
        QString name;
        Handler handler;
        bool hasOwner;
        QPointer<QObject> owner;
    };
    bool isLive(int token) const;

    QList<Entry> m_entries;
    int m_nextToken = 1;
};
