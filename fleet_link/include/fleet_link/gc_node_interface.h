#pragma once
// One link to a group-control node: the operations the caller sends through
// it and the notifications it reports back.
#include <cstddef>
#include <cstdint>

#include "fleet_link/fleet_link_records.h"

namespace fleet_link {

// Implemented by the caller. Every notification runs on the link's engine
// thread; strings and arrays are valid only during the call.
class FLEET_LINK_API IPicGCWSNodeNotic {
public:
    IPicGCWSNodeNotic() = default;
    IPicGCWSNodeNotic(const IPicGCWSNodeNotic&) = default;
    IPicGCWSNodeNotic(IPicGCWSNodeNotic&&) = default;
    IPicGCWSNodeNotic& operator=(const IPicGCWSNodeNotic&) = default;
    IPicGCWSNodeNotic& operator=(IPicGCWSNodeNotic&&) = default;

    // status: NodeStatus (0 disconnected, 1 connecting, 2 connected).
    virtual void OnNodeStatusNotic(int status, const char* nodeName, void* userData) = 0;
    // A refused registration (type 1, no records) or a node's error report.
    virtual void OnNodeErrorNotic(EErrorType type, int code, const char* msg, const InstanceErrorInfo* infos,
                                  size_t count, const char* nodeName, void* userData) = 0;
    virtual void OnStartControlRes(int code, const char* msg, const char* nodeName, void* userData);
    virtual void OnAddInstanceRes(int code, const char* msg, const char* nodeName, void* userData);
    virtual void OnReduceInstanceRes(int code, const char* msg, const char* nodeName, void* userData);
    virtual void OnQueryInstanceStatusRes(int code, const char* msg, InstanceStateInfo* infos, size_t count,
                                          const char* nodeName, void* userData);
    virtual void OnSwitchMainRes(int code, const char* msg, const char* nodeName, void* userData);
};

// Operations on one node. Each returns 0 when its package was handed to the
// engine completely and -1 otherwise; they are refused until the WebSocket to
// the node is open. Callable from any thread.
class FLEET_LINK_API IPicGCWSNodeInterface {
public:
    IPicGCWSNodeInterface() = default;
    IPicGCWSNodeInterface(const IPicGCWSNodeInterface&) = default;
    IPicGCWSNodeInterface& operator=(const IPicGCWSNodeInterface&) = default;

    virtual int StartControl(const char* mainInstanceNo, const StreamConf* streamConf,
                             const ControlInstance* instances, uint32_t count) = 0;
    virtual int StopControl() = 0;
    virtual int AddInstance(const char* const* instanceNos, uint32_t count) = 0;
    virtual int ReduceInstance(const char* const* instanceNos, uint32_t count) = 0;
    virtual int QueryInstanceStatus() = 0;
    virtual int SwitchMain(const char* newMainInstanceNo) = 0;
    // Strings longer than 1048576 bytes are refused.
    virtual int InputString(const char* str) = 0;
    virtual int InputClipboard(const char* str) = 0;
    virtual int InputKeyboard(bool isDown, int8_t key) = 0;
    virtual int InputMouseClick(int mouseType, bool isDown) = 0;
    virtual int InputMouseMiddleClick(int wheel, bool isDown) = 0;
    virtual int InputMouseMove(int x, int y) = 0;
    // Point i is (xs[i], ys[i]). Moves (touchType 2) closer than 20 ms to the
    // last sent move are dropped and report 0.
    virtual int InputTouch(int touchType, const int* xs, const int* ys, int count) = 0;
    virtual int InputPosition(float longitude, float latitude) = 0;
    virtual int InputSensor(int sensorType, float x, float y, float z) = 0;
    virtual int InputMsg(const char* service, const char* msg) = 0;
    virtual int InputInstanceInput(const InstanceInput* const* infos, uint32_t count) = 0;
    virtual int InputInstanceClipboard(const InstanceInput* const* infos, uint32_t count) = 0;
    virtual ~IPicGCWSNodeInterface() = default;
};

}  // namespace fleet_link
