#pragma once

#include <QList>
#include <QString>

class QWidget;

// The texts a rider can read in a window (labels, buttons, field hints, alerts, the
// title), each with the place it was seen, so that a run in one language can be checked
// for texts left in another.
namespace TextCollector {

struct Seen
{
    QString where;
    QString text;
};

QList<Seen> visibleTexts(QWidget* window, const QString& screen);

} // namespace TextCollector
