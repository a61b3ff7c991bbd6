#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"

#include <QLabel>
#include <QPointer>

struct AppContext;

// The weekly ranking list under the rider's own summary. Rows come from the ranking cache
// as they come into view; choosing one stores its rank as `cellindex` and asks the section
// to show that rider on the map.
class AllOfMinePages2 : public Screen, public TableViewDataSource, public TableViewDelegate
{
    Q_OBJECT

public:
    static constexpr qreal RowHeight = 60.0;

    explicit AllOfMinePages2(AppContext& context, QWidget* parent = nullptr);

    // Asks the section to show the profile page.
    void tapPageWelcom();

    int numberOfRowsInSection(TableView* tableView, int section) override;
    TableViewCell* cellForRowAtIndexPath(TableView* tableView, int row) override;
    qreal heightForRowAtIndexPath(TableView* tableView, int row) override;
    void didSelectRowAtIndexPath(TableView* tableView, int row) override;

protected:
    void viewDidLoad() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildHeader();
    void buildTable();
    void fill();
    QRectF unitRect(double x, double y, double w, double h) const;
    QRectF avatarFrame() const;

    AppContext& m_app;
    QPointer<ImageView> m_touxiangimage;
    QPointer<QLabel> m_username;
    QPointer<QLabel> m_levelname;
    QPointer<QLabel> m_paiming;
    QPointer<ImageView> m_rightimage;
    QPointer<TableView> m_tableView;
};
