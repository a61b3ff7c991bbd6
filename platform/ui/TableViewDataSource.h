#pragma once

class TableView;
class TableViewCell;

// Supplies a table view's rows: how many there are and the cell that shows one of them.
// Tables here have one section.
class TableViewDataSource
{
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfRowsInSection(TableView* tableView, int section) = 0;
    // Usually a cell from dequeueReusableCellWithIdentifier, filled for `row`.
    virtual TableViewCell* cellForRowAtIndexPath(TableView* tableView, int row) = 0;
};
