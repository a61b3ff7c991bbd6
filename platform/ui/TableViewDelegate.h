#pragma once

#include <QtGlobal>

class TableView;

// Shapes a table view's rows and hears of the rider's choice of one.
class TableViewDelegate
{
public:
    static constexpr qreal DefaultRowHeight = 44.0;

    virtual ~TableViewDelegate() = default;
    virtual qreal heightForRowAtIndexPath(TableView* tableView, int row)
    {
        Q_UNUSED(tableView);
        Q_UNUSED(row);
        return DefaultRowHeight;
    }
    virtual void didSelectRowAtIndexPath(TableView* tableView, int row)
    {
        Q_UNUSED(tableView);
        Q_UNUSED(row);
    }
};
