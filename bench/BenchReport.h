#pragma once

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <vector>

// Median wall time of one call, in nanoseconds, over `rounds` rounds of
// `calls` calls each.
template <typename F> double medianNs(F&& call, int calls = 1000, int rounds = 15)
{
    std::vector<double> perCall;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < calls; ++i)
            call();
        perCall.push_back(double(timer.nsecsElapsed()) / calls);
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[perCall.size() / 2];
}

// One figure in the shared format: "<name> median=<value><unit> ratio=<r> vs <baseline>".
inline void report(const QString& name, double ns, double baselineNs, const QString& baseline)
{
    const bool micro = ns < 1e6;
    const double value = micro ? ns / 1e3 : ns / 1e6;
    std::printf("%s median=%.3f%s ratio=%.2f vs %s\n", qPrintable(name), value, micro ? "us" : "ms",
                baselineNs > 0 ? ns / baselineNs : 0.0, qPrintable(baseline));
    std::fflush(stdout);
}

// A figure without a baseline.
inline void report(const QString& name, double ns)
{
    const bool micro = ns < 1e6;
    std::printf("%s median=%.3f%s\n", qPrintable(name), micro ? ns / 1e3 : ns / 1e6, micro ? "us" : "ms");
    std::fflush(stdout);
}
