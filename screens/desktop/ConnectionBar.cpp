#include "screens/desktop/ConnectionBar.h"

#include "poll/ConnectionState.h"

#include <QLabel>
#include <QTimer>

ConnectionBar::ConnectionBar(ConnectionState& state, QWidget* parent)
    : QStatusBar(parent), m_state(state), m_label(new QLabel(this))
{
    setSizeGripEnabled(false);
    m_label->setContentsMargins(6, 0, 6, 0);
    addWidget(m_label, 1);
    connect(&m_state, &ConnectionState::changed, this, &ConnectionBar::refresh);
    // The ages are whole minutes, so a look each minute keeps them right.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &ConnectionBar::refresh);
    timer->start(60 * 1000);
    refresh();
}

void ConnectionBar::refresh()
{
    m_label->setText(m_state.text());
}
