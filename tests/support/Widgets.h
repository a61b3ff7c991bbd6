#pragma once

#include <QObject>
#include <QString>
#include <QTest>

// The child widget a screen names `name`, found through its object name the way a rider's
// finger would find it on the screen. A missing one is reported as the test's failure.
template <class T> T* child(const QObject* parent, const char* name)
{
    T* found = parent ? parent->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!found)
        QTest::qFail(qPrintable(QStringLiteral("no child named %1").arg(QString::fromLatin1(name))),
                     __FILE__, __LINE__);
    return found;
}
