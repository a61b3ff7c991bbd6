#pragma once

#include "platform/ui/Screen.h"

// Stands in for a screen whose class is not registered yet: shows its identifier, so
// navigation can be followed before every screen exists.
class PlaceholderScreen : public Screen
{
    Q_OBJECT

public:
    explicit PlaceholderScreen(const QString& identifier, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_name;
};
