#include "http_handle.h"

#include <cerrno>

#include "common/qv_log.h"
#include "easy_handle_pool.h"
#include "http_frame.h"
#include "ws_frame_encoder.h"

namespace net_engine {

std::shared_ptr<IHttpHandleInterface> IHttpHandleInterface::Create() { return std::make_shared<CHttpHandle>(); }

CHttpHandle::~CHttpHandle() { Reset(); }

#define HANDLE_SETOPT(opt, value, ...)                                                  \
    do {                                                                                \
        CURLcode rc_ = curl_easy_setopt(m_easy, opt, value);                            \
        if (rc_ != CURLE_OK) {                                                          \
            QV_LOG(60, __VA_ARGS__);                                                    \
            return -1;                                                                  \
        }                                                                               \
    } while (0)

int CHttpHandle::Init(const char* url, const char* name, int kind, std::shared_ptr<IHttpHandleNotic> notic,
                      int connectTimeoutMs, int timeoutMs, void* userData) {
    if (!url) return -1;
    int32_t expected = 0;
    if (!m_initState.compare_exchange_strong(expected, 1)) return -1;
    if (m_easy) {
        m_initState.store(0);
        return -1;
    }
    m_easy = TakeEasyHandle();
    if (!m_easy) {
        m_initState.store(0);
        return -1;
    }
    m_private = std::make_unique<HandlePrivate>();
    m_private->self = shared_from_this();
    auto fail = [this]() {
        ReturnEasyHandle(m_easy);
        m_easy = nullptr;
        m_private.reset();
        m_initState.store(0);
        return -1;
    };
    auto set = [&](CURLoption opt, auto value, auto report) {
        CURLcode rc = curl_easy_setopt(m_easy, opt, value);
        if (rc != CURLE_OK) report(rc);
        return rc == CURLE_OK;
    };
    HandlePrivate* priv = m_private.get();
    if (!set(CURLOPT_URL, url, [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_URL[%s] failed", rc, curl_easy_strerror(rc), url);
        }) ||
        !set(CURLOPT_NOSIGNAL, 1L, [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_NOSIGNAL[%d] failed", rc, curl_easy_strerror(rc), 1);
        }) ||
        !set(CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutMs), [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_TIMEOUT_MS[%d] failed", rc, curl_easy_strerror(rc),
                   timeoutMs);
        }) ||
        !set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeoutMs), [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_CONNECTTIMEOUT_MS[%d] failed", rc,
                   curl_easy_strerror(rc), connectTimeoutMs);
        }) ||
        !set(CURLOPT_PRIVATE, static_cast<void*>(priv), [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_PRIVATE failed", rc, curl_easy_strerror(rc));
        }) ||
        !set(CURLOPT_WRITEFUNCTION, &CHttpHandle::WriteCallback, [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_WRITEFUNCTION failed", rc, curl_easy_strerror(rc));
        }) ||
        !set(CURLOPT_WRITEDATA, static_cast<void*>(priv), [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_WRITEDATA[%p] failed", rc, curl_easy_strerror(rc),
                   static_cast<void*>(priv));
        })) {
        return fail();
    }
    if (kind == HTTP_KIND_POST && !set(CURLOPT_POST, 1L, [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_POST[%d] failed", rc, curl_easy_strerror(rc), 1);
        })) {
        return fail();
    }
    if (kind == HTTP_KIND_GET && !set(CURLOPT_HTTPGET, 1L, [&](CURLcode rc) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_HTTPGET[%d] failed", rc, curl_easy_strerror(rc), 1);
        })) {
        return fail();
    }
    // A WebSocket transfer ends at the upgrade; the engine then carries the
    // connection on (frames sent whole with curl_easy_send, received with
    // curl_ws_recv). It is never reused: taking the transfer out of the
    // multi handle closes the socket, so the peer learns that the client left.
    // Pings are answered by the engine, so that no pong lands inside a
    // partly sent frame.
    if (kind == HTTP_KIND_WEBSOCKET &&
        (!set(CURLOPT_CONNECT_ONLY, 2L, [&](CURLcode rc) {
             QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_CONNECT_ONLY[%d] failed", rc, curl_easy_strerror(rc),
                    2);
         }) ||
         !set(CURLOPT_WS_OPTIONS, static_cast<long>(CURLWS_NOAUTOPONG), [&](CURLcode rc) {
             QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_WS_OPTIONS failed", rc, curl_easy_strerror(rc));
         }))) {
        return fail();
    }
    m_name = name ? name : "";
    m_url = url;
    m_kind = kind;
    m_notic = std::move(notic);
    m_userData = userData;
    m_response.clear();
    m_frameBase = 0;
    m_control.clear();
    m_initState.store(2);
    return 0;
}

int CHttpHandle::SetPostFields(const char* body) {
    if (m_initState.load() != 2 || !m_easy || m_kind != HTTP_KIND_POST) return -1;
    m_postFields = body ? body : "";
    CURLcode rc = curl_easy_setopt(m_easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_postFields.size()));
    if (rc == CURLE_OK) rc = curl_easy_setopt(m_easy, CURLOPT_POSTFIELDS, m_postFields.c_str());
    if (rc != CURLE_OK) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_POSTFIELDS[%s] failed", rc, curl_easy_strerror(rc),
               m_postFields.c_str());
        return -1;
    }
    return 0;
}

int CHttpHandle::EnableDebug() {
    if (m_initState.load() != 2 || !m_easy) return -1;
    HANDLE_SETOPT(CURLOPT_VERBOSE, 1L, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_VERBOSE[%d] failed", rc_,
                  curl_easy_strerror(rc_), 1);
    HANDLE_SETOPT(CURLOPT_DEBUGFUNCTION, &CHttpHandle::DebugCallback,
                  "[NET_ENGINE]err[%d:%s]curl set CURLOPT_DEBUGFUNCTION failed", rc_, curl_easy_strerror(rc_));
    HANDLE_SETOPT(CURLOPT_DEBUGDATA, static_cast<void*>(m_private.get()),
                  "[NET_ENGINE]err[%d:%s]curl set CURLOPT_DEBUGDATA failed", rc_, curl_easy_strerror(rc_));
    return 0;
}

int CHttpHandle::SetWriteFile(const char* path) {
    if (m_initState.load() != 2 || !path) return -1;
    if (m_writeFile) {
        std::fclose(m_writeFile);
        m_writeFile = nullptr;
    }
    m_writeFile = std::fopen(path, "wb");
    if (!m_writeFile) {
        QV_LOG(60, "[NET_ENGINE]Open file[%s] failed[%d]", path, errno);
        return -1;
    }
    m_writeFilePath = path;
    return 0;
}

int CHttpHandle::SetProgress(bool enable) {
    if (m_initState.load() != 2 || !m_easy) return -1;
    if (!enable) {
        HANDLE_SETOPT(CURLOPT_NOPROGRESS, 1L, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_NOPROGRESS[%d] failed", rc_,
                      curl_easy_strerror(rc_), 1);
        return 0;
    }
    HANDLE_SETOPT(CURLOPT_NOPROGRESS, 0L, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_NOPROGRESS[%d] failed", rc_,
                  curl_easy_strerror(rc_), 0);
    HANDLE_SETOPT(CURLOPT_PROGRESSFUNCTION, &CHttpHandle::ProgressCallback,
                  "[NET_ENGINE]err[%d:%s]curl set CURLOPT_PROGRESSFUNCTION[%d] failed", rc_, curl_easy_strerror(rc_),
                  0);
    HANDLE_SETOPT(CURLOPT_PROGRESSDATA, static_cast<void*>(m_private.get()),
                  "[NET_ENGINE]err[%d:%s]curl set CURLOPT_PROGRESSDATA[%d] failed", rc_, curl_easy_strerror(rc_), 0);
    return 0;
}

int CHttpHandle::SetSSL(const char* caFile) {
    if (m_initState.load() != 2 || !m_easy) return -1;
    long verify = caFile ? 1L : 0L;
    long verifyHost = caFile ? 2L : 0L;
    HANDLE_SETOPT(CURLOPT_SSL_VERIFYPEER, verify, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_SSL_VERIFYPEER[%d] failed",
                  rc_, curl_easy_strerror(rc_), static_cast<int>(verify));
    HANDLE_SETOPT(CURLOPT_SSL_VERIFYHOST, verifyHost,
                  "[NET_ENGINE]err[%d:%s]curl set CURLOPT_SSL_VERIFYHOST[%d] failed", rc_, curl_easy_strerror(rc_),
                  static_cast<int>(verifyHost));
    if (caFile) {
        HANDLE_SETOPT(CURLOPT_CAINFO, caFile, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_CAINFO[%s] failed", rc_,
                      curl_easy_strerror(rc_), caFile);
        HANDLE_SETOPT(CURLOPT_CAPATH, caFile, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_CAPATH[%s] failed", rc_,
                      curl_easy_strerror(rc_), caFile);
    }
    return 0;
}

int CHttpHandle::SetHeaders(const std::list<std::string>& headers) {
    if (m_initState.load() != 2 || !m_easy) return -1;
    for (const auto& header : headers) {
        curl_slist* next = curl_slist_append(m_headers, header.c_str());
        if (next) m_headers = next;
    }
    if (!m_headers) return -1;
    HANDLE_SETOPT(CURLOPT_HTTPHEADER, m_headers, "[NET_ENGINE]err[%d:%s]curl set CURLOPT_HTTPHEADER failed", rc_,
                  curl_easy_strerror(rc_));
    return 0;
}

int CHttpHandle::GetResponseCode() {
    if (!m_easy) return -1;
    long code = 0;
    CURLcode rc = curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &code);
    if (rc != CURLE_OK) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_easy_getinfo CURLINFO_RESPONSE_CODE failed", rc, curl_easy_strerror(rc));
        return -1;
    }
    return static_cast<int>(code);
}

void CHttpHandle::SetEngine(std::shared_ptr<CHttpFrame> engine) {
    std::lock_guard<std::mutex> lock(m_engineMutex);
    m_engine = std::move(engine);
}

std::shared_ptr<CHttpFrame> CHttpHandle::Engine() const {
    std::lock_guard<std::mutex> lock(m_engineMutex);
    return m_engine;
}

int CHttpHandle::DisconnectWebSocket() {
    if (m_initState.load() != 2) return -1;
    auto engine = Engine();
    if (!engine || !engine->IsRunning()) {
        QV_LOG(60, "[NET_ENGINE]disconnect web socket failed: engine not running");
        return -1;
    }
    QV_LOG(20, "[NET_ENGINE]disconnect web socket");
    ++m_detachRequests;
    if (!engine->IsLoopThread()) {
        auto req = std::make_shared<AsynHttpReq>();
        req->type = OPER_DISCONNECT_WS;
        req->target = shared_from_this();
        engine->Post(req);
        return 0;
    }
    return LeaveMulti(*engine);
}

int CHttpHandle::LeaveMulti(CHttpFrame& engine) {
    m_inMulti = false;
    ClearWebSocketState();
    CURLMcode mc = curl_multi_remove_handle(engine.Multi(), m_easy);
    if (mc != CURLM_OK) {
        QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_remove_handle failed while DelHttpReq", mc,
               curl_multi_strerror(mc));
        return -1;
    }
    return 0;
}

bool CHttpHandle::CancelOnStop(std::shared_ptr<AsynOperReq> req) {
    if (req->type != OPER_ADD_HTTP) return false;
    auto* http = static_cast<AsynHttpReq*>(req.get());
    if (http->callback) http->callback(shared_from_this(), http->userData, -1);
    return true;
}

int CHttpHandle::Execute(std::shared_ptr<AsynOperReq> req, std::shared_ptr<CHttpFrame> engine) {
    auto* http = static_cast<AsynHttpReq*>(req.get());
    if (!engine || !m_easy) {
        if (req->type <= OPER_DEL_HTTP && http->callback) http->callback(shared_from_this(), http->userData, -1);
        if (req->type == OPER_DEL_HTTP) Reset();
        return -1;
    }
    int result = 0;
    switch (req->type) {
    case OPER_ADD_HTTP: {
        m_frameBase = 0;
        m_control.clear();
        // Every socket of the engine's transfers is closed through the engine,
        // which keeps polls of pooled connections open until then.
        curl_easy_setopt(m_easy, CURLOPT_CLOSESOCKETFUNCTION, &CHttpFrame::CloseSocket);
        curl_easy_setopt(m_easy, CURLOPT_CLOSESOCKETDATA, static_cast<void*>(engine.get()));
        CURLMcode mc = curl_multi_add_handle(engine->Multi(), m_easy);
        if (mc != CURLM_OK) {
            QV_LOG(60, "[NET_ENGINE]err[%d:%s]curl_multi_add_handle failed while AddHttpReq", mc,
                   curl_multi_strerror(mc));
            result = -1;
        } else {
            m_inMulti = true;
            ++m_transfer;
            m_endPending = false;
            m_closeSent = false;
            m_detachesAtAdd = m_detachRequests.load();
        }
        if (http->callback) http->callback(shared_from_this(), http->userData, result);
        return result;
    }
    case OPER_DEL_HTTP: {
        result = LeaveMulti(*engine);
        // Keep the handle alive through the callback and the reset.
        auto self = shared_from_this();
        if (http->callback) http->callback(self, http->userData, result);
        Reset();
        return result;
    }
    case OPER_DISCONNECT_WS:
        return LeaveMulti(*engine);
    case OPER_END_WS:
        EndFailedWebSocket(static_cast<AsynEndWSReq*>(req.get())->transfer);
        return 0;
    case OPER_SEND_WS: {
        auto* send = static_cast<AsynWSSendReq*>(req.get());
        SendOnLoop(std::move(send->data), send->frameFlag == kWsClose);
        return 0;
    }
    default:
        return -1;
    }
}

void CHttpHandle::Reset() {
    int32_t expected = 2;
    if (!m_initState.compare_exchange_strong(expected, 3)) return;
    // The private record may hold the last reference to this handle.
    std::unique_ptr<HandlePrivate> priv = std::move(m_private);
    auto self = priv ? priv->self : nullptr;
    if (m_headers) {
        curl_slist_free_all(m_headers);
        m_headers = nullptr;
    }
    // The socket watch closes before the socket does: libuv must stop
    // watching a descriptor before it is closed (and perhaps reused).
    CloseSocketWatch();
    if (m_easy) {
        // A WebSocket handle holds its own connection; a handle still in a
        // multi handle cannot be reset. Both are cleaned up instead.
        if (m_kind == HTTP_KIND_WEBSOCKET || m_inMulti) curl_easy_cleanup(m_easy);
        else ReturnEasyHandle(m_easy);
        m_easy = nullptr;
    }
    if (m_writeFile) {
        std::fclose(m_writeFile);
        m_writeFile = nullptr;
    }
    m_upgraded = false;
    m_sendQueue.clear();
    m_inMulti = false;
    m_endPending = false;
    m_notic.reset();
    m_initState.store(0);
    priv.reset();
}

void CHttpHandle::OnTransferDone(CURLcode result) {
    if (m_kind == HTTP_KIND_WEBSOCKET) {
        // However it ended (closed by the peer, cut, refused), the connection
        // is gone: the user learns it here and reconnects on its own schedule.
        ClearWebSocketState();
        ReportEnd(HTTP_RESULT_FAILED);
        return;
    }
    if (m_writeFile) std::fflush(m_writeFile);
    ReportEnd(result == CURLE_OK ? HTTP_RESULT_OK : HTTP_RESULT_FAILED);
}

void CHttpHandle::ReportEnd(HttpResult result) {
    bool report = m_inMulti && m_detachRequests.load() == m_detachesAtAdd;
    m_inMulti = false;
    m_endPending = false;
    auto notic = m_notic;
    if (report && notic) notic->OnResult(shared_from_this(), result, m_userData);
}

size_t CHttpHandle::WriteCallback(char* data, size_t size, size_t count, void* userp) {
    auto* priv = static_cast<HandlePrivate*>(userp);
    size_t length = size * count;
    if (!priv || !priv->self) return length;
    CHttpHandle* handle = priv->self.get();
    if (handle->m_writeFile) {
        return std::fwrite(data, 1, length, handle->m_writeFile) == length ? count : 0;
    }
    if (handle->m_kind != HTTP_KIND_WEBSOCKET) {
        handle->m_response.append(data, length);
        return count;
    }
    // Only the body of a refused upgrade comes here; frames are read after the upgrade.
    if (auto notic = handle->m_notic) notic->OnWebSocketData(data, length, WS_FRAME_OTHER, handle->m_userData);
    return count;
}

int CHttpHandle::ProgressCallback(void* userp, double dlTotal, double dlNow, double ulTotal, double ulNow) {
    auto* priv = static_cast<HandlePrivate*>(userp);
    if (priv && priv->self && priv->self->m_notic) {
        CHttpHandle* h = priv->self.get();
        h->m_notic->OnProgress(h->m_name.c_str(), h->m_url.c_str(), dlTotal, dlNow, ulTotal, ulNow, h->m_userData);
    }
    return 0;
}

int CHttpHandle::DebugCallback(CURL* easy, curl_infotype type, char* data, size_t size, void* userp) {
    int n = static_cast<int>(size);
    switch (type) {
    case CURLINFO_TEXT:
        QV_LOG(0, "[NET_ENGINE][TEXT][%zu]%.*s", size, n, data);
        break;
    case CURLINFO_HEADER_IN:
        QV_LOG(0, "[NET_ENGINE][HEADER_IN][%zu]%.*s", size, n, data);
        break;
    case CURLINFO_HEADER_OUT:
        QV_LOG(0, "[NET_ENGINE][HEADER_OUT][%zu] [%p] %.*s", size, userp, n, data);
        break;
    case CURLINFO_DATA_IN:
        QV_LOG(0, "[NET_ENGINE][DATA_IN][%zu]%.*s", size, n, data);
        break;
    case CURLINFO_DATA_OUT:
        QV_LOG(0, "[NET_ENGINE][DATA_OUT][%zu]%.*s", size, n, data);
        break;
    case CURLINFO_SSL_DATA_IN:
        QV_LOG(0, "[NET_ENGINE][SSL_DATA_IN][%zu]%.*s", size, n, data);
        break;
    case CURLINFO_SSL_DATA_OUT:
        QV_LOG(0, "[NET_ENGINE][SSL_DATA_OUT][%zu]%.*s", size, n, data);
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace net_engine
