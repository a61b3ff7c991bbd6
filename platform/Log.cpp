#include "platform/Log.h"

#include <QList>
#include <cstdio>

namespace {

QList<Log::Capture*>& captures()
{
    static QList<Log::Capture*> list;
    return list;
}

bool& quiet()
{
    static bool value = false;
    return value;
}

} // namespace

namespace Log {

void write(const QString& line)
{
    if (!quiet()) {
        const QByteArray utf8 = line.toUtf8();
        std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stderr);
        std::fputc('\n', stderr);
    }
    for (Capture* capture : captures())
        capture->m_lines.append(line);
}

Capture::Capture()
{
    captures().append(this);
}

Capture::~Capture()
{
    captures().removeOne(this);
}

QStringList Capture::matching(const QString& prefix) const
{
    QStringList found;
    for (const QString& line : m_lines)
        if (line.startsWith(prefix))
            found.append(line);
    return found;
}

Quiet::Quiet() : m_wasQuiet(quiet())
{
    quiet() = true;
}

Quiet::~Quiet()
{
    quiet() = m_wasQuiet;
}

} // namespace Log
