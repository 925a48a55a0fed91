#pragma once
// The engine: one libuv loop on its own thread, a libcurl multi handle in
// socket-action mode glued to it, and the queue of operations from other threads.
#define CURL_DISABLE_DEPRECATION
#include <curl/curl.h>
#include <uv.h>

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "asyn_oper.h"
#include "loop_spin.h"
#include "net_engine/net_engine.h"

namespace net_engine {

class CHttpHandle;

// One socket libcurl asked us to watch; the poll handle comes first so the
// handle address is the record address.
struct PollContext {
    uv_poll_t poll;
    curl_socket_t socket;
    CHttpFrame* engine;
    int curlEvents;   // UV_READABLE / UV_WRITABLE as libcurl asked
    int armedEvents;  // what the poll watches now
};

class CHttpFrame final : public INetEngine, public std::enable_shared_from_this<CHttpFrame> {
public:
    CHttpFrame();
    ~CHttpFrame() override;

    int Init(std::shared_ptr<IHttpNotic> notic, void* userData) override;
    int Start() override;
    int Stop(bool async) override;
    int AddHttpReq(std::shared_ptr<IHttpHandleInterface> handle, bool async, HttpOperationCallback callback,
                   void* userData) override;
    int DelHttpReq(std::shared_ptr<IHttpHandleInterface> handle, bool async, HttpOperationCallback callback,
                   void* userData) override;
    int AddTimerReq(std::shared_ptr<ITimerHandleInterface> timer, bool async, TimerOperationCallback callback,
                    void* userData) override;
    int DelTimerReq(std::shared_ptr<ITimerHandleInterface> timer, bool async, TimerOperationCallback callback,
                    void* userData) override;

    // Used by handles and timers.
    bool IsLoopThread() const;
    bool IsRunning() const { return m_running.load() == 1; }
    // Queues a record from a handle or timer; false (and a log line) when the
    // engine is not running.
    bool Post(std::shared_ptr<AsynOperReq> req);
    CURLM* Multi() const { return m_multi; }
    uv_loop_t* Loop() const { return m_loop.get(); }
    // libcurl closes a socket (CURLOPT_CLOSESOCKETFUNCTION, data: the engine).
    static int CloseSocket(void* clientp, curl_socket_t socket);
    // Closes the poll the engine kept for a socket libcurl no longer watches.
    void ClosePoll(curl_socket_t socket);
    // An upgraded WebSocket connection: its socket is the handle's own from
    // now on; the engine ends it when the engine stops.
    void TrackWebSocket(std::shared_ptr<CHttpHandle> handle);
    // Retries the queued frames of a handle every millisecond while its
    // socket takes nothing although writable (TLS waiting for the peer).
    void RetrySendSoon(std::shared_ptr<CHttpHandle> handle);
    // A socket the engine watches was ready, or other threads handed over work (loop thread).
    void NoteActivity() { m_spin.NoteActivity(); }

private:
    void FrameThread(std::shared_ptr<CHttpFrame> self);
    void TearDown();
    void CloseOwnHandles();
    int Queue(std::shared_ptr<AsynOperReq> req, bool async);
    void Wake();
    void DrainQueued();

    static void OnStop(uv_async_t* async);
    static void OnReq(uv_async_t* async);
    void RunQueued();

    // libcurl socket-action glue (curl_socket_glue.cpp).
    static int HandleSocket(CURL* easy, curl_socket_t s, int what, void* userp, void* socketp);
    static void CurlPerform(uv_poll_t* poll, int status, int events);
    static int StartTimeout(CURLM* multi, long timeoutMs, void* userp);
    static void OnTimeout(uv_timer_t* timer);
    // Reports held results and runs due libcurl work once the loop turn's
    // socket callbacks are done (check phase); at once when the engine is stopping.
    void RunCurlWorkAfterTurn();
    static void OnDueCheck(uv_check_t* check);
    // RunCurlWork, then the work queued meanwhile.
    void RunCurlWorkNow();
    // Reports held results, then runs what libcurl asked to run at once (a
    // zero time-out); only where no libcurl call is on the stack.
    void RunCurlWork();
    // Reports every ended transfer libcurl has queued.
    void CheckMultiInfo();
    // curl_multi_socket_action with its failure line; counts nesting. Returns
    // the number of transfers still running.
    int SocketAction(curl_socket_t socket, int flags, const char* where);

    void ArmPoll(PollContext* context);
    void StopPoll(PollContext* context);
    void StopAllPolls();
    // Upgraded WebSocket connections and stalled senders (ws_connections.cpp).
    void EndWebSocketsOnStop();
    static void OnSendRetry(uv_timer_t* timer);

    std::atomic<int32_t> m_initState{0};
    std::mutex m_threadMutex;  // guards m_thread only; never held while joining
    std::thread m_thread;
    std::atomic<long> m_loopTid{0};
    std::atomic<bool> m_loopActive{false};  // a thread runs or tears down the loop
    std::shared_ptr<IHttpNotic> m_notic;
    void* m_userData = nullptr;
    std::shared_ptr<uv_loop_t> m_loop;
    uv_async_t m_stopAsync{};
    uv_timer_t m_curlTimer{};
    uv_async_t m_reqAsync{};
    uv_timer_t m_sendRetryTimer{};
    uv_check_t m_dueCheck{};  // reports held results and runs due libcurl work after a turn's socket callbacks
    LoopSpin m_spin;
    std::atomic<int32_t> m_running{0};
    std::mutex m_queueMutex;
    std::list<std::shared_ptr<AsynOperReq>> m_AsynOperReqList;
    CURLM* m_multi = nullptr;
    bool m_handlesOpen = false;  // the own libuv handles above are initialised

    // Loop thread only.
    std::vector<std::weak_ptr<CHttpHandle>> m_webSockets;      // upgraded connections
    std::vector<std::weak_ptr<CHttpHandle>> m_stalledSenders;  // retried by the 1 ms timer
    std::unordered_map<curl_socket_t, PollContext*> m_polls;   // sockets libcurl watches or keeps in its pool
    bool m_curlWorkDue = false;                               // libcurl asked for a zero time-out
    int m_unreportedCalls = 0;  // socket calls since the last report; their results are held while > 0
    int m_curlDepth = 0;                                      // socket-action calls on the stack
    int m_drainDepth = 0;     // socket and time-out callbacks on the stack; they run queued work at their end
    bool m_drainDue = false;  // work was queued on the loop thread meanwhile
};

}  // namespace net_engine
