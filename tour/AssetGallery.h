#pragma once

#include "platform/ui/Screen.h"

#include <QStringList>

// Every image of the app on one sheet, each with its name, for people to look at.
class AssetGallery : public Screen
{
    Q_OBJECT

public:
    explicit AssetGallery(const QStringList& names, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_names;
};
