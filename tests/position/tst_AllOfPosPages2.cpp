#include "PositionFixture.h"

#include "platform/map/MapPointAnnotation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Images.h"
#include "screens/position/AllOfPosPages2.h"
#include "store/MyFriendInfo.h"
#include "views/CustomAnnotationViewFriend.h"
#include "views/FitLabel.h"

#include <QLabel>
#include <QtTest>

// The riders-mode page: the user's own card, then the card of each rider selected.
class tst_AllOfPosPages2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void formats();
    void ownCardFromTheStore();
    void selectedRiderReplacesTheCard();
    void riderWithoutCacheShowsEmptyFields();
    void longNamesAreNeverCutThroughACharacter();

private:
    AllOfPosPages2* makePage();

    std::unique_ptr<PositionFixture> m_fx;
    QPointer<AllOfPosPages2> m_page;
};

void tst_AllOfPosPages2::init()
{
    m_fx = std::make_unique<PositionFixture>();
}

void tst_AllOfPosPages2::cleanup()
{
    delete m_page;
    m_fx.reset();
}

AllOfPosPages2* tst_AllOfPosPages2::makePage()
{
    m_page = m_fx->storyboard->instantiate<AllOfPosPages2>("AllOfPosPages2");
    m_page->setParent(&m_fx->host);
    m_page->setBaseGeometry(QRect(0, 0, 360, 150));
    m_page->loadViewIfNeeded();
    return m_page;
}

void tst_AllOfPosPages2::formats()
{
    QCOMPARE(AllOfPosPages2::usernameText("abc", "骑士", "12"), QString("abc- 骑士 12级"));
    QCOMPARE(AllOfPosPages2::paimingText("12"), QString("本周排名 NO.12"));
    QCOMPARE(AllOfPosPages2::weixinText("wx"), QString("微信名 : wx"));
}

void tst_AllOfPosPages2::ownCardFromTheStore()
{
    MyBasicInfo::SetValue("localusername", "rider01");
    MyBasicInfo::SetValue("levelname", "骑士");
    MyBasicInfo::SetValue("level", "12");
    MyBasicInfo::SetValue("paiming", "12");
    MyBasicInfo::SetValue("weixin", "wx01");
    MyBasicInfo::SetValue("touxiangpath", "");
    makePage();
    QCOMPARE(m_page->username()->text(), QString("rider01- 骑士 12级"));
    QCOMPARE(m_page->paiming()->text(), QString("本周排名 NO.12"));
    QCOMPARE(m_page->weixin()->text(), QString("微信名 : wx01"));
    QVERIFY(m_fx->log.contains("touxiangpath = "));
    QCOMPARE(m_page->touxiangimage()->image(), Images::named("touxiangsmall.png"));
    // Not refreshed from the store afterwards.
    MyBasicInfo::SetValue("weixin", "changed");
    QCOMPARE(m_page->weixin()->text(), QString("微信名 : wx01"));
}

void tst_AllOfPosPages2::selectedRiderReplacesTheCard()
{
    makePage();
    // Another rider's row with the same rank: the mark names its rider by user name.
    MyFriendInfo::CheckAdd("old9", "3", "新手", "9", "", "30.1", "120.1", "wxold");
    MyFriendInfo::CheckAdd("rider9", "16", "老司机", "9", "", "30.5", "120.5", "wx9");
    auto mark = std::make_shared<MapPointAnnotation>(MapCoordinate{30.5, 120.5}, "9", "rider9");
    CustomAnnotationViewFriend view(mark, "id", nullptr,
                                    {nullptr, &m_fx->app.delegate->defaultCenter()});
    view.setSelected(true);
    QCOMPARE(m_page->username()->text(), QString("rider9- 老司机 16级"));
    QCOMPARE(m_page->paiming()->text(), QString("本周排名 NO.9"));
    QCOMPARE(m_page->weixin()->text(), QString("微信名 : wx9"));
    QCOMPARE(m_fx->log.count("选中了一个驴友"), 1);
    view.setSelected(false);
    QCOMPARE(m_page->username()->text(), QString("rider9- 老司机 16级"));
}

void tst_AllOfPosPages2::riderWithoutCacheShowsEmptyFields()
{
    makePage();
    auto mark = std::make_shared<MapPointAnnotation>(MapCoordinate{30.5, 120.5}, "77", "ghost");
    CustomAnnotationViewFriend view(mark, "id", nullptr,
                                    {nullptr, &m_fx->app.delegate->defaultCenter()});
    view.setSelected(true);
    QCOMPARE(m_page->username()->text(), QString("-  级"));
    QCOMPARE(m_page->paiming()->text(), QString("本周排名 NO."));
}

void tst_AllOfPosPages2::longNamesAreNeverCutThroughACharacter()
{
    makePage();
    auto* label = qobject_cast<FitLabel*>(m_page->username());
    QVERIFY(label);
    const qreal room = label->contentsRect().width();
    label->setText("lvyou0002- 追风骑士 17级");
    FitLabel::Fitted shown = label->fitted();
    QCOMPARE(shown.text, label->text());
    QVERIFY(QFontMetricsF(shown.font).horizontalAdvance(shown.text) <= room);
    label->setText(QString(60, QChar(0x9a74)));
    shown = label->fitted();
    QVERIFY(shown.text.endsWith(QChar(0x2026)));
    QVERIFY(QFontMetricsF(shown.font).horizontalAdvance(shown.text) <= room);
}

QTEST_MAIN(tst_AllOfPosPages2)
#include "tst_AllOfPosPages2.moc"
