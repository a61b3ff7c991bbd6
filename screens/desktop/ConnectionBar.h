#pragma once

#include <QStatusBar>

class ConnectionState;
class QLabel;

// The desktop window's status bar under the phone screen: whether the device server
// answers and how old the device state is, refreshed on each answer and each minute.
class ConnectionBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit ConnectionBar(ConnectionState& state, QWidget* parent = nullptr);

private:
    void refresh();

    ConnectionState& m_state;
    QLabel* m_label;
};
