#include "tools/devserver/DeviceScripts.h"

#include "tools/devserver/AvatarPainter.h"
#include "tools/devserver/QueryString.h"
#include "tools/devserver/SimWorld.h"
#include "tools/devserver/TestMapPage.h"
#include "tools/devserver/TilePainter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

constexpr int kMaxTrackPoints = 500;
constexpr qsizetype kMaxAvatarBytes = 5 * 1024 * 1024;
const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

QString oneDecimal(double value)
{
    return QString::number(value, 'f', 1);
}

QString sixDecimals(double value)
{
    return QString::number(value, 'f', 6);
}

// The leading integer of a text, 0 when there is none (how the scripts read numbers).
qint64 leadingInteger(const QString& text)
{
    static const QRegularExpression number("^\\s*([+-]?\\d+)");
    const auto match = number.match(text);
    return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

} // namespace

DeviceScripts::DeviceScripts(SimWorld& world) : m_world(world)
{
    using Q = const QueryString&;
    using R = const SimRequest&;
    m_scripts = {
        {"/TolvarDevId.php", [this](Q q, R) { return deviceQuery(q); }},
        {"/TolvarRegisterIOS.php", [this](Q q, R) { return registerAccount(q); }},
        {"/TolvarLoginIOS.php", [this](Q q, R) { return login(q); }},
        {"/TolvarUpdateSpeed.php", [this](Q q, R) { return updateSpeed(q); }},
        {"/TolvarUpdateWeiLan.php", [this](Q q, R) { return updateWeiLan(q); }},
        {"/TolvarSendEmailIOS.php", [this](Q q, R) { return recoveryMail(q); }},
        {"/TolvarGetGpsInfo.php", [this](Q q, R) { return gpsInfo(q); }},
        {"/TolvarGetEveryThingTimerIOS.php", [this](Q q, R) { return status(q); }},
        {"/TolvarGetPaiMingIOS.php", [this](Q, R) { return paiMing(); }},
        {"/TolvarGetFriendIOS.php", [this](Q q, R) { return friends(q); }},
        {"/TolvarUploadPic.php", [this](Q q, R r) { return uploadPic(q, r); }},
        {"/TolvarSendEmailVCodeIOS.php", [this](Q q, R) { return codeMail(q); }},
        {"/TestMap.php", [this](Q q, R) { return testMap(q); }},
    };
}

SimAnswer DeviceScripts::answer(const QString& path, const SimRequest& request, const QString& base)
{
    m_base = base;
    m_world.catchUp();
    const QueryString query(request.query);
    if (const auto script = m_scripts.constFind(path); script != m_scripts.constEnd())
        return (*script)(query, request);
    if (path.startsWith("/touxiang/"))
        return avatar(path);
    if (path.startsWith("/tiles/"))
        return tile(path);
    if (path == "/" || path == "/index.html")
        return index();
    return notFound();
}

QString DeviceScripts::url(const QString& path) const
{
    return path.isEmpty() ? QString() : m_base + path;
}

SimAnswer DeviceScripts::record(const PhpJson::Record& record)
{
    return SimAnswer::text(PhpJson::array({PhpJson::object(record)}));
}

SimAnswer DeviceScripts::marker(const QString& key, const QString& value)
{
    return record({{key, value}});
}

SimAnswer DeviceScripts::deviceQuery(const QueryString& query)
{
    const SimDevice* device = m_world.device(query.value("devid"));
    if (!device) {
        return record({{"devid", "null"},
                       {"username", ""},
                       {"pwd", ""},
                       {"email", ""},
                       {"weixin", ""},
                       {"touxiangpath", ""}});
    }
    return record({{"devid", device->devid},
                   {"username", device->username},
                   {"pwd", device->pwd},
                   {"email", device->email},
                   {"weixin", device->weixin},
                   {"touxiangpath", url(device->touxiang)}});
}

SimAnswer DeviceScripts::registerAccount(const QueryString& query)
{
    const QString key = "registerreturnmsg";
    for (const char* name : {"devid", "username", "pwd", "email", "weixin"}) {
        if (!query.filled(name))
            return marker(key, "error:1");
    }
    SimDevice* device = m_world.device(query.value("devid"));
    if (!device)
        return marker(key, "error:2");
    if (device->hasAccount())
        return marker(key, "error:3");
    for (const QString& devid : m_world.devids()) {
        if (m_world.device(devid)->username == query.value("username"))
            return marker(key, "error:3");
    }
    device->username = query.value("username");
    device->pwd = query.value("pwd");
    device->email = query.value("email");
    device->weixin = query.value("weixin");
    device->registered = m_world.now().date();
    if (device->touxiang.isEmpty())
        device->touxiang = "/touxiang/" + device->devid + ".png";
    m_world.save(*device);
    m_world.log(QStringLiteral("registered %1 for %2").arg(device->username, device->devid));
    PhpJson::Record answer{{key, "ok"}};
    answer.append(statusRecord(*device, true));
    return record(answer);
}

SimAnswer DeviceScripts::login(const QueryString& query)
{
    const QString key = "loginreturnmsg";
    for (const char* name : {"devid", "username", "pwd"}) {
        if (!query.filled(name))
            return marker(key, "error:1");
    }
    const SimDevice* device = m_world.device(query.value("devid"));
    if (!device)
        return marker(key, "error:2");
    if (!device->hasAccount() || device->username != query.value("username") ||
        device->pwd != query.value("pwd"))
        return marker(key, "error:3");
    PhpJson::Record answer{{key, "ok"}};
    answer.append(statusRecord(*device, false));
    return record(answer);
}

SimAnswer DeviceScripts::updateSpeed(const QueryString& query)
{
    if (!query.filled("devid") || !query.has("maxspeed") || !query.has("lightspeed"))
        return SimAnswer::text("error:1");
    SimDevice* device = m_world.device(query.value("devid"));
    if (!device)
        return SimAnswer::text("error:2");
    device->maxspeed = query.value("maxspeed");
    device->lightspeed = query.value("lightspeed");
    m_world.save(*device);
    return SimAnswer::text("ok");
}

SimAnswer DeviceScripts::updateWeiLan(const QueryString& query)
{
    if (!query.filled("devid") || !query.filled("wlstate"))
        return SimAnswer::text("error:1");
    SimDevice* device = m_world.device(query.value("devid"));
    if (!device)
        return SimAnswer::text("error:2");
    device->weilanwaring = int(leadingInteger(query.value("wlstate")));
    m_world.save(*device);
    return SimAnswer::text("ok");
}

SimAnswer DeviceScripts::recoveryMail(const QueryString& query)
{
    if (!query.filled("devid") || !query.filled("email"))
        return SimAnswer::text("error:1");
    const SimDevice* device = m_world.device(query.value("devid"));
    if (!device)
        return SimAnswer::text("error:2");
    if (!device->hasAccount() ||
        device->email.compare(query.value("email").trimmed(), Qt::CaseInsensitive) != 0)
        return SimAnswer::text("error:3");
    m_world.sendMail(device->email, "驴行 找回密码",
                     QStringLiteral("您好 %1，\n\n设备 %2 的账户密码是：%3\n")
                         .arg(device->username, device->devid, device->pwd));
    return SimAnswer::text("ok");
}

SimAnswer DeviceScripts::codeMail(const QueryString& query)
{
    if (!query.filled("code") || !query.filled("email"))
        return SimAnswer::text("error:1");
    const QString code = query.value("code");
    m_world.sendMail(query.value("email"), "驴行 邮箱验证码",
                     QStringLiteral("您的验证码是：%1\n").arg(code), code);
    return SimAnswer::text("ok");
}

SimAnswer DeviceScripts::gpsInfo(const QueryString& query)
{
    const TrackerSimulation* tracker = m_world.tracker(query.value("devid"));
    if (!tracker)
        return SimAnswer::text("[]");
    QList<QByteArray> points;
    for (const auto& point :
         tracker->pointsAfter(leadingInteger(query.value("sid")), kMaxTrackPoints)) {
        points.append(PhpJson::object({{"serverid", QString::number(point.serverid)},
                                       {"lat", sixDecimals(point.position.lat)},
                                       {"lng", sixDecimals(point.position.lng)},
                                       {"state", QString::number(point.state)}}));
    }
    return SimAnswer::text(PhpJson::array(points));
}

SimAnswer DeviceScripts::status(const QueryString& query)
{
    const QString key = "timerreturnmsg";
    if (!query.filled("devid"))
        return marker(key, "error:1");
    const SimDevice* device = m_world.device(query.value("devid"));
    if (!device)
        return marker(key, "error:2");
    if (!device->hasAccount())
        return marker(key, "error:3");
    PhpJson::Record answer{{key, "ok"}};
    answer.append(statusRecord(*device, false));
    answer.append({"weilanwaring", device->weilanwaring});
    answer.append({"banlvstateupdate", device->banlvstateupdate});
    return record(answer);
}

SimAnswer DeviceScripts::paiMing()
{
    return riderList(m_world.ranking());
}

SimAnswer DeviceScripts::friends(const QueryString& query)
{
    return riderList(m_world.nearby(query.value("devid")));
}

SimAnswer DeviceScripts::riderList(const QList<RiderRoster::Ranked>& riders) const
{
    QList<QByteArray> entries;
    for (const RiderRoster::Ranked& entry : riders) {
        entries.append(PhpJson::object({{"username", entry.rider.username},
                                        {"level", QString::number(entry.level)},
                                        {"levelname", entry.levelname},
                                        {"paiming", QString::number(entry.paiming)},
                                        {"touxiangpath", url(entry.rider.avatarPath)},
                                        {"lat", sixDecimals(entry.rider.position.lat)},
                                        {"lng", sixDecimals(entry.rider.position.lng)},
                                        {"weixin", entry.rider.weixin}}));
    }
    return SimAnswer::text(PhpJson::array(entries));
}

SimAnswer DeviceScripts::uploadPic(const QueryString& query, const SimRequest& request)
{
    const SimRequest::Part* file = nullptr;
    for (const SimRequest::Part& part : request.parts) {
        if (part.name == "uploadfile")
            file = &part;
    }
    if (!query.filled("devid") || !file || file->data.isEmpty())
        return SimAnswer::text("error:1");
    SimDevice* device = m_world.device(query.value("devid"));
    if (!device)
        return SimAnswer::text("error:2");
    if (file->data.size() > kMaxAvatarBytes)
        return SimAnswer{413, "text/plain; charset=UTF-8", "picture larger than 5 MB\n", {}};
    // Like a missing file: the app reads the answer's marker rather than its status.
    if (!file->data.startsWith(kPngSignature))
        return SimAnswer::text("error:1");
    return storeAvatar(*device, file->data);
}

// The name is the server's own: the client's file name never reaches the disk.
SimAnswer DeviceScripts::storeAvatar(SimDevice& device, const QByteArray& data)
{
    const QByteArray hash = QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
    const QString name = QStringLiteral("%1-%2-%3.png")
                             .arg(device.devid, m_world.now().toString("yyyyMMddHHmmss"),
                                  QString::fromLatin1(hash.left(12)));
    QFile out(m_world.avatarFolder() + "/" + name);
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size())
        return SimAnswer{500, "text/html; charset=UTF-8", "could not store the picture", {}};
    device.touxiang = "/touxiang/" + name;
    m_world.save(device);
    m_world.log(QStringLiteral("avatar of %1 stored as %2").arg(device.devid, name));
    return SimAnswer::text(url(device.touxiang).toUtf8());
}

SimAnswer DeviceScripts::testMap(const QueryString& query)
{
    const QString lng = query.value("lng");
    const QString lat = query.value("lat");
    return SimAnswer::text(
        TestMapPage::html(int(leadingInteger(query.value("wl"))), lng.toDouble(), lat.toDouble()));
}

// Only PNG pictures go out, and only as image/png, so that nothing a client stored
// can come back as a page the browser runs.
SimAnswer DeviceScripts::avatar(const QString& path)
{
    static const QRegularExpression storable("^[A-Za-z0-9_-][A-Za-z0-9._-]*\\.png$");
    const QString name = path.mid(QString("/touxiang/").size());
    if (!storable.match(name).hasMatch())
        return notFound();
    QFile stored(m_world.avatarFolder() + "/" + name);
    if (stored.open(QIODevice::ReadOnly) && stored.size() <= kMaxAvatarBytes) {
        const QByteArray data = stored.readAll();
        return data.startsWith(kPngSignature) ? png(data) : notFound();
    }
    if (const auto* rider = m_world.roster().riderWithAvatar(path))
        return png(AvatarPainter::png(rider->username));
    if (const SimDevice* device = m_world.device(QFileInfo(name).completeBaseName()))
        return png(AvatarPainter::png(device->hasAccount() ? device->username : device->devid));
    return notFound();
}

// Map tiles for clients that must not leave the machine; they never change, so clients
// may keep them for a week.
SimAnswer DeviceScripts::tile(const QString& path)
{
    const QByteArray data = TilePainter::pngForPath(path);
    if (data.isEmpty())
        return notFound();
    SimAnswer answer = png(data);
    answer.headers.append(
        qMakePair(QByteArray("Cache-Control"), QByteArray("public, max-age=604800")));
    return answer;
}

SimAnswer DeviceScripts::png(const QByteArray& data)
{
    return SimAnswer{200, "image/png", data, {{"X-Content-Type-Options", "nosniff"}}};
}

SimAnswer DeviceScripts::notFound()
{
    return SimAnswer{404, "text/html; charset=UTF-8", "<h1>404 Not Found</h1>", {}};
}

PhpJson::Record DeviceScripts::statusRecord(const SimDevice& device, bool registration)
{
    const TrackerSimulation* t = m_world.tracker(device.devid);
    const QDate today = m_world.now().date();
    PhpJson::Record record{{"benzhoulicheng", oneDecimal(t->weekKm(today))},
                           {"shangzhoulicheng", oneDecimal(t->weekKm(today.addDays(-7)))},
                           {"todaylicheng", oneDecimal(t->dayKm(today))}};
    // day1licheng is six days ago, day7licheng today.
    for (int i = 1; i <= 7; ++i)
        record.append(
            {QStringLiteral("day%1licheng").arg(i), oneDecimal(t->dayKm(today.addDays(i - 7)))});
    record.append({"power", oneDecimal(t->power())});
    record.append({"maxspeed", device.maxspeed});
    record.append({"lightspeed", device.lightspeed});
    if (registration) {
        record.append({"weilanradio", device.weilanradio});
        record.append({"weilanmode", device.weilanmode});
    }
    const int jifen = m_world.jifenOf(device.devid);
    const int level = RiderRoster::levelFor(jifen);
    const int banlvstate = device.banlvstate >= 0 ? device.banlvstate : (t->moving() ? 1 : 0);
    record.append({"pingjunspeed", oneDecimal(t->averageSpeedKmh())});
    record.append({"paiming", QString::number(m_world.paimingOf(device.devid))});
    record.append({"totallicheng", oneDecimal(t->totalKm())});
    record.append({"jifen", QString::number(jifen)});
    record.append({"level", QString::number(level)});
    record.append({"levelname", RiderRoster::levelName(level)});
    record.append({"touxiangpath", url(device.touxiang)});
    record.append({"absday", device.registered.isValid() ? device.registered.daysTo(today) : 0});
    record.append({"banlvstate", QString::number(banlvstate)});
    record.append({"lng", sixDecimals(t->position().lng)});
    record.append({"lat", sixDecimals(t->position().lat)});
    return record;
}

SimAnswer DeviceScripts::index()
{
    QString page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>lvxing-devserver"
                   "</title></head><body><h1>Lvxing device-server simulator</h1><ul>";
    const QStringList examples{
        "/TolvarDevId.php?devid=86000001&wd=mirt",
        "/TolvarLoginIOS.php?devid=86000001&username=rider01&pwd=secret1",
        "/TolvarGetEveryThingTimerIOS.php?devid=86000001",
        "/TolvarGetGpsInfo.php?devid=86000001&sid=0",
        "/TolvarGetFriendIOS.php?devid=86000001",
        "/TolvarGetPaiMingIOS.php",
        "/TestMap.php?wl=500&lng=120.155100&lat=30.274100",
        "/tiles/15/27325/13390.png",
        "/_sim/",
    };
    for (const QString& example : examples)
        page += QStringLiteral("<li><a href=\"%1\">%2</a></li>")
                    .arg(example.toHtmlEscaped(), example.toHtmlEscaped());
    page += "</ul></body></html>\n";
    return SimAnswer::text(page.toUtf8());
}
