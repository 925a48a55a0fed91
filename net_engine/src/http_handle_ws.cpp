// WebSocket side of a request handle: sending frames so that none is ever
// cut, joining received pieces into whole messages, and ending a connection.
#include <chrono>
#include <cstring>

#include "common/qv_log.h"
#include "http_frame.h"
#include "http_handle.h"

namespace net_engine {

namespace {

// A peer that takes no byte of a queued frame for this long has failed.
constexpr int64_t kMaxSendStallMs = 10000;

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int CHttpHandle::SendWebSocket(std::shared_ptr<std::vector<char>> data, int frameKind, size_t* sent) {
    auto engine = Engine();
    if (m_initState.load() != 2 || !m_easy || m_kind != HTTP_KIND_WEBSOCKET || !sent || !engine) return -1;
    WsOpcode opcode = kWsBinary;
    switch (frameKind) {
    case WS_FRAME_TEXT: opcode = kWsText; break;
    case WS_FRAME_BINARY: opcode = kWsBinary; break;
    case WS_FRAME_CLOSE: opcode = kWsClose; break;
    default:
        QV_LOG(60, "[NET_ENGINE]unknow websocket type[%d]", frameKind);
        return -1;
    }
    if (!engine->IsRunning()) {
        QV_LOG(60, "[NET_ENGINE]send web socket failed: engine not running");
        return -1;
    }
    // The frame is built (and masked) on the caller's thread; the loop only writes it.
    const size_t size = data ? data->size() : 0;
    auto frame = EncodeClientFrame(opcode, data ? data->data() : nullptr, size, NextWsMaskKey());
    if (engine->IsLoopThread()) {
        SendOnLoop(std::move(frame), opcode == kWsClose);
        *sent = size;
        return 0;
    }
    auto req = std::make_shared<AsynWSSendReq>();
    req->type = OPER_SEND_WS;
    req->target = shared_from_this();
    req->frameFlag = opcode;
    req->data = std::move(frame);
    if (!engine->Post(req)) {
        *sent = 0;
        return -1;
    }
    *sent = size;
    return 0;
}

void CHttpHandle::SendOnLoop(std::shared_ptr<std::vector<char>> frame, bool close) {
    if (!m_easy) return;
    if (close) m_closeSent = true;
    // Frames queue behind one that went out only in part.
    if (!m_sendQueue.empty()) {
        m_sendQueue.push_back(PendingFrame{std::move(frame), 0});
        return;
    }
    size_t n = 0;
    CURLcode rc = curl_easy_send(m_easy, frame->data(), frame->size(), &n);
    if (rc == CURLE_OK && n == frame->size()) return;
    if (rc != CURLE_OK && rc != CURLE_AGAIN) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_ws_send failed", rc, curl_easy_strerror(rc));
        // The connection cannot carry frames any more: end it so the user reconnects.
        FailWebSocket("send error");
        return;
    }
    QV_LOG(40, "[NET_ENGINE]Send len diff [%zu] != [%zu]", frame->size(), n);
    m_sendQueue.push_back(PendingFrame{std::move(frame), n});
    m_lastSendProgressMs = SteadyMs();
    ArmSocketWatch();
}

SendProgress CHttpHandle::FlushWebSocketSends() {
    bool moved = false;
    while (!m_sendQueue.empty() && m_easy) {
        PendingFrame& frame = m_sendQueue.front();
        const size_t size = frame.data->size();
        size_t n = 0;
        CURLcode rc = curl_easy_send(m_easy, frame.data->data() + frame.offset, size - frame.offset, &n);
        frame.offset += n;
        moved |= n > 0;
        if (rc == CURLE_OK && frame.offset >= size) {
            m_sendQueue.pop_front();
            continue;
        }
        if (rc != CURLE_OK && rc != CURLE_AGAIN) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_ws_send failed", rc, curl_easy_strerror(rc));
            AbandonWebSocketSends("frame cut by a send error");
            return SendProgress::kFailed;
        }
        int64_t now = SteadyMs();
        if (moved) m_lastSendProgressMs = now;
        if (now - m_lastSendProgressMs > kMaxSendStallMs) {
            AbandonWebSocketSends("peer takes no data");
            return SendProgress::kFailed;
        }
        return moved ? SendProgress::kMore : SendProgress::kStalled;
    }
    return m_sendQueue.empty() ? SendProgress::kDone : SendProgress::kFailed;
}

void CHttpHandle::AbandonWebSocketSends(const char* why) {
    size_t dropped = m_sendQueue.size();
    if (dropped == 0) return;
    m_sendQueue.clear();
    QV_LOG(60, "[NET_ENGINE]websocket[%s] failed, [%zu] frames not sent: %s", m_url.c_str(), dropped, why);
    // A frame that went out in part leaves the stream unusable.
    FailWebSocket(why);
}

// The peer closed the connection: answer its close frame with its status
// (unless a close of ours is already out) and end the transfer, so neither
// side waits for the other's time-out.
void CHttpHandle::AnswerPeerClose(const std::string& payload) {
    if (!m_inMulti || !m_easy) return;  // the user disconnected meanwhile
    if (!m_closeSent) {
        SendOnLoop(EncodeClientFrame(kWsClose, payload.data(), payload.size() >= 2 ? 2 : 0, NextWsMaskKey()), true);
    }
    FailWebSocket("closed by the peer");
}

void CHttpHandle::FailWebSocket(const char* why) {
    if (!m_inMulti || m_endPending) return;
    auto engine = Engine();
    if (!engine) return;
    QV_LOG(40, "[NET_ENGINE]websocket[%s] ends: %s", m_url.c_str(), why);
    m_sendQueue.clear();
    if (!engine->IsRunning()) {
        // The engine is stopping: nothing runs later, and no libcurl call is on the stack.
        EndFailedWebSocket(m_transfer);
        return;
    }
    // Ended on the next loop turn: the caller may be inside a libcurl call or a notification.
    auto req = std::make_shared<AsynEndWSReq>();
    req->type = OPER_END_WS;
    req->target = shared_from_this();
    req->transfer = m_transfer;
    m_endPending = engine->Post(req);
}

void CHttpHandle::EndFailedWebSocket(uint32_t transfer) {
    m_endPending = false;
    if (!m_inMulti || transfer != m_transfer) return;
    auto engine = Engine();
    // The socket watch closes before libcurl closes the socket.
    ClearWebSocketState();
    if (engine && engine->Multi() && m_easy) {
        CURLMcode mc = curl_multi_remove_handle(engine->Multi(), m_easy);
        if (mc != CURLM_OK) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_remove_handle failed while EndWebSocket", mc,
                   curl_multi_strerror(mc));
        }
    }
    ReportEnd(HTTP_RESULT_FAILED);
}

void CHttpHandle::ClearWebSocketState() {
    CloseSocketWatch();
    m_upgraded = false;
    m_sendStalled = false;
    if (!m_sendQueue.empty()) {
        QV_LOG(40, "[NET_ENGINE]websocket[%s] disconnected with [%zu] frames not sent", m_url.c_str(),
               m_sendQueue.size());
        m_sendQueue.clear();
    }
    if (m_kind == HTTP_KIND_WEBSOCKET) m_response.clear();
    m_frameBase = 0;
    m_control.clear();
}

void CHttpHandle::OnWebSocketChunk(const char* data, size_t length, const curl_ws_frame* meta) {
    auto notic = m_notic;
    int flags = meta->flags;
    // Control frames may come between the frames of a fragmented message:
    // keep them apart from the message being joined.
    if (flags & (CURLWS_PING | CURLWS_PONG | CURLWS_CLOSE)) {
        m_control.append(data, length);
        if (meta->bytesleft != 0) return;
        std::string payload;
        payload.swap(m_control);
        if ((flags & CURLWS_PING) && !m_closeSent)
            SendOnLoop(EncodeClientFrame(kWsPong, payload.data(), payload.size(), NextWsMaskKey()), false);
        if (notic)
            notic->OnWebSocketData(payload.data(), payload.size(), (flags & CURLWS_CLOSE) ? WS_FRAME_CLOSE : WS_FRAME_OTHER,
                                   m_userData);
        if (flags & CURLWS_CLOSE) AnswerPeerClose(payload);
        return;
    }
    int kind = (flags & CURLWS_BINARY) ? WS_FRAME_BINARY : (flags & CURLWS_TEXT) ? WS_FRAME_TEXT : WS_FRAME_OTHER;
    bool frameEnds = meta->bytesleft == 0;
    bool messageEnds = frameEnds && !(flags & CURLWS_CONT);
    if (messageEnds && m_response.empty() && meta->offset == 0) {
        // The common case: a whole message in one piece.
        if (notic) notic->OnWebSocketData(data, length, kind, m_userData);
        return;
    }
    size_t pos = m_frameBase + static_cast<size_t>(meta->offset);
    if (pos == m_response.size()) {
        m_response.append(data, length);  // pieces come in order
    } else {
        if (m_response.size() < pos + length) m_response.resize(pos + length);
        if (length) std::memcpy(&m_response[pos], data, length);
    }
    if (!frameEnds) return;
    if (!messageEnds) {
        m_frameBase = m_response.size();
        return;
    }
    std::string message;
    message.swap(m_response);
    m_frameBase = 0;
    if (notic) notic->OnWebSocketData(message.data(), message.size(), kind, m_userData);
    // The next large message reuses the memory, unless one is being joined again meanwhile.
    if (m_response.empty()) {
        message.clear();
        m_response.swap(message);
    }
}

}  // namespace net_engine
