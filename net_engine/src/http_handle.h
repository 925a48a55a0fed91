#pragma once
// One libcurl easy handle: a plain GET or POST, or a WebSocket connection.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>

#include <atomic>
#include <cstdio>
#include <list>
#include <mutex>
#include <memory>
#include <string>
#include <vector>

#include "asyn_oper.h"
#include "ws_frame_encoder.h"
#include "net_engine/net_engine.h"

namespace net_engine {

class CHttpFrame;
class CHttpHandle;

// What one attempt to continue partly sent WebSocket frames achieved.
enum class SendProgress { kDone, kMore, kStalled, kFailed };

// Handed to libcurl as private/write/debug/progress data; keeps the handle
// alive while it is initialised.
struct HandlePrivate {
    std::shared_ptr<CHttpHandle> self;
};

class CHttpHandle final : public IHttpHandleInterface,
                          public IAsynOperInterface,
                          public std::enable_shared_from_this<CHttpHandle> {
public:
    CHttpHandle() = default;
    ~CHttpHandle() override;

    int Init(const char* url, const char* name, int kind, std::shared_ptr<IHttpHandleNotic> notic,
             int connectTimeoutMs, int timeoutMs, void* userData) override;
    int DisconnectWebSocket() override;
    int SetPostFields(const char* body) override;
    int SendWebSocket(std::shared_ptr<std::vector<char>> data, int frameKind, size_t* sent) override;
    int EnableDebug() override;
    int SetWriteFile(const char* path) override;
    int SetProgress(bool enable) override;
    int SetSSL(const char* caFile) override;
    int SetHeaders(const std::list<std::string>& headers) override;
    void* GetUserData() override { return m_userData; }
    const std::string& GetUrl() override { return m_url; }
    const std::string& GetName() override { return m_name; }
    const std::string& GetResponse() override { return m_response; }
    int GetResponseCode() override;

    int Execute(std::shared_ptr<AsynOperReq> req, std::shared_ptr<CHttpFrame> engine) override;
    bool CancelOnStop(std::shared_ptr<AsynOperReq> req) override;

    // Engine side.
    void SetEngine(std::shared_ptr<CHttpFrame> engine);
    // The user asked for DelHttpReq: no end of the current transfer is reported after this.
    void NoteDetachRequest() { ++m_detachRequests; }
    // libcurl finished the transfer (loop thread, outside libcurl callbacks).
    void OnTransferDone(CURLcode result);
    // libcurl finished a transfer with success: true when it was a
    // WebSocket upgrade that the handle now carries on with its own socket
    // watch (the transfer stays in the multi handle until it ends).
    bool OnWebSocketUpgraded();
    // The socket watch of an upgraded connection saw `events`.
    void HandleSocketEvent(int status, int events);
    // The engine's retry timer: sends what a stalled socket did not take.
    SendProgress ContinueStalledSends();
    // The engine stops: queued frames are given up and the socket watch closed.
    void EndOnEngineStop();
    CURL* Easy() const { return m_easy; }
    // The libuv poll of an upgraded connection's socket (ws_socket_io.cpp).
    struct SocketWatch;
    // Drops frames that can no longer be sent and fails the connection.
    void AbandonWebSocketSends(const char* why);

private:
    // A frame as it goes on the wire, and how much of it went out.
    struct PendingFrame {
        std::shared_ptr<std::vector<char>> data;
        size_t offset = 0;
    };

    static size_t WriteCallback(char* data, size_t size, size_t count, void* userp);
    static int ProgressCallback(void* userp, double dlTotal, double dlNow, double ulTotal, double ulNow);
    static int DebugCallback(CURL* easy, curl_infotype type, char* data, size_t size, void* userp);
    void OnWebSocketChunk(const char* data, size_t length, const curl_ws_frame* meta);
    // Writes a whole frame, or queues it behind others and watches for writability.
    void SendOnLoop(std::shared_ptr<std::vector<char>> frame, bool close);
    // Sends what is still queued (loop thread).
    SendProgress FlushWebSocketSends();
    // Reads every frame libcurl has for an upgraded connection.
    void ReadWebSocket();
    // Watches the upgraded connection's socket: readable always, writable while frames wait.
    void ArmSocketWatch();
    void CloseSocketWatch();
    void ClearWebSocketState();
    // Ends the current WebSocket transfer on the next loop turn (it may be
    // inside a libcurl callback now) and reports it.
    void FailWebSocket(const char* why);
    void AnswerPeerClose(const std::string& payload);
    void EndFailedWebSocket(uint32_t transfer);
    // OnResult once per transfer, unless the user detached it first.
    void ReportEnd(HttpResult result);
    // Drops the WebSocket state and takes the easy handle out of the
    // engine's multi handle; -1 (logged) when libcurl refuses.
    int LeaveMulti(CHttpFrame& engine);
    std::shared_ptr<CHttpFrame> Engine() const;
    void Reset();

    CURL* m_easy = nullptr;
    std::string m_url;
    int m_kind = 0;
    std::string m_name;
    void* m_userData = nullptr;
    curl_slist* m_headers = nullptr;
    std::string m_writeFilePath;
    FILE* m_writeFile = nullptr;
    std::string m_response;
    std::string m_postFields;
    std::shared_ptr<IHttpHandleNotic> m_notic;
    std::unique_ptr<HandlePrivate> m_private;
    mutable std::mutex m_engineMutex;
    std::shared_ptr<CHttpFrame> m_engine;  // written by AddHttpReq, read on any thread
    std::atomic<int32_t> m_initState{0};

    // Transfer bookkeeping, loop thread only except m_detachRequests.
    bool m_inMulti = false;                     // added and neither finished nor detached
    uint32_t m_transfer = 0;                    // counts executed adds
    bool m_endPending = false;                  // a failure end of m_transfer is queued
    bool m_closeSent = false;                   // our close frame is out on this transfer
    std::atomic<uint32_t> m_detachRequests{0};  // DisconnectWebSocket and DelHttpReq calls
    uint32_t m_detachesAtAdd = 0;               // m_detachRequests when the transfer was added

    // WebSocket state, loop thread only.
    size_t m_frameBase = 0;             // where the current frame starts in m_response
    std::string m_control;              // payload of a ping, pong or close frame in progress
    std::list<PendingFrame> m_sendQueue;  // empty on every plain request: allocates nothing then
    int64_t m_lastSendProgressMs = 0;   // steady clock: when queued bytes last went out
    bool m_upgraded = false;            // the transfer is an open WebSocket connection
    bool m_sendStalled = false;         // the socket took nothing although writable: the timer retries
    SocketWatch* m_watch = nullptr;     // owned; freed by libuv's close callback
    std::vector<char> m_receiveBuffer;  // frames as curl_ws_recv hands them over
};

}  // namespace net_engine
