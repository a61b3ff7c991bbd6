#pragma once

#include "platform/map/MapPointAnnotation.h"
#include "store/AlarmLog.h"

#include <QList>
#include <QWidget>

class MapView;
class QLabel;
class QListWidget;

// The desktop window that looks back at the alarms: newest first, with where the device
// was for the one chosen on a small map.
class AlarmLogWindow : public QWidget
{
    Q_OBJECT

public:
    // The log keeps months of alarms; the window reads no more than this many of the newest.
    static constexpr int ShownAlarms = 500;

    explicit AlarmLogWindow(QWidget* parent = nullptr);

    // Reads the log again and chooses the newest alarm.
    void reload();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildList();
    void buildMap();
    void showAlarm(int row);
    void showNote(const QString& text);

    QList<AlarmLog::Entry> m_alarms;
    QListWidget* m_list = nullptr;
    QLabel* m_note = nullptr;
    MapView* m_map = nullptr;
    MapPointAnnotationPtr m_mark;
};
