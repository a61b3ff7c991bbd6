#include "platform/NotificationCenter.h"

int NotificationCenter::addObserver(const QString& name, Handler handler, QObject* owner)
{
    const int token = m_nextToken++;
    m_entries.append(Entry{token, name, std::move(handler), owner != nullptr, owner});
    return token;
}

void NotificationCenter::removeObserver(int token)
{
    m_entries.removeIf([token](const Entry& e) { return e.token == token; });
}

void NotificationCenter::removeObserver(QObject* owner, const QString& name)
{
    m_entries.removeIf([&](const Entry& e) {
        return e.hasOwner && e.owner == owner && (name.isEmpty() || e.name == name);
    });
}

bool NotificationCenter::isLive(int token) const
{
    for (const Entry& e : m_entries) {
        if (e.token == token)
            return !e.hasOwner || !e.owner.isNull();
    }
    return false;
}

void NotificationCenter::post(const QString& name, QObject* object, const QVariantMap& userInfo)
{
    // Observers may add or remove observers while being told; the ones removed before
    // their turn are skipped and the ones added now hear only later posts.
    m_entries.removeIf([](const Entry& e) { return e.hasOwner && e.owner.isNull(); });
    QList<int> tokens;
    for (const Entry& e : m_entries) {
        if (e.name == name)
            tokens.append(e.token);
    }
    const Notification notification{name, object, userInfo};
    for (int token : tokens) {
        if (!isLive(token))
            continue;
        Handler handler;
        for (const Entry& e : m_entries) {
            if (e.token == token)
                handler = e.handler;
        }
        if (handler)
            handler(notification);
    }
}

int NotificationCenter::observerCount(const QString& name) const
{
    int count = 0;
    for (const Entry& e : m_entries) {
        if ((name.isEmpty() || e.name == name) && (!e.hasOwner || !e.owner.isNull()))
            ++count;
    }
    return count;
}
