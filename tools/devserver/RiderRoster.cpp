#include "tools/devserver/RiderRoster.h"

#include "tools/devserver/SimRandom.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

const GeoPoint kCityCentre{30.2741, 120.1551};

const QStringList& syllables()
{
    static const QStringList list{"xiao", "da",  "lao", "feng", "yun",  "long", "hu",
                                  "ma",   "niu", "lu",  "qi",   "xing", "tian", "shan",
                                  "he",   "hai", "lin", "mu",   "jin",  "yu",   "bai"};
    return list;
}

const QStringList& chineseNames()
{
    static const QStringList list{"骑行小王", "西湖车神", "钱塘骑士", "电驴阿强", "追风少年",
                                  "滨江老李", "拱墅小美", "余杭大刘", "骑遍杭州", "断桥飞驴"};
    return list;
}

} // namespace

RiderRoster::RiderRoster(quint64 seed) : m_seed(seed)
{
    generate();
}

void RiderRoster::generate()
{
    SimRandom random(SimRandom::hash(m_seed, "roster"));
    QSet<QString> taken{"rider01"};
    while (m_riders.size() < kRankedRiders - 1) {
        Rider rider;
        if (random.uniform() < 0.2) {
            rider.username = chineseNames().at(random.between(0, int(chineseNames().size()) - 1));
        } else {
            rider.username = syllables().at(random.between(0, int(syllables().size()) - 1)) +
                             syllables().at(random.between(0, int(syllables().size()) - 1)) +
                             QString::number(random.between(1, 99));
        }
        if (taken.contains(rider.username))
            continue;
        taken.insert(rider.username);
        const int index = int(m_riders.size()) + 1;
        rider.weixin = QStringLiteral("wx_%1").arg(index, 2, 10, QChar('0')) +
                       (rider.username.at(0).unicode() < 128 ? "_" + rider.username : QString());
        rider.avatarPath = QStringLiteral("/touxiang/rider-%1.png").arg(index, 2, 10, QChar('0'));
        rider.jifen = random.between(0, 8000);
        const double radius = random.range(300, 8000);
        const double angle = random.range(0, 2 * std::numbers::pi);
        rider.position = kCityCentre.offset(radius * std::cos(angle), radius * std::sin(angle));
        m_riders.append(rider);
    }
}

QList<RiderRoster::Ranked> RiderRoster::ranking(const QList<Rider>& accounts,
                                                const QDate& today) const
{
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    QList<Rider> candidates;
    for (Rider rider : m_riders) {
        const double share =
            SimRandom::uniformOf(m_seed, rider.username + "/week", monday.toJulianDay());
        rider.weekKm = std::round(10 * (5 + 140 * share)) / 10;
        candidates.append(rider);
    }
    candidates.append(accounts);
    auto byMileage = [](const Rider& a, const Rider& b) {
        return a.weekKm != b.weekKm ? a.weekKm > b.weekKm : a.username < b.username;
    };
    std::stable_sort(candidates.begin(), candidates.end(), byMileage);
    // Accounts past the last place push out the slowest seeded riders.
    while (candidates.size() > kRankedRiders) {
        auto last = std::find_if(candidates.rbegin(), candidates.rend(),
                                 [](const Rider& r) { return r.devid.isEmpty(); });
        if (last == candidates.rend())
            break;
        candidates.erase(std::next(last).base());
    }
    QList<Ranked> ranked;
    for (const Rider& rider : candidates) {
        const int level = levelFor(rider.jifen);
        ranked.append(Ranked{rider, level, levelName(level), int(ranked.size()) + 1});
    }
    return ranked;
}

QList<RiderRoster::Ranked> RiderRoster::nearby(const QList<Ranked>& ranking, const QString& devid,
                                               const GeoPoint& around) const
{
    QList<Ranked> others;
    for (const Ranked& entry : ranking) {
        if (entry.rider.devid != devid)
            others.append(entry);
    }
    // A fixed choice per device, each rider at a fixed offset from the device.
    std::stable_sort(others.begin(), others.end(), [&](const Ranked& a, const Ranked& b) {
        return SimRandom::hash(m_seed, devid + a.rider.username) <
               SimRandom::hash(m_seed, devid + b.rider.username);
    });
    others = others.mid(0, kNearbyRiders);
    for (Ranked& entry : others) {
        SimRandom random(SimRandom::hash(m_seed, devid + "/near/" + entry.rider.username));
        const double radius = random.range(150, 1500);
        const double angle = random.range(0, 2 * std::numbers::pi);
        entry.rider.position = around.offset(radius * std::cos(angle), radius * std::sin(angle));
    }
    return others;
}

const RiderRoster::Rider* RiderRoster::riderWithAvatar(const QString& path) const
{
    for (const Rider& rider : m_riders) {
        if (rider.avatarPath == path)
            return &rider;
    }
    return nullptr;
}

int RiderRoster::levelFor(int jifen)
{
    return std::clamp(1 + jifen / 400, 1, 20);
}

QString RiderRoster::levelName(int level)
{
    static const QStringList names{"驴宝宝",   "小驴驹",   "见习驴友", "初级驴友", "驴友",
                                   "中级驴友", "高级驴友", "资深驴友", "驴行达人", "驴行高手",
                                   "驴行专家", "驴行大师", "骑行侠",   "骑行大侠", "骑行宗师",
                                   "风之骑士", "追风骑士", "闪电骑士", "传奇骑士", "驴神"};
    return names.at(std::clamp(level, 1, 20) - 1);
}
