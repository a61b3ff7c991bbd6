#pragma once

#include "platform/map/MapView.h"
#include "platform/map/MapViewDelegate.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

#include <QLabel>
#include <QPointer>

struct AppContext;

// The ranking map: the rider chosen in the ranking list (`cellindex`, rank 1 before any
// choice) on a map, with the rider's avatar, rank and WeChat name under it and a back
// button to the list.
class AllOfMinePages3 : public Screen, public MapViewDelegate
{
    Q_OBJECT

public:
    static constexpr const char* AnnotationIdentifier = "customReuseIndetifier";

    explicit AllOfMinePages3(AppContext& context, QWidget* parent = nullptr);

    // Reads the chosen rider from the ranking cache; a rank no cached rider holds leaves the
    // page as it was.
    void UpdateData();
    void addAnnotationWithCooordinate(double latitude, double longitude);
    // The back button's action.
    void button1();

    MapAnnotationView* viewForAnnotation(MapView* mapView,
                                         const MapAnnotationPtr& annotation) override;

    float poslat() const { return m_poslat; }
    float poslng() const { return m_poslng; }

    // The back button's frame on a page of `size`.
    static QRect backButtonFrame(const QSizeF& size);

protected:
    void viewDidLoad() override;
    void viewWillAppear() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildCard();
    void buildMap();
    void buildBackButton();
    QRectF cardRect() const;
    QRectF avatarFrame() const;

    AppContext& m_app;
    QPointer<MapView> m_mapView;
    QPointer<Button> m_backButton;
    QPointer<ImageView> m_touxiangimage;
    QPointer<QLabel> m_username;
    QPointer<QLabel> m_paiming;
    QPointer<QLabel> m_weixin;
    float m_poslat = 0;
    float m_poslng = 0;
};
