#pragma once
// Operations that other threads hand to an engine's loop thread, and the
// interface of the handles and timers that execute them there.
#include <cstdint>
#include <memory>
#include <vector>

#include "net_engine/net_engine.h"

namespace net_engine {

class CHttpFrame;
class IAsynOperInterface;

enum AsynOperCode {
    OPER_ADD_HTTP = 0,
    OPER_DEL_HTTP = 1,
    OPER_DISCONNECT_WS = 2,
    OPER_SEND_WS = 3,
    OPER_ADD_TIMER = 4,
    OPER_DEL_TIMER = 5,
    OPER_STOP_TIMER = 6,
    OPER_AGAIN_TIMER = 7,
    // Internal: ends a WebSocket transfer that can no longer be used, outside
    // any libcurl callback (libcurl refuses removals from inside them).
    OPER_END_WS = 8,
};

struct AsynOperReq {
    int type = 0;
    std::shared_ptr<IAsynOperInterface> target;
    void* userData = nullptr;
    virtual ~AsynOperReq() = default;
};

struct AsynHttpReq : AsynOperReq {
    HttpOperationCallback callback;
};

struct AsynWSSendReq : AsynHttpReq {
    std::shared_ptr<std::vector<char>> data;  // the whole frame as it goes on the wire
    uint8_t frameFlag = 0;                    // its opcode: 1 text, 2 binary, 8 close
};

struct AsynEndWSReq : AsynHttpReq {
    uint32_t transfer = 0;  // the transfer that failed; a later one is left alone
};

struct AsynTimerReq : AsynOperReq {
    TimerOperationCallback callback;
};

class IAsynOperInterface {
public:
    // Runs the operation on the loop thread; 0 or -1.
    virtual int Execute(std::shared_ptr<AsynOperReq> req, std::shared_ptr<CHttpFrame> engine) = 0;
    // For a record still queued when the engine stops: true when it was
    // answered here and must be dropped, false when it must still run.
    virtual bool CancelOnStop(std::shared_ptr<AsynOperReq> req) = 0;
    virtual ~IAsynOperInterface() = default;
};

}  // namespace net_engine
