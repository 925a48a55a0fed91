// The caller's operations on a node link: each builds one package with the
// node's connection id and hands it to the engine. Callable from any thread.
#include <cstring>

#include "common/qv_log.h"
#include "gc_node.h"
#include "input_data.h"
#include "node_message_types.h"
#include "node_requests.h"
#include "package_codec.h"

namespace fleet_link {

namespace {
constexpr size_t kMaxInputTextBytes = 0x100000;
constexpr int kTouchDown = 0;
constexpr int kTouchMove = 2;
constexpr int64_t kTouchMoveIntervalMs = 20;

int RefuseArgument(const char* function) {
    QV_LOG(60, "[FLEET_LINK]%s failed: invalid argument", function);
    return -1;
}
}  // namespace

bool CGCNode::IsReady(const char* function) const {
    if (m_state.load() != 2 || !m_connected.load()) {
        QV_LOG(60, "[FLEET_LINK]%s failed: websocket is not ready", function);
        return false;
    }
    return true;
}

int CGCNode::SendPackage(uint32_t type, const Json::Value& body) {
    auto handle = Handle();
    if (!handle) {
        return -1;
    }
    auto package = PackPackage(type, body);
    size_t sent = 0;
    int result = handle->SendWebSocket(package, 2, &sent);
    if (result != 0 || sent != package->size()) {
        QV_LOG(60, "[FLEET_LINK]send data failed[%zu:%zu]", package->size(), sent);
        return -1;
    }
    return 0;
}

int CGCNode::SendInput(const char* function, int opType, const Json::Value& opData) {
    if (!IsReady(function)) {
        return -1;
    }
    return SendPackage(MSG_INPUT_REQ, BuildInputReq(ConnId(), opType, opData));
}

int CGCNode::StartControl(const char* mainInstanceNo, const StreamConf* streamConf, const ControlInstance* instances,
                          uint32_t count) {
    static const char* const kFunction = "fleet_link::CGCNode::StartControl";
    QV_LOG(20, "[FLEET_LINK]group control node [%s] StartControl", Cfg()->nodeName.c_str());
    if (!IsReady(kFunction)) {
        return -1;
    }
    if (!streamConf || (count > 0 && !instances)) {
        return RefuseArgument(kFunction);
    }
    return SendPackage(MSG_START_CONTROL_REQ,
                       BuildStartControlReq(ConnId(), mainInstanceNo, *streamConf, instances, count));
}

int CGCNode::StopControl() {
    QV_LOG(20, "[FLEET_LINK]group control node [%s] StopControl", Cfg()->nodeName.c_str());
    if (!IsReady("fleet_link::CGCNode::StopControl")) {
        return -1;
    }
    return SendPackage(MSG_STOP_CONTROL_REQ, BuildConnIdReq(ConnId()));
}

int CGCNode::SendInstanceList(const char* function, const char* name, uint32_t type,
                              const char* const* instanceNos, uint32_t count) {
    QV_LOG(20, "[FLEET_LINK]group control node [%s] %s", Cfg()->nodeName.c_str(), name);
    if (!IsReady(function)) {
        return -1;
    }
    if (count > 0 && !instanceNos) {
        return RefuseArgument(function);
    }
    return SendPackage(type, BuildInstanceListReq(ConnId(), instanceNos, count));
}

int CGCNode::AddInstance(const char* const* instanceNos, uint32_t count) {
    return SendInstanceList("fleet_link::CGCNode::AddInstance", "AddInstance", MSG_ADD_INSTANCE_REQ, instanceNos,
                            count);
}

int CGCNode::ReduceInstance(const char* const* instanceNos, uint32_t count) {
    return SendInstanceList("fleet_link::CGCNode::ReduceInstance", "ReduceInstance", MSG_REDUCE_INSTANCE_REQ,
                            instanceNos, count);
}

int CGCNode::QueryInstanceStatus() {
    QV_LOG(20, "[FLEET_LINK]group control node [%s] QueryInstanceStatus", Cfg()->nodeName.c_str());
    if (!IsReady("fleet_link::CGCNode::QueryInstanceStatus")) {
        return -1;
    }
    return SendPackage(MSG_QUERY_INSTANCE_STATUS_REQ, BuildConnIdReq(ConnId()));
}

int CGCNode::SwitchMain(const char* newMainInstanceNo) {
    QV_LOG(20, "[FLEET_LINK]group control node [%s] SwitchMain[%s]", Cfg()->nodeName.c_str(),
           newMainInstanceNo ? newMainInstanceNo : "");
    if (!IsReady("fleet_link::CGCNode::SwitchMain")) {
        return -1;
    }
    return SendPackage(MSG_SWITCH_MAIN_REQ, BuildSwitchMainReq(ConnId(), newMainInstanceNo));
}

int CGCNode::InputString(const char* str) {
    if (!IsReady("fleet_link::CGCNode::InputString")) {
        return -1;
    }
    if (str && strnlen(str, kMaxInputTextBytes + 1) > kMaxInputTextBytes) {
        QV_LOG(60, "[FLEET_LINK]input string is too long");
        return -1;
    }
    return SendPackage(MSG_INPUT_REQ, BuildInputReq(ConnId(), INPUT_STRING, TextInputData(str)));
}

int CGCNode::InputClipboard(const char* str) {
    if (!IsReady("fleet_link::CGCNode::InputClipboard")) {
        return -1;
    }
    if (str && strnlen(str, kMaxInputTextBytes + 1) > kMaxInputTextBytes) {
        QV_LOG(60, "[FLEET_LINK]Clipboard string is too long");
        return -1;
    }
    return SendPackage(MSG_INPUT_REQ, BuildInputReq(ConnId(), INPUT_CLIPBOARD, TextInputData(str)));
}

int CGCNode::InputKeyboard(bool isDown, int8_t key) {
    return SendInput("fleet_link::CGCNode::InputKeyboard", INPUT_KEYBOARD, KeyboardInputData(key, isDown));
}

int CGCNode::InputMouseClick(int mouseType, bool isDown) {
    return SendInput("fleet_link::CGCNode::InputMouseClick", INPUT_MOUSE_CLICK,
                     MouseClickInputData(mouseType, isDown));
}

int CGCNode::InputMouseMiddleClick(int wheel, bool isDown) {
    return SendInput("fleet_link::CGCNode::InputMouseMiddleClick", INPUT_MOUSE_MIDDLE_CLICK,
                     MouseMiddleClickInputData(wheel, isDown));
}

int CGCNode::InputMouseMove(int x, int y) {
    return SendInput("fleet_link::CGCNode::InputMouseMove", INPUT_MOUSE_MOVE, MouseMoveInputData(x, y));
}

int CGCNode::InputTouch(int touchType, const int* xs, const int* ys, int count) {
    static const char* const kFunction = "fleet_link::CGCNode::InputTouch";
    if (!IsReady(kFunction)) {
        return -1;
    }
    if (count > 0) {
        if (!xs || !ys) {
            return RefuseArgument(kFunction);
        }
        if (touchType == kTouchMove) {
            int64_t now = m_clock.NowMs();
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_lastTouchMoveMs != 0 && now - m_lastTouchMoveMs < kTouchMoveIntervalMs) {
                return 0;  // throttled: moves go out at most every 20 ms
            }
            m_lastTouchMoveMs = now;
        }
    } else if (touchType == kTouchDown || touchType == kTouchMove) {
        return -1;
    }
    return SendPackage(MSG_INPUT_REQ, BuildInputReq(ConnId(), INPUT_TOUCH, TouchInputData(touchType, xs, ys, count)));
}

int CGCNode::InputPosition(float longitude, float latitude) {
    return SendInput("fleet_link::CGCNode::InputPosition", INPUT_POSITION, PositionInputData(longitude, latitude));
}

int CGCNode::InputSensor(int sensorType, float x, float y, float z) {
    return SendInput("fleet_link::CGCNode::InputSensor", INPUT_SENSOR, SensorInputData(sensorType, x, y, z));
}

int CGCNode::InputMsg(const char* service, const char* msg) {
    return SendInput("fleet_link::CGCNode::InputMsg", INPUT_MSG, MsgInputData(service, msg));
}

int CGCNode::SendInstanceText(const char* function, int opType, const InstanceInput* const* infos, uint32_t count) {
    if (!IsReady(function)) {
        return -1;
    }
    if (count > 0 && !infos) {
        return RefuseArgument(function);
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (!infos[i]) {
            return RefuseArgument(function);
        }
    }
    return SendPackage(MSG_INPUT_REQ, BuildInputReq(ConnId(), opType, InstanceTextInputData(infos, count)));
}

int CGCNode::InputInstanceInput(const InstanceInput* const* infos, uint32_t count) {
    return SendInstanceText("fleet_link::CGCNode::InputInstanceInput", INPUT_INSTANCE_INPUT, infos, count);
}

int CGCNode::InputInstanceClipboard(const InstanceInput* const* infos, uint32_t count) {
    return SendInstanceText("fleet_link::CGCNode::InputInstanceClipboard", INPUT_INSTANCE_CLIPBOARD, infos, count);
}

}  // namespace fleet_link
