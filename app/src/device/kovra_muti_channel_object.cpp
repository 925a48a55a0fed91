#include "device/kovra_muti_channel_object.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTransform>

#include <cstring>

#include "device/device_key_table.h"
#include "device/gui_relay.h"
#include "device/kovra_channel_object.h"
#include "device/kovra_listeners.h"
#include "device/kovra_runtime.h"
#include "device/kovra_stream_stats.h"
#include "swplay_u/keyboard.h"
#include "swplay_u/sw_data_source.h"
#include "swplay_u/sw_player.h"

namespace app {
namespace {

// A copy of a display's frame buffer.
QImage CopyFrame(swplay_u::VideoDisplayWinBase& display) {
    const uint8_t* data = display.lockFrame();
    QImage image = QImage(data, display.frameWidth(), display.frameHeight(), QImage::Format_RGB32).copy();
    display.unlockFrame();
    return image;
}

}  // namespace

KovraMutiChannelObject::KovraMutiChannelObject(QString windowId, QList<GroupDevice> devices)
    : ChannelObjectInterface(std::move(windowId), devices.isEmpty() ? QString() : devices.first().userId,
                             devices.isEmpty() ? QString() : devices.first().deviceId,
                             devices.isEmpty() ? QString() : devices.first().channelAppId,
                             devices.isEmpty() ? QString() : devices.first().channelSecret),
      m_devices(std::move(devices)),
      m_relay(std::make_shared<GuiRelay>()) {
    m_firstDevice = deviceId;
    m_mainDevice = deviceId;
}

KovraMutiChannelObject::~KovraMutiChannelObject() { stop(); }

void KovraMutiChannelObject::start(int, int, int, int, QWidget* target) { Begin(target, true); }

void KovraMutiChannelObject::attach(QWidget* widget) { Begin(widget, false); }

void KovraMutiChannelObject::Begin(QWidget* target, bool show) {
    if (m_started || m_devices.isEmpty()) {
        return;
    }
    InitKovraRuntime();
    m_target = target;
    m_show = show;
    bool first = true;
    for (const GroupDevice& device : m_devices) {
        if (m_players.count(device.deviceId) == 0) {
            StartDevice(device, first);
            first = false;
        }
    }
    m_started = true;
}

void KovraMutiChannelObject::StartDevice(const GroupDevice& device, bool first) {
    const QString id = device.deviceId;
    auto listener = std::make_unique<MySWDataSourceListener>(m_relay);
    auto player = std::make_unique<swplay_u::SWPlayer>();
    auto source = std::make_unique<swplay_u::SWDataSource>(player->getId(), listener.get());
    const int colon = device.channelSecret.lastIndexOf(QLatin1Char(':'));
    const QByteArray host = device.channelSecret.left(colon).toUtf8();
    const uint16_t port = colon < 0 ? 0 : device.channelSecret.mid(colon + 1).toUShort();
    source->setLoginParams(host.constData(), port, device.userId.toLongLong(),
                           device.channelAppId.toUtf8().constData(), id.toUtf8().constData(), 0);
    source->setPlayParams("", 2, kKovraFrameWidth, kKovraFrameHeight, 20, 15, 4096, 40, 1, 1, 3, 1, 0);
    source->setBusinessType(1);
    const swplay_u::SWVideoLevel levels[4] = {KovraVideoLevel(2, 4096, 1), KovraVideoLevel(2, 2048, 2), KovraVideoLevel(3, 1024, 3),
                                              KovraVideoLevel(4, 512, 4)};
    source->setVideoLevels(levels, 4);
    source->setVideoLevel(1);
    player->setDataSource(source.get());
    listener->SetConnectionCallback([this, id](bool connected) { OnConnection(id, connected); });
    // Every phone's turns are kept: the main phone may change.
    std::shared_ptr<GuiRelay> relay = m_relay;
    auto sizeListener = std::make_unique<MyPlayDataSourceListener>(
        [this, relay, id](int rotation) { relay->Post([this, id, rotation] { OnRotation(id, rotation); }); });
    if (first) {
        setDstFormat(-1, kKovraFrameWidth, kKovraFrameHeight, 0);
        setDisplaySizeListener(sizeListener.get());
        player->setDisplay(this);
        if (m_inputCallback) listener->SetInputActiveCallback(m_inputCallback);
    } else {
        source->screenCast(swplay_u::SWDataSource::kScreenCastThumbnail);
        std::shared_ptr<GuiRelay> relay = m_relay;
        auto display = std::make_unique<MutiBaseView>([this, relay] {
            relay->Post([this] {
                if (m_target && m_show) m_target->update();
            });
        });
        display->setDstFormat(-1, kKovraFrameWidth, kKovraFrameHeight, 0);
        display->setDisplaySizeListener(sizeListener.get());
        player->setDisplay(display.get());
        m_displays[id] = std::move(display);
    }
    if (player->start() != 0) {
        std::printf("start failed for %s\n", id.toUtf8().constData());
        std::fflush(stdout);
    }
    m_connection[id] = -1;
    m_sizeListeners[id] = std::move(sizeListener);
    m_listeners[id] = std::move(listener);
    m_sources[id] = std::move(source);
    m_players[id] = std::move(player);
}

void KovraMutiChannelObject::stop() {
    m_players.clear();  // each stop joins its threads; sources and displays are still there
    m_sources.clear();
    m_listeners.clear();
    m_displays.clear();
    m_connection.clear();
    setDisplaySizeListener(nullptr);
    m_sizeListeners.clear();
    m_rotation.clear();
    m_relay->Close();
    m_started = false;
    ForEachSub([](ChannelObjectInterface& sub) { sub.stop(); });
}

swplay_u::VideoDisplayWinBase* KovraMutiChannelObject::DisplayOf(const QString& id) const {
    if (id == m_firstDevice) return const_cast<KovraMutiChannelObject*>(this);
    const auto it = m_displays.find(id);
    return it == m_displays.end() ? nullptr : it->second.get();
}

swplay_u::SWDataSource* KovraMutiChannelObject::MainSource() const {
    const auto it = m_sources.find(m_mainDevice);
    return it == m_sources.end() ? nullptr : it->second.get();
}

MySWDataSourceListener* KovraMutiChannelObject::MainListener() const {
    const auto it = m_listeners.find(m_mainDevice);
    return it == m_listeners.end() ? nullptr : it->second.get();
}

template <typename Op>
void KovraMutiChannelObject::ToPhones(bool others, Op op) {
    if (swplay_u::SWDataSource* main = MainSource()) op(*main);
    if (!others) return;
    for (const auto& entry : m_sources) {
        if (entry.first != m_mainDevice) op(*entry.second);
    }
}

// ---- picture -------------------------------------------------------------

void KovraMutiChannelObject::onFrameReady() {
    if (!m_firstShown) return;
    m_relay->Post([this] {
        if (m_target && m_show) m_target->update();
    });
}

QSize KovraMutiChannelObject::PictureSize() const {
    const QLabel* label = m_target ? m_target->findChild<QLabel*>(QStringLiteral("yunViewLabel")) : nullptr;
    return label ? label->size() : QSize();
}

void KovraMutiChannelObject::paintFrame(QLabel* label) {
    swplay_u::VideoDisplayWinBase* display = DisplayOf(m_mainDevice);
    if (!label || !display || display->frameCount() == 0) {
        return;
    }
    const bool sameLook = label->size() == m_paintedSize && landscape == m_paintedLandscape;
    if (display == m_paintedDisplay && display->frameCount() == m_paintedFrames && sameLook) {
        return;
    }
    m_paintedDisplay = display;
    m_paintedSize = label->size();
    m_paintedLandscape = landscape;
    const uint8_t* data = display->lockFrame(&m_paintedFrames);
    QImage image(data, display->frameWidth(), display->frameHeight(), QImage::Format_RGB32);
    if (landscape) {
        image = image.transformed(QTransform().rotate(270));
    }
    const QPixmap pixmap = QPixmap::fromImage(image.scaled(label->size(), Qt::IgnoreAspectRatio));
    display->unlockFrame();
    label->setPixmap(pixmap);
}

QImage KovraMutiChannelObject::Frame(const QString& id) const {
    swplay_u::VideoDisplayWinBase* display = DisplayOf(id);
    return display ? CopyFrame(*display) : QImage();
}

int KovraMutiChannelObject::Rotation(const QString& id) const {
    const auto it = m_rotation.find(id);
    return it == m_rotation.end() ? -1 : it->second;
}

void KovraMutiChannelObject::OnRotation(const QString& id, int rotation) {
    if (rotation != 0 && rotation != 1) return;
    m_rotation[id] = rotation;
    if (id == m_mainDevice) FollowMainOrientation();
}

// The view takes the main phone's orientation (unknown until its stream reported it).
void KovraMutiChannelObject::FollowMainOrientation() {
    const auto it = m_rotation.find(m_mainDevice);
    if (!m_show || it == m_rotation.end()) {
        return;
    }
    const bool turned = it->second == 1;
    if (turned == landscape) {
        return;
    }
    landscape = turned;
    if (m_target) {
        m_target->setMinimumSize(0, 0);
        m_target->resize(m_target->height(), m_target->width());
    }
}

// ---- input ---------------------------------------------------------------

void KovraMutiChannelObject::sendTouch(int action, int x, int y) {
    if (m_started && m_target) {
        // Picture coordinates to the phone's (PhonePoint takes the view's size).
        QPoint p = KovraChannelObject::PhonePoint(x, y, PictureSize() + QSize(sideBarWidth, titleBarHeight), landscape);
        if (action == 1) p = QPoint(-1, -1);
        ToPhones(SyncRunning(), [&](swplay_u::SWDataSource& s) { s.sendTouchEvent(action, 1, p.x(), p.y(), 1.0f); });
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.sendTouch(action, x, y); });
}

void KovraMutiChannelObject::sendControlKey(int which) {
    const int codes[3] = {172, 158, 139};
    if (m_started && which >= 0 && which <= 2) {
        ToPhones(SyncRunning(), [&](swplay_u::SWDataSource& s) { s.sendKeyEvent(3, codes[which]); });
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.sendControlKey(which); });
}

void KovraMutiChannelObject::sendKey(int virtualKey) {
    // While the main phone takes text its character went as text already.
    if (m_started && !(isInputActive() && IsCharacterVirtualKey(virtualKey))) {
        const int code = swplay_u::Keyboard::GetInstance()->getKeyCode(virtualKey);
        ToPhones(true, [&](swplay_u::SWDataSource& s) { s.sendKeyEvent(2, code); });
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.sendKey(virtualKey); });
}

void KovraMutiChannelObject::changeVolume(bool up) {
    if (m_started) ToPhones(false, [&](swplay_u::SWDataSource& s) { s.sendKeyEvent(3, up ? 115 : 114); });
    ForEachSub([&](ChannelObjectInterface& sub) { sub.changeVolume(up); });
}

void KovraMutiChannelObject::setQuality(int level) {
    m_quality = level;
    if (swplay_u::SWDataSource* main = MainSource()) main->setVideoLevel(level);
    ForEachSub([&](ChannelObjectInterface& sub) { sub.setQuality(level); });
}

void KovraMutiChannelObject::sendText(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (m_started) {
        ToPhones(SyncRunning(), [&](swplay_u::SWDataSource& s) { s.copyToRemote(bytes.constData(), bytes.size()); });
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.sendText(text); });
}

void KovraMutiChannelObject::sendInputString(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    if (m_started) {
        ToPhones(SyncRunning(), [&](swplay_u::SWDataSource& s) { s.sendInputString(bytes.constData(), bytes.size()); });
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.sendInputString(text); });
}

// While the main phone takes text, typed characters (258) and input-method
// text (270) go to the phones as input strings.
void KovraMutiChannelObject::forwardCharMessage(const NativeCharMessage& message) {
    if (m_started && isInputActive()) {
        QByteArray text;
        if (message.message == NativeCharMessage::kChar && message.wParam >= 32 && message.wParam <= 126) {
            text.append(static_cast<char>(message.wParam));
        } else if (message.message == NativeCharMessage::kImeEnd && message.lParam != 0) {
            text = QByteArray(reinterpret_cast<const char*>(static_cast<uintptr_t>(message.lParam)));
        }
        if (!text.isEmpty()) {
            ToPhones(SyncRunning(), [&](swplay_u::SWDataSource& s) { s.sendInputString(text.constData(), text.size()); });
        }
    }
    ForEachSub([&](ChannelObjectInterface& sub) { sub.forwardCharMessage(message); });
}

bool KovraMutiChannelObject::isInputActive() {
    MySWDataSourceListener* listener = MainListener();
    return listener && listener->InputActive();
}

void KovraMutiChannelObject::setInputActiveCallback(std::function<void(bool)> callback) {
    m_inputCallback = std::move(callback);
    if (MySWDataSourceListener* listener = MainListener()) listener->SetInputActiveCallback(m_inputCallback);
}

void KovraMutiChannelObject::pauseSync() {
    secondFlag = false;
    ForEachSub([](ChannelObjectInterface& sub) { sub.pauseSync(); });
    if (m_followersChanged) m_followersChanged();
}

void KovraMutiChannelObject::resumeSync() {
    secondFlag = true;
    ForEachSub([](ChannelObjectInterface& sub) { sub.resumeSync(); });
    if (m_followersChanged) m_followersChanged();
}

// The new main phone plays at the window's quality and is painted into the
// picture; the old one becomes a screen cast like every follower.
void KovraMutiChannelObject::syncOperation(const QString& text) {
    if (text == m_mainDevice || m_sources.count(text) == 0) {
        return;
    }
    if (MySWDataSourceListener* old = MainListener()) old->SetInputActiveCallback(nullptr);
    if (swplay_u::SWDataSource* old = MainSource()) old->screenCast(swplay_u::SWDataSource::kScreenCastThumbnail);
    auto shownFlag = [this](const QString& id, bool on) {
        if (id == m_firstDevice) m_firstShown = on;
        const auto it = m_displays.find(id);
        if (it != m_displays.end()) it->second->shown = on;
    };
    shownFlag(m_mainDevice, false);
    m_mainDevice = text;
    shownFlag(m_mainDevice, true);
    swplay_u::SWDataSource* main = MainSource();
    main->screenCast(swplay_u::SWDataSource::kScreenCastFull);
    main->setVideoLevel(m_quality);
    if (m_inputCallback) MainListener()->SetInputActiveCallback(m_inputCallback);
    FollowMainOrientation();
    if (m_target) m_target->update();
    if (m_followersChanged) m_followersChanged();
}

// ---- followers -----------------------------------------------------------

void KovraMutiChannelObject::OnConnection(const QString& id, bool connected) {
    if (m_connection.count(id) == 0) return;
    m_connection[id] = connected ? 1 : 0;
    if (m_followersChanged) m_followersChanged();
}

QList<FollowerInfo> KovraMutiChannelObject::Followers() const {
    QList<FollowerInfo> followers;
    for (const GroupDevice& device : m_devices) {
        if (device.deviceId == m_mainDevice) continue;
        FollowerInfo info;
        info.deviceId = device.deviceId;
        const auto it = m_connection.find(device.deviceId);
        const int connection = it == m_connection.end() ? -1 : it->second;
        info.state = connection == 0   ? FollowerState::NodeDisconnected
                     : connection < 0  ? FollowerState::Waiting
                     : SyncRunning()   ? FollowerState::Controlling
                                       : FollowerState::Paused;
        swplay_u::VideoDisplayWinBase* display = DisplayOf(device.deviceId);
        if (display && display->frameCount() > 0) info.picture = CopyFrame(*display);
        followers.append(info);
    }
    return followers;
}

bool KovraMutiChannelObject::queryStats(StreamStats& stats) {
    swplay_u::SWDataSource* main = MainSource();
    swplay_u::SWStreamStats figures;
    if (!m_started || !main || main->getStreamStats(&figures) != 0) return false;
    stats = StreamStatsFromVendor(figures);
    const int followers = static_cast<int>(m_sources.size()) - 1;
    stats.followersControlled = SyncRunning() ? followers : 0;
    stats.followersPaused = SyncRunning() ? 0 : followers;
    return true;
}

}  // namespace app
