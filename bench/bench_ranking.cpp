// The weekly ranking: one frame of the ranking list scrolling through 10,000 cached riders
// (rows that come into sight are filled from the cache, then the page is drawn), and the
// parse and merge of a 1,000-rider answer into the cache in one transaction, against bare
// SQLite upserting the same riders.
#include "BareRankingUpsert.h"
#include "BenchReport.h"
#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "platform/ui/TableView.h"
#include "poll/RankingFeed.h"
#include "protocol/DeviceServer.h"
#include "protocol/ServerAnswer.h"
#include "screens/profile/AllOfMinePages2.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"
#include "store/StoreContext.h"
#include "store/db/ManagedObjectContext.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

constexpr int CachedRiders = 10000;
constexpr int AnswerRiders = 1000;

void fillCache()
{
    ContextBatch batch(StoreContext::shared());
    for (int rank = 1; rank <= CachedRiders; ++rank) {
        const QString name = QStringLiteral("rider%1").arg(rank);
        MyPaiMingInfo::CheckAdd(name, QString::number(rank % 20 + 1), QStringLiteral("骑士"),
                                QString::number(rank), QString(), QStringLiteral("31.2"),
                                QStringLiteral("121.4"), QStringLiteral("wx_") + name);
    }
}

// A ranking answer whose ranks are turned by `shift`, so every merge changes every row.
QByteArray answer(int shift)
{
    QJsonArray list;
    for (int i = 0; i < AnswerRiders; ++i) {
        list.append(
            QJsonObject{{"username", QStringLiteral("merged%1").arg(i)},
                        {"level", QString::number(i % 20 + 1)},
                        {"levelname", QStringLiteral("骑士")},
                        {"paiming", QString::number((i + shift) % AnswerRiders + 1)},
                        {"touxiangpath", QStringLiteral("http://127.0.0.1/a/%1.png").arg(i)},
                        {"lat", "31.23"},
                        {"lng", "121.47"},
                        {"weixin", QStringLiteral("wx%1").arg(i)}});
    }
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

// Frames of the list moving by `step` points each, wrapping at the end.
double frameNs(AllOfMinePages2& page, QImage& frame, qreal step)
{
    TableView* table = page.findChild<TableView*>(QStringLiteral("tableView"));
    return medianNs(
        [&] {
            const qreal next = table->contentOffset() + step;
            table->setContentOffset(next > table->maximumContentOffset() ? 0 : next);
            page.render(&frame);
        },
        60, 15);
}

void benchList(AppContext& context)
{
    AllOfMinePages2 page(context);
    page.setBaseGeometry(QRect(0, 0, 320, 497));
    page.loadViewIfNeeded();
    page.show();
    page.findChild<TableView*>(QStringLiteral("tableView"))->setContentOffset(CachedRiders * 30.0);
    QImage frame(page.size(), QImage::Format_ARGB32_Premultiplied);
    // Fonts, images and the cache's pages warm up before anything counts.
    frameNs(page, frame, 364);
    const double still = frameNs(page, frame, 0);
    report(QStringLiteral("ranking list frame, 10000 riders, scrolling 24pt"),
           frameNs(page, frame, 24), still, QStringLiteral("a still frame"));
    report(QStringLiteral("ranking list frame, 10000 riders, a screenful of new rows"),
           frameNs(page, frame, 364), still, QStringLiteral("a still frame"));
}

void benchMerge(const QString& barePath)
{
    const QByteArray bodies[] = {answer(0), answer(1)};
    const QList<RiderInfo> parsed[] = {DeviceServer::riders(ServerAnswer(bodies[0])),
                                       DeviceServer::riders(ServerAnswer(bodies[1]))};
    BareRankingUpsert bare(barePath);
    RankingFeed feed(nullptr);
    feed.pause();
    // The first merge replaces the 10,000 cached riders; the figure is the steady state.
    bare.upsert(parsed[0]);
    feed.merge(parsed[0]);
    int round = 0;
    int bareRound = 0;
    const auto [floor, merged] = medianCallsNs(
        [&] { bare.upsert(parsed[++bareRound % 2]); },
        [&] { feed.merge(DeviceServer::riders(ServerAnswer(bodies[++round % 2]))); }, 5, 5);
    report(QStringLiteral("ranking answer of 1000 riders, parse + merge in one transaction"),
           merged, floor, QStringLiteral("bare 1000-row upsert transaction"));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Log::Quiet quiet;
    QTemporaryDir dir;
    AppDelegate delegate(dir.path());
    MyUtil::InitMyDateBase();
    fillCache();
    benchList(delegate.context());
    benchMerge(QDir(dir.path()).filePath(QStringLiteral("bare.sqlite")));
    return 0;
}
