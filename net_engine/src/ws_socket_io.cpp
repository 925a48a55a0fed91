// An upgraded WebSocket connection on the engine's loop: libcurl has done the
// handshake and no longer watches the socket; the handle watches it itself,
// reads frames as they come and writes queued frames when it is writable.
#include <uv.h>

#include "common/qv_log.h"
#include "http_frame.h"
#include "http_handle.h"

namespace net_engine {

namespace {

// Room for one piece of a frame; larger frames come in several pieces.
constexpr size_t kReceiveBufferBytes = 256 * 1024;

}  // namespace

struct CHttpHandle::SocketWatch {
    uv_poll_t poll{};
    std::weak_ptr<CHttpHandle> owner;
    CHttpFrame* engine = nullptr;  // whose loop the poll runs on
    int armed = 0;  // what the poll watches now
};

namespace {

void OnSocketEvent(uv_poll_t* poll, int status, int events);

void FreeWatch(uv_handle_t* handle) {
    std::unique_ptr<CHttpHandle::SocketWatch> watch(static_cast<CHttpHandle::SocketWatch*>(handle->data));
}

}  // namespace

bool CHttpHandle::OnWebSocketUpgraded() {
    if (m_kind != HTTP_KIND_WEBSOCKET || !m_inMulti || !m_easy) return false;
    auto engine = Engine();
    curl_socket_t socket = CURL_SOCKET_BAD;
    CURLcode rc = curl_easy_getinfo(m_easy, CURLINFO_ACTIVESOCKET, &socket);
    if (!engine || rc != CURLE_OK || socket == CURL_SOCKET_BAD) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]websocket[%s] upgraded without a socket", rc, curl_easy_strerror(rc),
               m_url.c_str());
        return false;
    }
    // The socket is the connection's own from now on: no poll of the engine's may watch it too.
    engine->ClosePoll(socket);
    auto watch = std::make_unique<SocketWatch>();
    int uvRc = uv_poll_init_socket(engine->Loop(), &watch->poll, socket);
    if (uvRc != 0) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]uv_poll_init_socket failed", uvRc, uv_strerror(uvRc));
        return false;
    }
    watch->owner = shared_from_this();
    watch->engine = engine.get();
    watch->poll.data = watch.get();
    m_watch = watch.release();
    m_upgraded = true;
    engine->TrackWebSocket(shared_from_this());
    ArmSocketWatch();
    // Frames that came with the answer to the upgrade wait in libcurl already.
    ReadWebSocket();
    return true;
}

void CHttpHandle::ArmSocketWatch() {
    if (!m_watch || uv_is_closing(reinterpret_cast<uv_handle_t*>(&m_watch->poll))) return;
    const int events = UV_READABLE | (!m_sendQueue.empty() && !m_sendStalled ? UV_WRITABLE : 0);
    if (events == m_watch->armed) return;
    m_watch->armed = events;
    uv_poll_start(&m_watch->poll, events, &OnSocketEvent);
}

void CHttpHandle::CloseSocketWatch() {
    if (!m_watch) return;
    uv_handle_t* handle = reinterpret_cast<uv_handle_t*>(&m_watch->poll);
    if (!uv_is_closing(handle)) uv_close(handle, &FreeWatch);
    m_watch = nullptr;
}

void CHttpHandle::HandleSocketEvent(int status, int events) {
    auto self = shared_from_this();  // a notification may drop the last reference
    const uint32_t transfer = m_transfer;
    if (status < 0) {
        QV_LOG(40, "[NET_ENGINE]websocket[%s] ends: socket error %s", m_url.c_str(), uv_strerror(status));
        EndFailedWebSocket(transfer);
        return;
    }
    if (events & UV_WRITABLE) {
        SendProgress progress = FlushWebSocketSends();
        if (progress == SendProgress::kStalled) {
            m_sendStalled = true;
            if (auto engine = Engine()) engine->RetrySendSoon(self);
        }
        ArmSocketWatch();
    }
    if ((events & UV_READABLE) && m_upgraded && transfer == m_transfer) ReadWebSocket();
}

SendProgress CHttpHandle::ContinueStalledSends() {
    auto self = shared_from_this();
    if (!m_upgraded) return SendProgress::kDone;
    SendProgress progress = FlushWebSocketSends();
    if (progress != SendProgress::kStalled) {
        m_sendStalled = false;
        ArmSocketWatch();
    }
    return progress;
}

void CHttpHandle::EndOnEngineStop() {
    if (!m_sendQueue.empty()) AbandonWebSocketSends("engine stopped");
    CloseSocketWatch();
}

// Reads until libcurl has nothing more: data may wait inside libcurl or the
// TLS layer although the socket itself has nothing left to read.
void CHttpHandle::ReadWebSocket() {
    auto self = shared_from_this();  // a notification may drop the last reference
    if (m_receiveBuffer.size() != kReceiveBufferBytes) m_receiveBuffer.resize(kReceiveBufferBytes);
    const uint32_t transfer = m_transfer;
    // A notification may disconnect, delete or reconnect the handle: stop then.
    while (m_upgraded && m_easy && transfer == m_transfer) {
        size_t n = 0;
        const curl_ws_frame* meta = nullptr;
        CURLcode rc = curl_ws_recv(m_easy, m_receiveBuffer.data(), m_receiveBuffer.size(), &n, &meta);
        if (rc == CURLE_AGAIN) return;
        if (rc != CURLE_OK || !meta) {
            QV_LOG(40, "[NET_ENGINE]websocket[%s] ends: %s", m_url.c_str(),
                   rc == CURLE_GOT_NOTHING ? "connection closed" : curl_easy_strerror(rc));
            EndFailedWebSocket(transfer);
            return;
        }
        OnWebSocketChunk(m_receiveBuffer.data(), n, meta);
    }
}

namespace {

void OnSocketEvent(uv_poll_t* poll, int status, int events) {
    auto* watch = static_cast<CHttpHandle::SocketWatch*>(poll->data);
    watch->engine->NoteActivity();
    if (auto handle = watch->owner.lock()) handle->HandleSocketEvent(status, events);
}

}  // namespace

}  // namespace net_engine
