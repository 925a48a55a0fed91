#include "device/lumet_muti_channel_object.h"

#include <QDebug>

#include <cstdio>
#include <vector>

#include "common/qv_log.h"
#include "device/device_geometry.h"
#include "device/gui_relay.h"
#include "device/lumet_channel_object.h"
#include "device/lumet_phone_notic.h"
#include "device/lumet_stream_stats.h"
#include "device/yun_device_label.h"
#include "mosaic_sdk/mosaic_sdk.h"

namespace app {
namespace {

void CopyField(char (&field)[256], const QString& text) { common::CopyText(field, text.toUtf8().constData()); }

void Print(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

// Instance states a node reports.
constexpr int kInstanceControlled = 1;
constexpr int kInstanceReduced = 2;
constexpr int kInstanceFailed = 3;

// Calls op with the device ids as the C array the group SDK takes.
template <typename Op>
int WithIds(const QList<QByteArray>& ids, Op op) {
    std::vector<const char*> pointers;
    for (const QByteArray& id : ids) pointers.push_back(id.constData());
    if (pointers.empty()) return -1;
    return op(pointers.data(), static_cast<uint32_t>(pointers.size()));
}

}  // namespace

LumetMutiChannelObject::LumetMutiChannelObject(QString windowId, QString userId, QString deviceId,
                                               QList<GroupDevice> devices, QString channelAppId,
                                               QString channelSecret)
    : ChannelObjectInterface(std::move(windowId), std::move(userId), std::move(deviceId), std::move(channelAppId),
                             std::move(channelSecret)),
      m_devices(std::move(devices)) {
    m_mainDevice = this->deviceId;
}

LumetMutiChannelObject::~LumetMutiChannelObject() { stop(); }

mosaic_sdk::QvPicGCSysParam LumetMutiChannelObject::GroupRecord() {
    mosaic_sdk::QvPicGCSysParam record;
    record.autoReconnect = true;
    record.connectTimeoutMs = 5000;
    record.reconnectIntervalMs = 3000;
    record.secureWebSocket = true;
    record.apiConnectTimeoutMs = 5000;
    record.apiTimeoutMs = 5000;
    record.picMode = 1;  // picture bytes through FlushPic
    record.picQuality = 25;
    record.picScale = 5;
    record.picRotate = 0;
    record.intervalMs = 1000;
    return record;
}

QList<QByteArray> LumetMutiChannelObject::DeviceIds() const {
    QList<QByteArray> ids;
    for (const GroupDevice& device : m_devices) ids.append(device.deviceId.toUtf8());
    return ids;
}

void LumetMutiChannelObject::start(int, int, int, int, QWidget* target) { Begin(target, true); }

void LumetMutiChannelObject::attach(QWidget* widget) { Begin(widget, false); }

void LumetMutiChannelObject::Begin(QWidget* target, bool show) {
    if (m_sdk) {
        return;
    }
    m_target = target;
    m_show = show;
    m_picture = show && target ? target->findChild<YunDeviceLabel*>(QStringLiteral("yunViewLabel")) : nullptr;
    if (m_picture) {
        m_picture->ReserveForNativeVideo();
    }
    m_sdk = mosaic_sdk::IMosaicSdk::CreateMosaicSdk();
    m_phoneNotic = std::make_shared<CQVPhoneNotic>();
    m_groupNotic = std::make_shared<CPicGCNotic>();
    m_relay = std::make_shared<GuiRelay>();
    std::shared_ptr<GuiRelay> relay = m_relay;

    CQVPhoneNotic::Callbacks phone;
    phone.firstFrame = [this, relay] { relay->Post([this] { OnFirstFrame(); }); };
    phone.rotation = [this, relay](int rotation) { relay->Post([this, rotation] { OnRotation(rotation); }); };
    phone.inputActive = [this, relay](bool active) { relay->Post([this, active] { OnInputActive(active); }); };
    phone.streamSize = [this, relay](int w, int h) { relay->Post([this, w, h] { m_streamSize = QSize(w, h); }); };
    m_phoneNotic->SetCallbacks(std::move(phone));
    CPicGCNotic::Callbacks group;
    group.started = [this, relay](int code, const QString&) { relay->Post([this, code] { OnStarted(code); }); };
    group.picture = [this, relay](const QString& no, const QImage& picture) {
        relay->Post([this, no, picture] { OnPicture(no, picture); });
    };
    // Asked for on the GUI thread: the table arrives there during the call.
    group.table = [this](const QString& mainNo, const QVector<GroupInstanceState>& table) { OnTable(mainNo, table); };
    group.nodes = [this](const QVector<GroupNodeState>& nodes) { OnNodes(nodes); };
    m_groupNotic->SetCallbacks(std::move(group));

    handset_sdk::QvDataParam data;
    CopyField(data.baseUrl, LumetChannelObject::PlatformBaseUrl());
    CopyField(data.userId, userId);
    CopyField(data.accessKey, channelAppId);
    CopyField(data.secretKey, channelSecret);
    CopyField(data.instanceNo, deviceId);
    data.mode = 0;
    const mosaic_sdk::QvPicGCSysParam groupRecord = GroupRecord();
    const handset_sdk::QvPhoneParam video{264, 720, 1280, 30, 2048};
    const handset_sdk::QvSysParam sys{true, 5000, 3000, true, 5000, 5000};
    const handset_sdk::QVOutParam out{true, 0, 4, true, 16, 8, true};
    if (m_sdk->Init(m_phoneNotic, m_groupNotic, &data, &groupRecord, &video, &sys, &out, nullptr) != 0) {
        Print("init failed\n");
        return;
    }
    if (WithIds(DeviceIds(), [this](const char* const* ids, uint32_t n) { return m_sdk->Start(ids, n); }) != 0) {
        Print("Start failed\n");
    }
}

void LumetMutiChannelObject::stop() {
    m_pollTimer.reset();
    if (m_phoneNotic) m_phoneNotic->ClearCallbacks();
    if (m_groupNotic) m_groupNotic->ClearCallbacks();
    if (m_relay) m_relay->Close();
    if (m_sdk) {
        m_sdk->Uninit();
        m_sdk.reset();
    }
    m_shown = false;
    m_started = false;
    m_firstFrame = false;
    m_nodes.clear();
    m_nodesDown.clear();
    ForEachSub([](ChannelObjectInterface& sub) { sub.stop(); });
}

void LumetMutiChannelObject::OnStarted(int code) {
    if (code != 0 || m_started) {
        return;
    }
    m_started = true;
    // The main phone may play before the nodes answered: the group takes the
    // picture's place only now.
    if (m_show && m_firstFrame && !m_shown) Show(landscape);
    // Follower pictures and states, at the group's picture interval (the
    // SDK refuses a flush that comes sooner).
    m_pollTimer = std::make_unique<QTimer>();
    m_pollTimer->setTimerType(Qt::PreciseTimer);
    m_pollTimer->setInterval(GroupRecord().intervalMs + 20);
    QObject::connect(m_pollTimer.get(), &QTimer::timeout, [this] { Poll(); });
    m_pollTimer->start();
    Poll();
}

void LumetMutiChannelObject::Poll() {
    if (!m_sdk) return;
    m_sdk->FlushPic();
    m_sdk->QueryInstanceStatus();
    m_sdk->QueryNodeStatus();
}

// The picture is the label's own native window: the design's rectangle
// (0, 40, w - 40, h) of the view is the whole label.
void LumetMutiChannelObject::Show(bool turned) {
    if (!m_sdk || !m_picture) {
        return;
    }
    handset_sdk::RECT rect;
    rect.left = 0;
    rect.top = 0;
    rect.right = m_picture->width();
    rect.bottom = m_picture->height();
    if (m_sdk->StartShow(static_cast<handset_sdk::HWND>(m_picture->winId()), &rect, turned ? 1 : 0) != 0) {
        Print("Start show failed\n");
        return;
    }
    m_shown = true;
}

// Also after a switch of the main phone: the new one's first frame.
void LumetMutiChannelObject::OnFirstFrame() {
    m_firstFrame = true;
    if (m_show && m_started) Show(landscape);
}

void LumetMutiChannelObject::displayResized(int, int) {
    if (m_shown) Show(landscape);
}

void LumetMutiChannelObject::OnRotation(int rotation) {
    if (!m_show || !m_target || (rotation != 0 && rotation != 1)) {
        return;
    }
    setLandscape(rotation == 1);
    TurnViewTo(*m_target, rotation == 1);
}

void LumetMutiChannelObject::OnInputActive(bool active) {
    qInfo().noquote() << "isCursor:" << active;
    m_inputActive = active;
    if (m_inputCallback) m_inputCallback(active);
}

void LumetMutiChannelObject::setInputActiveCallback(std::function<void(bool)> callback) {
    m_inputCallback = std::move(callback);
}

// ---- input: the group first, then every sub-channel ----------------------

void LumetMutiChannelObject::sendTouch(int action, int x, int y) {
    if (m_sdk && ToGroup()) {
        const uint32_t type = action == 0 ? 0 : action == 1 ? 1 : 2;
        const int xs[1] = {x};
        const int ys[1] = {y};  // picture coordinates: the view's y minus the title bar
        m_sdk->SendTouch(type, xs, ys, 1);
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.sendTouch(action, x, y); });
}

void LumetMutiChannelObject::sendKey(int virtualKey) {
    if (m_sdk) {
        const uint8_t key = static_cast<uint8_t>(virtualKey);
        m_sdk->SendKey(1, &key);
        m_sdk->SendKey(0, &key);
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.sendKey(virtualKey); });
}

void LumetMutiChannelObject::sendText(const QString& text) {
    if (m_sdk) m_sdk->SendCopyString(text.toUtf8().constData());
    ForEachSub([&](ChannelObjectInterface& sub) { sub.sendText(text); });
}

void LumetMutiChannelObject::forwardCharMessage(const NativeCharMessage& message) {
    if (m_sdk) {
        char echo[256] = {0};
        m_sdk->OnImeMessage(message.message, message.wParam, message.lParam, echo, sizeof(echo));
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.forwardCharMessage(message); });
}

void LumetMutiChannelObject::changeVolume(bool up) {
    if (m_sdk && ToGroup()) m_sdk->SendVolume(up ? 1 : 0);
    ForEachSub([&](ChannelObjectInterface& sub) { sub.changeVolume(up); });
}

// To the group while it may take it; the sub-channels get it while the sync is paused.
void LumetMutiChannelObject::sendControlKey(int which) {
    if (m_sdk && ToGroup()) m_sdk->SendControlKey(which);
    if (!SyncRunning()) ForEachSub([&](ChannelObjectInterface& sub) { sub.sendControlKey(which); });
}

// The main phone keeps the group's quality; sub-channels choose their own.
void LumetMutiChannelObject::setQuality(int level) {
    ForEachSub([&](ChannelObjectInterface& sub) { sub.setQuality(level); });
}

void LumetMutiChannelObject::pauseSync() {
    if (m_sdk) {
        WithIds(DeviceIds(), [this](const char* const* ids, uint32_t n) { return m_sdk->ReduceInstance(ids, n); });
    }
    secondFlag = false;
    ForEachSub([](ChannelObjectInterface& sub) { sub.pauseSync(); });
    NotifyFollowers();
}

void LumetMutiChannelObject::resumeSync() {
    if (m_sdk) {
        WithIds(DeviceIds(), [this](const char* const* ids, uint32_t n) { return m_sdk->AddInstance(ids, n); });
    }
    secondFlag = true;
    ForEachSub([](ChannelObjectInterface& sub) { sub.resumeSync(); });
    NotifyFollowers();
}

void LumetMutiChannelObject::syncOperation(const QString& text) {
    if (!m_sdk) return;
    const QByteArray number = text.toUtf8();
    if (m_sdk->SwitchMain(number.constData()) != 0) {
        qWarning().noquote() << "switching the main phone to" << text << "failed";
        return;
    }
    m_mainDevice = text;
    m_shown = false;  // the new main phone shows with its first frame
    m_firstFrame = false;
    NotifyFollowers();
}

// ---- followers -----------------------------------------------------------

void LumetMutiChannelObject::OnTable(const QString& mainNo, const QVector<GroupInstanceState>& table) {
    // The SDK calls this on the thread that asked (the GUI thread).
    m_mainDevice = mainNo;
    for (const GroupInstanceState& entry : table) m_table.insert(entry.instanceNo, entry);
    NotifyFollowers();
}

void LumetMutiChannelObject::OnPicture(const QString& instanceNo, const QImage& picture) {
    m_pictures.insert(instanceNo, picture);
    NotifyFollowers();
}

void LumetMutiChannelObject::OnNodes(const QVector<GroupNodeState>& nodes) {
    // The SDK calls this on the thread that asked (the GUI thread).
    for (const GroupNodeState& node : nodes) {
        m_nodes.insert(node.nodeNo, node);
        switch (node.state) {
            case mosaic_sdk::MOSAIC_NODE_DISCONNECTED:
            case mosaic_sdk::MOSAIC_NODE_ADD_FAILED:
                m_nodesDown.insert(node.nodeNo);
                break;
            case mosaic_sdk::MOSAIC_NODE_CONNECTED:
            case mosaic_sdk::MOSAIC_NODE_CONTROLLING:
            case mosaic_sdk::MOSAIC_NODE_CONTROL_REFUSED:
                m_nodesDown.remove(node.nodeNo);
                break;
            default:
                break;  // connecting, or nothing yet: as it was
        }
    }
    NotifyFollowers();
}

// A node that is down or refused control outweighs the instance state it
// reported last: that one goes stale with the link.
FollowerState LumetMutiChannelObject::StateOf(const GroupInstanceState& entry, int& code) const {
    if (entry.nodeNo.isEmpty()) {  // refused by the platform
        code = entry.errCode;
        return FollowerState::Refused;
    }
    if (m_nodesDown.contains(entry.nodeNo)) return FollowerState::NodeDisconnected;
    const auto node = m_nodes.constFind(entry.nodeNo);
    if (node != m_nodes.constEnd() && node->state == mosaic_sdk::MOSAIC_NODE_CONTROL_REFUSED) {
        code = node->refusalCode;
        return FollowerState::Refused;
    }
    if (entry.state == kInstanceFailed) {
        code = entry.errCode;
        return FollowerState::Refused;
    }
    if (entry.state == kInstanceReduced || (entry.state == kInstanceControlled && !SyncRunning())) {
        return FollowerState::Paused;
    }
    return entry.state == kInstanceControlled ? FollowerState::Controlling : FollowerState::Waiting;
}

QList<FollowerInfo> LumetMutiChannelObject::Followers() const {
    QList<FollowerInfo> followers;
    for (const GroupDevice& device : m_devices) {
        if (device.deviceId == m_mainDevice) continue;
        FollowerInfo info;
        info.deviceId = device.deviceId;
        info.picture = m_pictures.value(device.deviceId);
        const auto it = m_table.constFind(device.deviceId);
        if (it != m_table.constEnd()) info.state = StateOf(*it, info.code);
        followers.append(info);
    }
    return followers;
}

void LumetMutiChannelObject::SetFollowersChanged(std::function<void()> callback) {
    m_followersChanged = std::move(callback);
}

void LumetMutiChannelObject::NotifyFollowers() {
    if (m_followersChanged) m_followersChanged();
}

bool LumetMutiChannelObject::queryStats(StreamStats& stats) {
    mosaic_sdk::QvPicGCStats figures;
    if (!m_sdk || m_sdk->GetStatistics(&figures) != 0) return false;
    stats = StreamStatsFromHandset(figures.main);
    stats.followersControlled = figures.followersControlled;
    stats.followersPaused = figures.followersPaused;
    stats.followersRefused = figures.followersRefused;
    stats.nodesConnected = figures.nodesConnected;
    stats.nodesTotal = figures.nodesTotal;
    return true;
}

}  // namespace app
