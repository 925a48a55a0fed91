#pragma once
// CWSControl: the one implementation of IRelayPort. It owns one engine, one
// WebSocket handle and four timers (check-result, reconnect, disconnect,
// delay). User threads call the operations; everything else runs on the
// engine's loop thread. m_mutex guards the members that both sides touch and
// is never held across a notification or an engine Stop.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "net_engine/net_engine.h"
#include "relay_port/message_builder.h"
#include "relay_port/message_parser.h"
#include "relay_port/relay_port.h"

namespace relay_port {

class CWSControl;

// Handed to the handle and the timers in place of the link itself, so that
// they hold only a weak reference to it.
class CLinkNoticProxy : public net_engine::IHttpHandleNotic, public net_engine::ITimerHandleNotic {
public:
    explicit CLinkNoticProxy(std::weak_ptr<CWSControl> owner) : m_owner(std::move(owner)) {}
    void OnWebSocketData(const char* data, size_t length, int frameKind, void* userData) override;
    void OnResult(std::shared_ptr<net_engine::IHttpHandleInterface> handle, net_engine::HttpResult result,
                  void* userData) override;
    void OnTimer(std::shared_ptr<net_engine::ITimerHandleInterface> timer, void* userData) override;

private:
    std::weak_ptr<CWSControl> m_owner;
};

class CWSControl : public std::enable_shared_from_this<CWSControl>,
                   public net_engine::IHttpHandleNotic,
                   public net_engine::ITimerHandleNotic,
                   public IRelayPort {
public:
    CWSControl();
    ~CWSControl() override;

    int Init(const char* user, const char* url, const WsAuthParam* auth, const WsVideoParam* video,
             const WsAudioParam* audio, const WsSystemParam* system, std::shared_ptr<IRelayPortNotic> notic) override;
    int UnInit() override;
    int UpdateSessionId(const char* sessionId) override;
    int SendInKeyReq(uint8_t flag, uint8_t key) override;
    int SendInTouchReq(uint32_t action, const uint32_t* xs, const uint32_t* ys, int count) override;
    int SendInLocationReq(float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8) override;
    int SendInSensorReq(uint32_t type, float x, float y, float z) override;
    int SendMsgTransReq(const char* service, const char* msg) override;
    int SendCopyStringReq(const char* text) override;
    int SendInputStringReq(const char* text) override;
    int SendMsgTransRes(const char* msg, int code) override;
    int SendPlayControlReq(uint8_t first, uint8_t second) override;
    int SendSetVideoParamReq(int fps, uint32_t bitrate, uint32_t width, uint32_t height) override;
    int SendInMicParamReq(uint32_t a, uint32_t b, uint32_t c) override;
    int SendInMicDataReq(const void* data, size_t length) override;
    int SendInCameraParamReq(uint32_t a, uint32_t b, uint32_t c, const void* blob, int blobLength) override;
    int SendInCameraDataReq(const void* data, size_t length) override;
    int SendSetRotationReq(uint32_t a, uint32_t b) override;
    int SendInputModeReq(uint32_t mode) override;
    int SendDummyReq() override;
    int SendWRAnswerReq(const char* sdp) override;
    int SendWRCandidateReq(uint32_t mlineIndex, const char* mid, const char* candidate) override;

    // Engine notifications (loop thread), reached through CLinkNoticProxy.
    void OnWebSocketData(const char* data, size_t length, int frameKind, void* userData) override;
    void OnResult(std::shared_ptr<net_engine::IHttpHandleInterface> handle, net_engine::HttpResult result,
                  void* userData) override;
    void OnTimer(std::shared_ptr<net_engine::ITimerHandleInterface> timer, void* userData) override;

private:
    using TimerPtr = std::shared_ptr<net_engine::ITimerHandleInterface>;
    using HandlePtr = std::shared_ptr<net_engine::IHttpHandleInterface>;

    // ws_control.cpp: life cycle
    bool CheckParams(const char* user, const char* url, const WsAuthParam* auth, const WsVideoParam* video,
                     const WsAudioParam* audio, const WsSystemParam* system, const IRelayPortNotic* notic);
    void ReleaseAll();  // deletes handle and timers and stops the engine

    // ws_control_connection.cpp: connection machine (loop thread unless noted)
    int Connect();  // first attempt, from Init
    HandlePtr NewHandle();
    net_engine::HttpOperationCallback AddCallback();
    void ReleaseHandle(const HandlePtr& handle);
    int StartReconnectTimer(const char* addFailedLine, int addFailedLevel);
    void RestartCheckTimer();
    void StopTimer(const TimerPtr& timer);
    void DeleteTimer(TimerPtr& slot);
    void DisconnectHandle();
    void TearDownAttempt();
    void OnCheckTick();
    void OnReconnectTick();
    void OnDelayTick();
    void OnDisconnectTick();
    void Disconnect(const char* caller);
    void DisconnectAndReconnect();
    int SendAuthReq();
    int SendPlayReq();
    int SendOfferReq();
    int SendDelayReq(int64_t nowMs);
    int SendDelayReport(uint32_t delayMs, int64_t nowMs);
    void HandleAuthRes(const uint8_t* body, size_t length);
    void HandlePlayRes(const uint8_t* body, size_t length);
    void DealPlayRes(const wire::PlayResult& result);
    void HandleError(const uint8_t* body, size_t length);
    void HandleDelayEcho(const uint8_t* body, size_t length);

    // ws_control_dispatch.cpp: received messages of the input/output catalogue
    void Dispatch(uint32_t type, const uint8_t* body, size_t length);
    void DropInvalid(uint32_t type, size_t length);

    // ws_control_send.cpp
    bool CanSend(const char* fullName);
    int Send(wire::Package&& package);
    std::shared_ptr<const std::string> SessionId();

    std::shared_ptr<CLinkNoticProxy> m_proxy;

    mutable std::recursive_mutex m_mutex;
    TimerPtr m_reconnectTimer;
    TimerPtr m_checkTimer;
    TimerPtr m_disconnectTimer;
    TimerPtr m_delayTimer;
    HandlePtr m_handle;
    std::shared_ptr<net_engine::INetEngine> m_engine;
    WsAuthParam m_auth{};
    std::shared_ptr<const std::string> m_sessionId;
    int64_t m_lastMoveMs = 0;  // steady clock; time of the last accepted touch move

    // Written by Init before the engine starts, then read on the loop thread.
    std::string m_user;
    std::string m_url;
    bool m_webrtcMode = false;
    WsVideoParam m_video{};
    WsAudioParam m_audio{};
    WsSystemParam m_system{};
    std::shared_ptr<IRelayPortNotic> m_notic;

    std::atomic<int> m_state{0};  // 0 idle, 1 initialising, 2 running, 3 stopping
    std::atomic<bool> m_ready{false};
    std::atomic<int> m_checkCount{0};
    std::atomic<bool> m_autoReconnect{false};
    int64_t m_lastEchoMs = 0;  // loop thread only
};

// Wall-clock milliseconds since 1970, as put on the wire.
int64_t NowMs();
// Monotonic milliseconds, for throttles.
int64_t SteadyMs();

}  // namespace relay_port
