<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>Lvxing</name>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>报警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>切换用户</source>
        <translation>Switch user</translation>
    </message>
    <message>
        <source>点击切换之后将清空数据,并返回设备匹配界面.</source>
        <translation>Switching clears all data on this phone and returns to device binding.</translation>
    </message>
    <message>
        <source>切换</source>
        <translation>Switch</translation>
    </message>
    <message>
        <source>选择图像</source>
        <translation>Choose a picture</translation>
    </message>
    <message>
        <source>选择一张图片作为您的头像.</source>
        <translation>Choose a picture for your avatar.</translation>
    </message>
    <message>
        <source>拍照</source>
        <translation>Take a photo</translation>
    </message>
    <message>
        <source>从相册选择</source>
        <translation>Choose from album</translation>
    </message>
    <message>
        <source>用户名过短!</source>
        <translation>User name too short!</translation>
    </message>
    <message>
        <source>密码过短!</source>
        <translation>Password too short!</translation>
    </message>
    <message>
        <source>邮箱过短!</source>
        <translation>E-mail address too short!</translation>
    </message>
    <message>
        <source>邮箱格式错误!</source>
        <translation>Not an e-mail address!</translation>
    </message>
    <message>
        <source>微信号过短!</source>
        <translation>WeChat name too short!</translation>
    </message>
    <message>
        <source>邮箱未验证!</source>
        <translation>E-mail address not verified!</translation>
    </message>
    <message>
        <source>验证成功!</source>
        <translation>Verified!</translation>
    </message>
    <message>
        <source>验证失败!</source>
        <translation>Verification failed!</translation>
    </message>
    <message>
        <source>验证码错误!</source>
        <translation>Wrong code!</translation>
    </message>
    <message>
        <source>邮件发送成功,请注意查收!</source>
        <translation>Mail sent, please check your inbox!</translation>
    </message>
    <message>
        <source>缺少参数!</source>
        <translation>Missing parameters!</translation>
    </message>
    <message>
        <source>缺少登录参数!</source>
        <translation>Missing login parameters!</translation>
    </message>
    <message>
        <source>缺少注册参数!</source>
        <translation>Missing registration parameters!</translation>
    </message>
    <message>
        <source>缺少找回密码参数!</source>
        <translation>Missing password recovery parameters!</translation>
    </message>
    <message>
        <source>设备号不存在!</source>
        <translation>Unknown device number!</translation>
    </message>
    <message>
        <source>设备号过短</source>
        <translation>Device number too short</translation>
    </message>
    <message>
        <source>账户密码不匹配!</source>
        <translation>User name and password do not match!</translation>
    </message>
    <message>
        <source>该账号已存在!</source>
        <translation>This account already exists!</translation>
    </message>
    <message>
        <source>请输入注册时的邮箱!</source>
        <translation>Please enter the e-mail address you registered with!</translation>
    </message>
    <message>
        <source>无法在文件夹 %1 中保存数据(%2)。请确认该文件夹可以写入,然后重新启动。</source>
        <translation>Lvxing cannot keep its data in the folder %1 (%2). Check that the folder can be written, then start the app again.</translation>
    </message>
    <message>
        <source>网络访问出错!</source>
        <translation>Network error!</translation>
    </message>
    <message>
        <source>网络访问出错,速度设置失败!</source>
        <translation>Network error, the speed was not set!</translation>
    </message>
    <message>
        <source>围栏报警</source>
        <translation>Geofence alarm</translation>
    </message>
    <message>
        <source>电量报警</source>
        <translation>Battery alarm</translation>
    </message>
    <message>
        <source>主人，快来救我!</source>
        <translation>Help me, master!</translation>
    </message>
    <message>
        <source>正在</source>
        <translation>Now</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>我的驴行</source>
        <translation>My rides</translation>
    </message>
    <message>
        <source>周围驴友</source>
        <translation>Riders nearby</translation>
    </message>
    <message>
        <source>儿童</source>
        <translation>Kids</translation>
    </message>
    <message>
        <source>驴行</source>
        <translation>Lvxing</translation>
    </message>
    <message>
        <source>仪表</source>
        <translation>Dashboard</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>我的</source>
        <translation>Me</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>邮箱</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>微信号</source>
        <translation>WeChat name</translation>
    </message>
    <message>
        <source>设备号</source>
        <translation>Device number</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>注册</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>忘记密码</source>
        <translation>Forgot password</translation>
    </message>
    <message>
        <source>记住密码</source>
        <translation>Remember password</translation>
    </message>
    <message>
        <source>获取验证码</source>
        <translation>Get code</translation>
    </message>
    <message>
        <source>验证码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>找回密码</source>
        <translation>Recover password</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>移动选框选择头像</source>
        <translation>Move the square to choose your avatar</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>素材</source>
        <translation>Assets</translation>
    </message>
    <message>
        <source>本周里程</source>
        <translation>This week</translation>
    </message>
    <message>
        <source>上周里程</source>
        <translation>Last week</translation>
    </message>
    <message>
        <source>今日里程</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>总里程</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>积分</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>排名</source>
        <translation>Rank</translation>
    </message>
    <message>
        <source>等级</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>电量</source>
        <translation>Battery</translation>
    </message>
    <message>
        <source>续航</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>免打扰</source>
        <translation>Do not disturb</translation>
    </message>
    <message>
        <source>最高速度</source>
        <translation>Maximum speed</translation>
    </message>
    <message>
        <source>灯光速度</source>
        <translation>Light speed</translation>
    </message>
    <message>
        <source>电子围栏</source>
        <translation>Geofence</translation>
    </message>
    <message>
        <source>儿童模式</source>
        <translation>Children mode</translation>
    </message>
    <message>
        <source>平均速度</source>
        <translation>Avg. speed</translation>
    </message>
    <message>
        <source>节省时间</source>
        <translation>Time saved</translation>
    </message>
    <message>
        <source>本周排名</source>
        <translation>Weekly ranking</translation>
    </message>
    <message>
        <source>绑定设备</source>
        <translation>Bind your tracker</translation>
    </message>
    <message>
        <source>输入定位器背面标签上的设备号</source>
        <translation>Enter the number on the back of your tracker</translation>
    </message>
    <message>
        <source>点击</source>
        <translation>Tap to</translation>
    </message>
    <message>
        <source>连接后将自动进入登录或注册</source>
        <translation>Login or registration follows</translation>
    </message>
    <message>
        <source>欢迎回来</source>
        <translation>Welcome back</translation>
    </message>
    <message>
        <source>轻点头像可切换设备</source>
        <translation>Tap the picture to switch device</translation>
    </message>
    <message>
        <source>创建账号</source>
        <translation>Create your account</translation>
    </message>
    <message>
        <source>轻点头像选择一张照片</source>
        <translation>Tap the picture to choose a photo</translation>
    </message>
    <message>
        <source>用户名 (至少5位)</source>
        <translation>User name (5 or more)</translation>
    </message>
    <message>
        <source>密码 (至少6位)</source>
        <translation>Password (6 or more)</translation>
    </message>
    <message>
        <source>注册前请先验证邮箱</source>
        <translation>Verify your e-mail address first</translation>
    </message>
    <message>
        <source>✓ 邮箱已验证</source>
        <translation>✓ E-mail address verified</translation>
    </message>
    <message>
        <source>‹ 返回</source>
        <translation>‹ Back</translation>
    </message>
    <message>
        <source>密码将发送到注册时填写的邮箱</source>
        <translation>The password goes to your registered address</translation>
    </message>
    <message>
        <source>注册时的邮箱</source>
        <translation>E-mail address you registered</translation>
    </message>
    <message>
        <source>看不清? 换一个</source>
        <translation>Hard to read? Another</translation>
    </message>
    <message>
        <source>发送找回邮件</source>
        <translation>Send recovery mail</translation>
    </message>
    <message>
        <source>%1 %2级</source>
        <translation>%1 level %2</translation>
    </message>
    <message>
        <source>%1- %2 %3级</source>
        <translation>%1 - %2 level %3</translation>
    </message>
    <message>
        <source>一</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>二</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>三</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>四</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>五</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>六</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>今天</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>分钟</source>
        <translation>min</translation>
    </message>
    <message>
        <source>剩余里程 (km)</source>
        <translation>Range left (km)</translation>
    </message>
    <message>
        <source>围栏半径 (米)</source>
        <translation>Fence radius (m)</translation>
    </message>
    <message>
        <source>微信名 : %1</source>
        <translation>WeChat: %1</translation>
    </message>
    <message>
        <source>总里程(km)</source>
        <translation>Total (km)</translation>
    </message>
    <message>
        <source>最高时速</source>
        <translation>Top speed</translation>
    </message>
    <message>
        <source>朋友圈 · %1 × %2</source>
        <translation>Moments · %1 × %2</translation>
    </message>
    <message>
        <source>本周 %1 km · 上周 %2 km</source>
        <translation>This week %1 km · last week %2 km</translation>
    </message>
    <message>
        <source>本周排名 NO.%1</source>
        <translation>Rank this week: No. %1</translation>
    </message>
    <message>
        <source>本周排行榜</source>
        <translation>Weekly ranking</translation>
    </message>
    <message>
        <source>本周骑行</source>
        <translation>Riding this week</translation>
    </message>
    <message>
        <source>满电续航</source>
        <translation>Full-charge range</translation>
    </message>
    <message>
        <source>电池</source>
        <translation>Battery</translation>
    </message>
    <message>
        <source>电量报警免打扰</source>
        <translation>Mute the battery alarm</translation>
    </message>
    <message>
        <source>素材  %1</source>
        <translation>Assets  %1</translation>
    </message>
    <message>
        <source>近七日低碳 (kg)</source>
        <translation>Carbon saved, last 7 days (kg)</translation>
    </message>
    <message>
        <source>页面加载失败</source>
        <translation>The page could not be loaded</translation>
    </message>
    <message>
        <source>电量还剩%1%,请及时充电!</source>
        <translation>Battery at %1%, please charge it soon!</translation>
    </message>
    <message>
        <source>沿表盘拖动,松手后设定最高时速。
儿童区限速 15 km/h。</source>
        <translation>Drag along the dial and let go to set the top speed.
The children zone is limited to 15 km/h.</translation>
    </message>
    <message>
        <source>沿表盘拖动,松手后设定灯光速度,
可在 10 到 25 km/h 之间选择。</source>
        <translation>Drag along the dial and let go to set the light speed,
anywhere from 10 to 25 km/h.</translation>
    </message>
    <message>
        <source>已连接</source>
        <translation>connected</translation>
    </message>
    <message>
        <source>无法连接服务器</source>
        <translation>server unreachable</translation>
    </message>
    <message>
        <source>尚无数据</source>
        <translation>no data yet</translation>
    </message>
    <message>
        <source>数据更新于刚刚</source>
        <translation>updated just now</translation>
    </message>
    <message>
        <source>数据更新于 %1 分钟前</source>
        <translation>updated %1 min ago</translation>
    </message>
    <message>
        <source>数据已过时(%1 分钟前)</source>
        <translation>data is out of date (%1 min ago)</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>导出 GPX…</source>
        <translation>Export GPX…</translation>
    </message>
    <message>
        <source>报警记录</source>
        <translation>Alarm log</translation>
    </message>
    <message>
        <source>没有报警记录</source>
        <translation>No alarms yet</translation>
    </message>
    <message>
        <source>电量 %1%</source>
        <translation>Battery %1%</translation>
    </message>
    <message>
        <source>这次报警没有位置</source>
        <translation>No position for this alarm</translation>
    </message>
    <message>
        <source>骑行记录</source>
        <translation>Rides</translation>
    </message>
    <message>
        <source>还没有骑行记录</source>
        <translation>No rides yet</translation>
    </message>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 分钟</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 小时 %2 分钟</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>yyyy年M月d日</source>
        <translation>ddd d MMM yyyy</translation>
    </message>
    <message>
        <source>导出 GPX</source>
        <translation>Export GPX</translation>
    </message>
    <message>
        <source>导出这次骑行，还是当天的全部骑行？</source>
        <translation>Export this ride, or every ride of its day?</translation>
    </message>
    <message>
        <source>这次骑行</source>
        <translation>This ride</translation>
    </message>
    <message>
        <source>当天全部</source>
        <translation>Whole day</translation>
    </message>
    <message>
        <source>导出失败</source>
        <translation>Export failed</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Could not write %1: %2</translation>
    </message>
    <message>
        <source>%1 收到</source>
        <translation>received %1</translation>
    </message>
    <message>
        <source>时间不详</source>
        <translation>time unknown</translation>
    </message>
</context>
</TS>
