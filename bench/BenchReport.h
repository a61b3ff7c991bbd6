#pragma once

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <utility>
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

// The medians of single calls of `first` and of `second`, in nanoseconds, taken in turns
// of `block` calls each so that both meet the same load. A rare slow call (a WAL
// checkpoint, the page cache reloaded after the other's turn) stays the outlier it is
// instead of deciding a whole round.
template <typename F, typename G>
std::pair<double, double> medianCallsNs(F&& first, G&& second, int block, int turns)
{
    std::vector<double> times[2];
    const auto time = [](auto& call, std::vector<double>& into) {
        QElapsedTimer timer;
        timer.start();
        call();
        into.push_back(double(timer.nsecsElapsed()));
    };
    for (int turn = 0; turn < turns; ++turn) {
        for (int i = 0; i < block; ++i)
            time(first, times[0]);
        for (int i = 0; i < block; ++i)
            time(second, times[1]);
    }
    for (std::vector<double>& list : times)
        std::nth_element(list.begin(), list.begin() + list.size() / 2, list.end());
    return {times[0][times[0].size() / 2], times[1][times[1].size() / 2]};
}
