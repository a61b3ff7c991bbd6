#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The one diagnostics sink: every line goes to stderr exactly as written
// (free-form, no level prefix) and to the listeners that tests and the tour attach.
namespace Log {

void write(const QString& line);

// Collects every line written while it lives; tests read what the app logged.
class Capture
{
public:
    Capture();
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    const QStringList& lines() const { return m_lines; }
    bool contains(const QString& line) const { return m_lines.contains(line); }
    int count(const QString& line) const { return int(m_lines.count(line)); }
    QStringList matching(const QString& prefix) const;
    void clear() { m_lines.clear(); }

private:
    friend void write(const QString& line);
    QStringList m_lines;
};

// Silences stderr while it lives (benchmarks and long tests); listeners still see the lines.
class Quiet
{
public:
    Quiet();
    ~Quiet();

private:
    bool m_wasQuiet;
};

} // namespace Log
