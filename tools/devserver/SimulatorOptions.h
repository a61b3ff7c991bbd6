#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// How a device-server simulator is set up: where it keeps its files, its seed,
// how fast its time runs and how often it misbehaves on its own.
struct SimulatorOptions
{
    // Folder of the database, the outbox and the uploaded avatars; empty means a
    // temporary folder that lives as long as the simulator.
    QString dataDir;
    quint64 seed = 1;
    // Simulated seconds per real second. 0 stands time still: only advance()
    // moves it, which keeps in-process tests deterministic.
    double speed = 0;
    // Simulated time at start; invalid means a fixed morning, so that runs with
    // the same seed give the same answers.
    QDateTime start;
    int latencyMs = 0;
    double failRate = 0;    // share of answers replaced by HTTP 500
    double garbageRate = 0; // share of answers replaced by a body that is not JSON
    double dropRate = 0;    // share of requests whose connection is closed unanswered
    bool verbose = false;   // write the simulator's own log lines to stderr
    // A connection on which the server waits for the client this long is closed, so
    // that clients that open connections and send nothing (or a little at a time)
    // cannot hold them all.
    int idleLimitMs = 30000;
};
