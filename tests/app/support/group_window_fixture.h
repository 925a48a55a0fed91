#pragma once
// Group windows against the local cloud: requests the way the page sends
// "showSyncYunDeviceDialog", what each phone received (from its own stream
// or copied by a group-control node), and the nodes' view of the followers.
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSet>

#include <string>
#include <vector>

#include "device/yun_device_label.h"
#include "device_cloud_fixture.h"

namespace apptest {

class GroupWindowTest : public DeviceCloudTest {
protected:
    static constexpr const char* kSyncId = "syncDevice";

    // A "Lumet" device object of the demo user.
    static QJsonObject LumetDevice(const QString& deviceId, const QString& winId = QString()) {
        return Obj({{"userId", "demo-user"}, {"deviceId", deviceId}, {"winId", winId.isEmpty() ? deviceId : winId},
                    {"channelAppId", "demo-access-key"}, {"channelSecret", "demo-secret-key"},
                    {"channel", "Lumet"}, {"quality", 1}, {"orientation", 0}});
    }

    // Sends "showSyncYunDeviceDialog" and waits for the window "syncDevice".
    app::KovraYunBaseView* OpenGroup(const QJsonArray& main, const QJsonArray& sub = QJsonArray(),
                                     int timeoutMs = 10000) {
        QJsonArray withPort;
        for (const QJsonValue& v : main) {
            QJsonObject device = v.toObject();
            device.insert("localPort", QString::number(window->Port()));
            withPort.append(device);
        }
        page->Send(Obj({{"action", "showSyncYunDeviceDialog"},
                        {"deviceList", Obj({{"main", withPort}})},
                        {"sub", sub}}));
        openedIds << kSyncId;
        WaitUntil([&] { return app::YunStateManager::Instance().Window(kSyncId) != nullptr; }, timeoutMs);
        return qobject_cast<app::KovraYunBaseView*>(app::YunStateManager::Instance().Window(kSyncId));
    }

    // What a phone received of one kind: from its stream, or copied by a node.
    std::vector<cloudsim::ReceivedMessage> Inputs(const std::string& phone, const std::string& kind, bool viaNode) {
        std::vector<cloudsim::ReceivedMessage> found;
        for (const cloudsim::ReceivedMessage& m : cloud->Received(phone)) {
            if (m.kind == kind && (m.type == 1015) == viaNode) found.push_back(m);
        }
        return found;
    }
    // Touches of one action; node copies are matched by the point the main phone sent.
    std::vector<cloudsim::ReceivedMessage> Touches(const std::string& phone, int action, bool viaNode) {
        std::vector<cloudsim::ReceivedMessage> found;
        for (const cloudsim::ReceivedMessage& m : Inputs(phone, "touch", viaNode)) {
            if (m.fields["action"].asInt() == action) found.push_back(m);
        }
        return found;
    }
    static QPoint SentPoint(const cloudsim::ReceivedMessage& m) {
        const Json::Value& p = m.fields[m.type == 1015 ? "sourcePoints" : "points"][0];
        return QPoint(p[0].asInt(), p[1].asInt());
    }
    int Keys(const std::string& phone, int key, bool down, bool viaNode) {
        int n = 0;
        for (const cloudsim::ReceivedMessage& m : Inputs(phone, "key", viaNode)) {
            n += (m.fields["key"].asInt() & 0xFF) == key && m.fields["down"].asBool() == down;
        }
        return n;
    }

    // The state a node reports for a follower (1 controlled, 2 reduced, 3
    // refused); 0 when no node controls it.
    int NodeState(const std::string& phone) {
        for (const cloudsim::NodeView& node : cloud->Nodes()) {
            for (const cloudsim::NodeConnectionView& c : node.connections) {
                for (const cloudsim::NodeInstanceView& i : c.instances) {
                    if (i.instanceNo == phone) return i.state;
                }
            }
        }
        return 0;
    }
    bool WaitNodeStates(const std::vector<std::string>& phones, int state, int timeoutMs = 30000) {
        return WaitUntil([&] {
            for (const std::string& p : phones) {
                if (NodeState(p) != state) return false;
            }
            return true;
        }, timeoutMs);
    }
    int OpenNodeConnections() {
        size_t n = 0;
        for (const cloudsim::NodeView& node : cloud->Nodes()) n += node.connections.size();
        return static_cast<int>(n);
    }

    // Distinct colours on the screen where a widget is.
    static int ScreenColours(QWidget* widget) {
        const QPoint at = widget->mapToGlobal(QPoint(0, 0));
        const QImage image = QGuiApplication::primaryScreen()
                                 ->grabWindow(0, at.x(), at.y(), widget->width(), widget->height())
                                 .toImage()
                                 .scaled(54, 96);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
        return colours.size();
    }

    // Presses a toolbar button of the view.
    static void Press(QAbstractButton* button) { QTest::mousePress(button, Qt::LeftButton); }
    void Click(app::KovraYunBaseView* view, QPoint at) {
        QWidget* label = view->Ui().yunViewLabel;
        QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, at);
    }
};

}  // namespace apptest
