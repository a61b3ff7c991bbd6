// Reading device-server answers: one status answer decoded, classified and
// stored, and a 1,000-rider ranking answer parsed and merged into the cache.
#include "BareRankingUpsert.h"
#include "BenchReport.h"
#include "app/AppDelegate.h"
#include "platform/Log.h"
#include "poll/StatusStore.h"
#include "protocol/DeviceServer.h"
#include "protocol/ServerAnswer.h"
#include "protocol/StatusAnswer.h"
#include "store/MyPaiMingInfo.h"
#include "store/MyUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

QByteArray statusBody(int round)
{
    QJsonObject record{{"timerreturnmsg", "ok"}, {"absday", round}};
    for (const QString& key : StatusRecord::storeKeys(StatusRecord::Poll))
        if (key != QLatin1String("absday"))
            record.insert(key, QStringLiteral("%1.%2").arg(key.size()).arg(round));
    record.insert("weilanwaring", "0");
    record.insert("banlvstateupdate", "0");
    return QJsonDocument(QJsonArray{record}).toJson(QJsonDocument::Compact);
}

QByteArray rankingBody(int riders, int round)
{
    QJsonArray list;
    for (int i = 1; i <= riders; ++i)
        list.append(
            QJsonObject{{"username", QStringLiteral("rider%1").arg(i, 4, 10, QLatin1Char('0'))},
                        {"level", QString::number(i % 20)},
                        {"levelname", QStringLiteral("骑士")},
                        {"paiming", QString::number((i + round) % riders + 1)},
                        {"touxiangpath", QStringLiteral("http://127.0.0.1:8808/a/%1.png").arg(i)},
                        {"lat", "39.9"},
                        {"lng", "116.4"},
                        {"weixin", "wx"}});
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

// The app's own path: the answer parsed, then replacing the cache in one transaction.
void mergeRanking(const QByteArray& body)
{
    MyPaiMingInfo::Replace(DeviceServer::riders(ServerAnswer(body)));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    Log::Quiet quiet;
    QTemporaryDir dir;
    AppDelegate delegate(dir.path());
    MyUtil::InitMyDateBase();

    QList<QByteArray> bodies;
    for (int i = 0; i < 16; ++i)
        bodies << statusBody(i);
    int next = 0;
    const double decodeNs = medianNs([&] {
        const StatusAnswer answer(StatusRecord::Poll, ServerAnswer(bodies[next++ % 16]));
        if (!answer.isOk())
            std::abort();
    });
    report("status_answer_decode_classify", decodeNs);
    const double storeNs = medianNs(
        [&] {
            const StatusAnswer answer(StatusRecord::Poll, ServerAnswer(bodies[next++ % 16]));
            StatusStore::storeIfOk(answer);
        },
        50, 15);
    report("status_answer_decode_classify_store", storeNs, 1e6, "goal 1ms");

    const QByteArray first = rankingBody(1000, 0);
    QElapsedTimer timer;
    timer.start();
    mergeRanking(first);
    report("ranking_1000_first_merge_inserts", double(timer.nsecsElapsed()));
    // The floor writes the same riders, parsed beforehand.
    QList<QByteArray> rankings;
    QList<QList<RiderInfo>> riders;
    for (int round = 0; round < 8; ++round) {
        rankings << rankingBody(1000, round + 1);
        riders << DeviceServer::riders(ServerAnswer(rankings.last()));
    }
    BareRankingUpsert bare(QDir(dir.path()).filePath("bare.sqlite"));
    bare.upsert(DeviceServer::riders(ServerAnswer(first)));
    int round = 0;
    int bareRound = 0;
    const auto [bareNs, mergeNs] =
        medianCallsNs([&] { bare.upsert(riders[bareRound++ % 8]); },
                      [&] { mergeRanking(rankings[round++ % 8]); }, 4, 5);
    report("ranking_1000_parse_merge", mergeNs, bareNs, "bare 1000-row upsert transaction");
    const double parseNs = medianNs([&] { DeviceServer::riders(ServerAnswer(first)); }, 5, 15);
    report("ranking_1000_parse_only", parseNs);
    return MyPaiMingInfo::GetCount() == 1000 ? 0 : 1;
}
