#pragma once
// The network engine: one event-loop thread per engine that runs HTTP(S)
// requests, WebSocket connections and timers, with a queue through which any
// thread hands it work. Every notification and callback runs on the loop thread.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#define NET_ENGINE_API __attribute__((visibility("default")))

namespace net_engine {

class INetEngine;
class IHttpHandleInterface;
class ITimerHandleInterface;

// Outcome of one plain HTTP transfer; the status code is read with GetResponseCode.
enum HttpResult { HTTP_RESULT_OK = 0, HTTP_RESULT_FAILED = -2 };

// Request kinds given to IHttpHandleInterface::Init.
enum HttpKind { HTTP_KIND_GET = 0, HTTP_KIND_POST = 1, HTTP_KIND_WEBSOCKET = 2 };

// WebSocket frame kinds for sending and delivery (0 = ping, pong or other).
enum WsFrameKind { WS_FRAME_OTHER = 0, WS_FRAME_TEXT = 1, WS_FRAME_BINARY = 2, WS_FRAME_CLOSE = 3 };

// Called on the loop thread once a queued operation ran: target, user data, 0 or -1.
template <class X>
using OperationCallback = std::function<void(std::shared_ptr<X>, void*, int)>;
using HttpOperationCallback = OperationCallback<IHttpHandleInterface>;
using TimerOperationCallback = OperationCallback<ITimerHandleInterface>;

class NET_ENGINE_API IHttpNotic {
public:
    // Once, on the loop thread, after the loop has ended.
    virtual void OnFrameStop(std::shared_ptr<INetEngine> engine, void* userData) = 0;
};

class NET_ENGINE_API INetEngine {
public:
    static std::shared_ptr<INetEngine> Create();

    INetEngine() = default;
    INetEngine(const INetEngine&) = default;
    INetEngine& operator=(const INetEngine&) = default;

    virtual int Init(std::shared_ptr<IHttpNotic> notic, void* userData) = 0;
    virtual int Start() = 0;
    // Off the loop thread Stop joins the loop thread; on it, the loop ends after
    // the current callback returns.
    virtual int Stop(bool async) = 0;
    // async forces queuing even when the caller is on the loop thread.
    virtual int AddHttpReq(std::shared_ptr<IHttpHandleInterface> handle, bool async,
                           HttpOperationCallback callback, void* userData) = 0;
    virtual int DelHttpReq(std::shared_ptr<IHttpHandleInterface> handle, bool async,
                           HttpOperationCallback callback, void* userData) = 0;
    virtual int AddTimerReq(std::shared_ptr<ITimerHandleInterface> timer, bool async,
                            TimerOperationCallback callback, void* userData) = 0;
    virtual int DelTimerReq(std::shared_ptr<ITimerHandleInterface> timer, bool async,
                            TimerOperationCallback callback, void* userData) = 0;
    virtual ~INetEngine() = default;
};

class NET_ENGINE_API IHttpHandleNotic {
public:
    // One whole WebSocket message; data is valid during the call only.
    virtual void OnWebSocketData(const char* data, size_t length, int frameKind, void* userData) {}
    virtual void OnProgress(const char* name, const char* url, double downloadTotal, double downloadNow,
                            double uploadTotal, double uploadNow, void* userData) {}
    // End of a transfer, once: a plain request's outcome, or the end of a
    // WebSocket connection (closed by the peer, cut, refused, failed to send),
    // always HTTP_RESULT_FAILED. Nothing is reported for a transfer the user
    // detached first with DisconnectWebSocket or DelHttpReq.
    virtual void OnResult(std::shared_ptr<IHttpHandleInterface> handle, HttpResult result, void* userData) {}
    virtual ~IHttpHandleNotic() = default;
};

// One libcurl easy handle: a GET, a POST or a WebSocket connection. Every
// handle that was initialised must finally be passed to DelHttpReq.
class NET_ENGINE_API IHttpHandleInterface {
public:
    static std::shared_ptr<IHttpHandleInterface> Create();

    IHttpHandleInterface() = default;
    IHttpHandleInterface(const IHttpHandleInterface&) = default;
    IHttpHandleInterface& operator=(const IHttpHandleInterface&) = default;

    virtual int Init(const char* url, const char* name, int kind, std::shared_ptr<IHttpHandleNotic> notic,
                     int connectTimeoutMs, int timeoutMs, void* userData) = 0;
    virtual int DisconnectWebSocket() = 0;
    virtual int SetPostFields(const char* body) = 0;
    // frameKind 1 text, 2 binary, 3 close. Off the loop thread the frame is
    // queued and *sent is set to its full size.
    virtual int SendWebSocket(std::shared_ptr<std::vector<char>> data, int frameKind, size_t* sent) = 0;
    virtual int EnableDebug() = 0;
    virtual int SetWriteFile(const char* path) = 0;
    virtual int SetProgress(bool enable) = 0;
    // A CA file turns verification on; null turns it off.
    virtual int SetSSL(const char* caFile) = 0;
    virtual int SetHeaders(const std::list<std::string>& headers) = 0;
    virtual void* GetUserData() = 0;
    virtual const std::string& GetUrl() = 0;
    virtual const std::string& GetName() = 0;
    virtual const std::string& GetResponse() = 0;
    virtual int GetResponseCode() = 0;
    virtual ~IHttpHandleInterface() = default;
};

class NET_ENGINE_API ITimerHandleNotic {
public:
    virtual void OnTimer(std::shared_ptr<ITimerHandleInterface> timer, void* userData) {}
    // The timer is closed; nothing follows.
    virtual void OnTimerClose(std::shared_ptr<ITimerHandleInterface> timer, void* userData) {}
    virtual ~ITimerHandleNotic() = default;
};

using TimerFunction = std::function<void(std::shared_ptr<ITimerHandleInterface>, void*)>;

// A libuv timer on an engine's loop; added and deleted through the engine.
class NET_ENGINE_API ITimerHandleInterface {
public:
    static std::shared_ptr<ITimerHandleInterface> Create(std::shared_ptr<ITimerHandleNotic> notic,
                                                         uint64_t timeoutMs, uint64_t repeatMs, void* userData);
    static std::shared_ptr<ITimerHandleInterface> Create(TimerFunction onTimer, TimerFunction onClose,
                                                         uint64_t timeoutMs, uint64_t repeatMs, void* userData);

    ITimerHandleInterface() = default;
    ITimerHandleInterface(const ITimerHandleInterface&) = default;
    ITimerHandleInterface& operator=(const ITimerHandleInterface&) = default;

    virtual int Stop(TimerOperationCallback callback, void* userData) = 0;
    // Restarts with the repeat interval (a one-shot timer is not restarted).
    virtual int Again(TimerOperationCallback callback, void* userData) = 0;
    virtual ~ITimerHandleInterface() = default;
};

}  // namespace net_engine
