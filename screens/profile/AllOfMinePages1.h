#pragma once

#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

#include <QLabel>
#include <QPointer>

struct AppContext;

// The rider's own profile: avatar, name, level, points, weekly rank and total mileage, as
// the settings store held them when the page loaded; its arrow leads to the ranking list.
class AllOfMinePages1 : public Screen
{
    Q_OBJECT

public:
    explicit AllOfMinePages1(AppContext& context, QWidget* parent = nullptr);

    // Asks the section to show the ranking list.
    void tapPageWelcom();

protected:
    void viewDidLoad() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildHeader();
    void buildFigures();
    void buildRankingLink();
    void fill();
    // Frames on a 720-wide grid over the page's own height of 1120 units.
    QRectF unitRect(double x, double y, double w, double h) const;
    QRectF avatarFrame() const;

    AppContext& m_app;
    QPointer<ImageView> m_touxiangimage;
    QPointer<QLabel> m_username;
    QPointer<QLabel> m_levelname;
    QPointer<QLabel> m_jifen;
    QPointer<QLabel> m_paiming;
    QPointer<QLabel> m_totallicheng;
    QPointer<ImageView> m_leftimage;
};
