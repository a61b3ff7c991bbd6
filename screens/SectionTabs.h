#pragma once

#include <QList>

class ImageView;
class Screen;

// The grey bar with the three section tabs (riding, position, profile) along the
// bottom of each section screen; the tab of the section on display is highlighted.
class SectionTabs
{
public:
    enum Tab { Set, Pos, Mine };

    struct Built
    {
        ImageView* bar = nullptr;
        QList<ImageView*> tabs; // in the order of Tab
    };

    static Built build(Screen* screen, Tab current);
};
