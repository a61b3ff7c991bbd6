#pragma once

#include <QJsonDocument>
#include <QString>
#include <functional>

// The tour's calls to the device-server simulator's control API, sent through the app's
// own HTTP manager (its time-out, redirect and size rules hold for them too). Reading
// calls are GETs; calls that change the simulated world are POSTs.
namespace SimulatorControl {

using Done = std::function<void(const QJsonDocument& answer)>;

// `done` gets the parsed answer, or a null document when there is none.
void read(const QString& path, Done done);
void change(const QString& path, Done done = {});

} // namespace SimulatorControl
